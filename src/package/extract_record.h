// The record extractor: takes the next package record from the program's own
// file and writes it as a file, or writes the stub itself as the uninstaller.
#pragma once

#include <windows.h>
#include <stdint.h>

namespace kq {

// Extraction modes; any other value behaves as kWriteNext.
enum ExtractionMode : int {
    kFirstRecord = 0,    // rewind to the first record, then as kWriteNext
    kWriteNext = 1,      // write the next record, replacing an existing file
    kAskBeforeReplace = 2,
    kKeepExisting = 3,
    kInstallPlaced = 6,  // place under the install folder by the stored name
    kWriteStub = 7,      // write the first 43008 bytes as the uninstaller
};

// Offset and index of the next record in the program file. Only the
// extractor moves them.
extern uint32_t g_record_cursor;
extern uint32_t g_record_index;

// The program's own file, opened once for the whole run (others may read it,
// not change it); INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE OwnProgramFile(HINSTANCE module);

// Reads `count` bytes at `offset` of `file`; false unless all of them came.
bool ReadAt(HANDLE file, uint32_t offset, void* buffer, DWORD count);

// The longest stored name and the total decoded size of the `count` records
// after the licence, read from their headers; the records that are not there
// count as nothing.
struct PackageFiles {
    size_t longest_name;
    uint64_t total_size;
};
PackageFiles ScanPackageFiles(HINSTANCE module, int count);

// Called when a placed file starts (with its stored name, not terminated)
// and with the size of each piece of decoded bytes written (name null), and
// by the package check with the size of each piece it has read; null for
// none. Set by the install sequence, which shows progress and keeps the
// windows answering with it.
using PieceWrittenHook = void (*)(const uint8_t* stored_name, uint32_t name_length, uint32_t bytes);
extern PieceWrittenHook g_piece_written;

// `destination` is the caller's 256-byte buffer: the file to write, or in
// kInstallPlaced the install folder, which placement completes. Returns 1 when
// a record was written or skipped (and always for kWriteStub once the program
// file is open), 0 at the end of the package (silently) or after an error
// that was shown; a record placed and then not written leaves its log entry
// marked as not the installer's.
[[nodiscard]] int ExtractRecord(HINSTANCE module, char* destination, int mode);

}  // namespace kq
