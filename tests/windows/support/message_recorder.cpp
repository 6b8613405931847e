// The message box hook for in-process tests.
#include "message_recorder.h"

#include "ui/message_box.h"

namespace kqtest {
namespace {
MessageRecorder* g_active_recorder;
}

MessageRecorder::MessageRecorder(int answer) : answer_(answer) {
    g_active_recorder = this;
    kq::g_message_box_hook = &MessageRecorder::Hook;
}

MessageRecorder::~MessageRecorder() {
    kq::g_message_box_hook = nullptr;
    g_active_recorder = nullptr;
}

int MessageRecorder::Hook(const char* text, const char* caption, unsigned flags) {
    g_active_recorder->shown_.push_back({text, caption, flags});
    return g_active_recorder->answer_;
}

}  // namespace kqtest
