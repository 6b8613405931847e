// A profile section in memory, indexed by key name.
#include "script/section_image.h"

#include <windows.h>

#include "script/key_names.h"
#include "text/text.h"

namespace kq {
namespace {

constexpr uint32_t kFirstCapacity = 1 << 16;
// Sections beyond this are refused rather than read in part.
constexpr uint32_t kLargestSection = 1u << 28;

char FoldCase(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// Length of the key name at the start of `entry`: up to its '=', without
// the blanks before it (the profile functions ignore those).
size_t KeyLength(const char* entry) {
    size_t end = 0;
    while (entry[end] != '\0' && entry[end] != '=') ++end;
    while (end > 0 && entry[end - 1] == ' ') --end;
    return end;
}

// Key names compare as the profile functions compare ASCII names: without
// regard to case.
bool SameKey(const char* entry, const char* key, size_t key_length) {
    if (KeyLength(entry) != key_length) return false;
    for (size_t i = 0; i < key_length; ++i)
        if (FoldCase(entry[i]) != FoldCase(key[i])) return false;
    return true;
}

uint32_t HashKey(const char* key, size_t length) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < length; ++i) hash = (hash ^ static_cast<uint8_t>(FoldCase(key[i]))) * 16777619u;
    return hash;
}

// The slot of `key`: the one holding its entry, or the free one where it
// would go.
uint32_t* SlotOf(const SectionImage& image, const char* key, size_t length) {
    for (uint32_t i = HashKey(key, length);; ++i) {
        uint32_t* slot = &image.slots[i & (image.slot_count - 1)];
        if (*slot == 0 || SameKey(image.text + *slot - 1, key, length)) return slot;
    }
}

void* Reallocate(void* memory, size_t size) {
    const HANDLE heap = GetProcessHeap();
    return memory == nullptr ? HeapAlloc(heap, 0, size) : HeapReAlloc(heap, 0, memory, size);
}

// Indexes every entry anew, in a table of more than twice their number;
// a name seen before keeps its first entry.
int Reindex(SectionImage& image) {
    uint32_t entries = 0;
    for (uint32_t at = 0; at < image.length; at += static_cast<uint32_t>(TextLength(image.text + at)) + 1) ++entries;
    uint32_t count = 64;
    while (count <= 2 * entries) count *= 2;
    if (image.slots != nullptr) HeapFree(GetProcessHeap(), 0, image.slots);
    image.slots = static_cast<uint32_t*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, count * sizeof(uint32_t)));
    if (image.slots == nullptr) return 0;
    image.slot_count = count;
    image.entries = entries;
    for (uint32_t at = 0; at < image.length; at += static_cast<uint32_t>(TextLength(image.text + at)) + 1) {
        uint32_t* slot = SlotOf(image, image.text + at, KeyLength(image.text + at));
        if (*slot == 0) *slot = at + 1;
    }
    return 1;
}

// Room for `more` bytes of entries after the last.
int MakeRoom(SectionImage& image, size_t more) {
    if (image.length + more < image.capacity) return 1;
    uint32_t capacity = image.capacity != 0 ? image.capacity : kFirstCapacity;
    while (image.length + more >= capacity) {
        if (capacity >= kLargestSection) return 0;
        capacity *= 2;
    }
    char* text = static_cast<char*>(Reallocate(image.text, capacity + 1));
    if (text == nullptr) return 0;
    image.text = text;
    image.capacity = capacity;
    return 1;
}

}  // namespace

int LoadSection(SectionImage& image, const char* section, const char* path) {
    image = SectionImage{};
    for (uint32_t capacity = kFirstCapacity; capacity <= kLargestSection; capacity *= 4) {
        char* text = static_cast<char*>(Reallocate(image.text, capacity + 1));
        if (text == nullptr) break;
        image.text = text;
        image.capacity = capacity;
        const DWORD read = GetPrivateProfileSectionA(section, text, capacity, path);
        // A section that does not fit reads as the buffer size less two.
        if (read + 2 < capacity) {
            // The entries end where an empty one would start.
            if (read == 0) text[0] = '\0';
            while (text[image.length] != '\0') image.length += static_cast<uint32_t>(TextLength(text + image.length)) + 1;
            return Reindex(image);
        }
    }
    ReleaseSection(image);
    return 0;
}

void ReleaseSection(SectionImage& image) {
    const HANDLE heap = GetProcessHeap();
    if (image.text != nullptr) HeapFree(heap, 0, image.text);
    if (image.slots != nullptr) HeapFree(heap, 0, image.slots);
    image = SectionImage{};
}

const char* FindValue(const SectionImage& image, const char* key) {
    const uint32_t offset = image.slots != nullptr ? *SlotOf(image, key, KeyLength(key)) : 0;
    if (offset == 0) return nullptr;
    const char* entry = image.text + offset - 1;
    while (*entry != '\0' && *entry != '=') ++entry;
    if (*entry == '=') ++entry;
    while (*entry == ' ') ++entry;
    return entry;
}

bool HoldsName(const SectionImage& image, const char* name) {
    const char* value = FindValue(image, name);
    return value != nullptr && *value == '\0';
}

int SetValue(SectionImage& image, const char* key, const char* value) {
    if (image.slots == nullptr && !Reindex(image)) return 0;
    uint32_t* slot = SlotOf(image, key, KeyLength(key));
    const bool is_new = *slot == 0;
    // A key set again keeps its place and its spelling; what follows it
    // moves to fit the new value. A new key is written whole.
    const uint32_t at = is_new ? image.length : *slot - 1;
    const size_t key_length = is_new ? TextLength(key) : KeyLength(image.text + at);
    const uint32_t size = static_cast<uint32_t>(key_length + 1 + TextLength(value) + 1);
    const uint32_t old_size = is_new ? 0 : static_cast<uint32_t>(TextLength(image.text + at)) + 1;
    if (!MakeRoom(image, size)) return 0;
    char* entry = image.text + at;
    MoveMemory(entry + size, entry + old_size, image.length - at - old_size);
    if (is_new) CopyMemory(entry, key, key_length);
    entry[key_length] = '=';
    CopyMemory(entry + key_length + 1, value, size - key_length - 1);
    image.length += size - old_size;
    if (is_new) {
        *slot = at + 1;
        ++image.entries;
    }
    // Entries after a changed one have moved; a fuller table is enlarged.
    return at + size == image.length && 2 * image.entries < image.slot_count ? 1 : Reindex(image);
}

void SaveSection(SectionImage& image, const char* section, const char* path) {
    image.text[image.length] = '\0';
    WritePrivateProfileSectionA(section, image.text, path);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

const char* FindSequenceValue(const SectionImage& image, const char* stem, unsigned number) {
    char key[kKeyNameSize];
    // The older letter form first, where a key can have one.
    for (int older = 1; older >= 0; --older) {
        const char* value = KeyName(key, sizeof key, stem, number, older != 0) ? FindValue(image, key) : nullptr;
        if (value != nullptr && *value != '\0') return value;
    }
    return nullptr;
}

}  // namespace kq
