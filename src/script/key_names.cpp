// Key names of a sequence, as written now and in the older letter form.
#include "script/key_names.h"

#include "text/text.h"

namespace kq {
int KeyName(char* dest, size_t capacity, const char* stem, unsigned number, bool older_form) {
    if (capacity > 0) dest[0] = '\0';
    // Digits from the end of the buffer backwards; a letter alone in its place.
    char suffix[12];
    char* start = suffix + sizeof suffix - 1;
    *start = '\0';
    if (number == 0 || (older_form && (number <= kLetterKeyCount || number > kOlderFormLastKey))) return 0;
    if (number <= kLetterKeyCount || older_form)
        *--start = static_cast<char>('a' - 1 + number);
    else
        for (unsigned rest = number; rest != 0; rest /= 10) *--start = static_cast<char>('0' + rest % 10);
    return CopyText(dest, capacity, stem) && AppendText(dest, capacity, start);
}

}  // namespace kq
