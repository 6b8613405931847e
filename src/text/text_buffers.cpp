// Allocation and release of the process-wide text buffers.
#include "text/text_buffers.h"

namespace kq {

TextBuffers g_text;
char* g_module_path;
SetupContext g_setup;

namespace {

char* AllocateText() {
    return static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, kTextBufferSize));
}

void FreeText(char*& text) {
    if (text != nullptr) HeapFree(GetProcessHeap(), 0, text);
    text = nullptr;
}

// The order of allocation and of release.
char** const kBufferOrder[] = {&g_text.folder, &g_text.name,        &g_text.message,      &g_text.value,
                               &g_text.title,  &g_text.script_path, &g_text.licence_path, &g_text.launch};

}  // namespace

int AllocateTextBuffers() {
    for (char** slot : kBufferOrder) {
        *slot = AllocateText();
        if (*slot == nullptr) {
            FreeTextBuffers();
            return 0;
        }
    }
    return 1;
}

void FreeTextBuffers() {
    for (char** slot : kBufferOrder) FreeText(*slot);
}

int AllocateModulePathBuffer() {
    g_module_path = AllocateText();
    return g_module_path != nullptr ? 1 : 0;
}

void FreeModulePathBuffer() {
    FreeText(g_module_path);
}

}  // namespace kq
