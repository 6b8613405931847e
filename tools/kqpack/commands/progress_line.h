// A line on the terminal that says a long command is still at work
// ("kqpack: building app.kqp... 4 s"): drawn after the first second, redrawn
// in place each second, cleared for anything written through stream() and
// when the line goes. Only when standard error is a terminal.
#pragma once

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>

namespace kqpack {

class ProgressLine {
public:
    // `shown` false (--quiet) passes stream() straight through.
    ProgressLine(std::string what, bool shown);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Standard error, the line out of the way of what is written.
    std::ostream& stream() { return stream_; }

private:
    // Forwards to standard error, clearing the line first.
    class Buffer : public std::streambuf {
    public:
        explicit Buffer(ProgressLine& line) : line_(line) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;

    private:
        ProgressLine& line_;
    };

    void Tick();
    void Clear();  // with mutex_ held

    std::string what_;
    Buffer buffer_{*this};
    std::ostream stream_{&buffer_};
    std::mutex mutex_;  // guards the fields below and standard error
    std::condition_variable done_;
    bool finished_ = false;
    size_t drawn_ = 0;             // the width of the line on screen; 0: none
    bool at_line_start_ = true;    // the line is drawn only below whole lines
    std::thread ticker_;
};

}  // namespace kqpack
