// Key names of a sequence, as written now and in the older letter form.
#include "script/key_names.h"

#include "text/text.h"

namespace kq {
namespace {

constexpr unsigned kLetterBeforeFirst = 'a' - 1;

int StemAndSuffix(char* dest, size_t capacity, const char* stem, const char* suffix) {
    if (capacity > 0) dest[0] = '\0';
    return CopyText(dest, capacity, stem) && AppendText(dest, capacity, suffix);
}

}  // namespace

int KeyName(char* dest, size_t capacity, const char* stem, unsigned number) {
    char suffix[12];
    if (number == 0) {
        suffix[0] = '\0';
        if (capacity > 0) dest[0] = '\0';
        return 0;
    }
    if (number <= kLetterKeyCount) {
        suffix[0] = static_cast<char>(kLetterBeforeFirst + number);
        suffix[1] = '\0';
    } else {
        // Digits from the end of the buffer backwards.
        char* digit = suffix + sizeof suffix - 1;
        *digit = '\0';
        for (unsigned rest = number; rest != 0; rest /= 10) *--digit = static_cast<char>('0' + rest % 10);
        return StemAndSuffix(dest, capacity, stem, digit);
    }
    return StemAndSuffix(dest, capacity, stem, suffix);
}

int KeyNameOfOlderForm(char* dest, size_t capacity, const char* stem, unsigned number) {
    const char suffix[2] = {static_cast<char>(kLetterBeforeFirst + number), '\0'};
    if (number <= kLetterKeyCount || number > kOlderFormLastKey) {
        if (capacity > 0) dest[0] = '\0';
        return 0;
    }
    return StemAndSuffix(dest, capacity, stem, suffix);
}

}  // namespace kq
