// The progress line: a ticker thread draws it, the stream's writes clear it.
#include "commands/progress_line.h"

#include <chrono>
#include <iostream>

#include "platform/host.h"

namespace kqpack {

ProgressLine::ProgressLine(std::string what, bool shown) : what_(std::move(what)) {
    if (shown && ErrorStreamIsTerminal()) ticker_ = std::thread([this] { Tick(); });
}

ProgressLine::~ProgressLine() {
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        Clear();
    }
    done_.notify_all();
    if (ticker_.joinable()) ticker_.join();
}

void ProgressLine::Tick() {
    const auto start = std::chrono::steady_clock::now();
    std::unique_lock lock(mutex_);
    for (int seconds = 1;; ++seconds) {
        if (done_.wait_until(lock, start + std::chrono::seconds(seconds), [this] { return finished_; })) return;
        if (!at_line_start_) continue;
        std::string text = "kqpack: building ";
        text += what_;
        text += "... ";
        text += std::to_string(seconds);
        text += " s";
        Clear();
        std::cerr.rdbuf()->sputn(text.data(), static_cast<std::streamsize>(text.size()));
        drawn_ = text.size();
    }
}

void ProgressLine::Clear() {
    if (drawn_ == 0) return;
    // Blanks rather than an erase sequence: a Windows console may not take those.
    std::string blank(drawn_ + 2, ' ');
    blank.front() = blank.back() = '\r';
    std::cerr.rdbuf()->sputn(blank.data(), static_cast<std::streamsize>(blank.size()));
    drawn_ = 0;
}

ProgressLine::Buffer::int_type ProgressLine::Buffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
}

std::streamsize ProgressLine::Buffer::xsputn(const char* text, std::streamsize count) {
    std::lock_guard lock(line_.mutex_);
    line_.Clear();
    if (count > 0) line_.at_line_start_ = text[count - 1] == '\n';
    return std::cerr.rdbuf()->sputn(text, count);
}

}  // namespace kqpack
