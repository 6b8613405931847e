// Records the messages the code under test shows and answers them.
#pragma once

#include <string>
#include <vector>

namespace kqtest {

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned flags;
};

// Installs itself as the message box hook for its lifetime.
class MessageRecorder {
public:
    explicit MessageRecorder(int answer = 1);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void Answer(int answer) { answer_ = answer; }
    const std::vector<ShownMessage>& shown() const { return shown_; }

private:
    static int Hook(const char* text, const char* caption, unsigned flags);
    int answer_;
    std::vector<ShownMessage> shown_;
};

}  // namespace kqtest
