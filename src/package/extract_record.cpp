// Reading package records from the program's own file and writing them out:
// bounds checks, the existence check, directories, decoding, attributes and
// the stored time; and the uninstaller copy of the stub.
#include "package/extract_record.h"

#include "package/install_placement.h"
#include "package/lzhuf_decoder.h"
#include "package/package_check.h"
#include "package/record_format.h"
#include "platform/platform.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

uint32_t g_record_cursor;
uint32_t g_record_index;
PieceWrittenHook g_piece_written;

namespace {

// The file being written while a record is decoded; only the extractor
// opens, writes and closes it.
HANDLE g_output_file;

constexpr char kSetupCaption[] = "Setup";
constexpr char kFileError[] = "File Error!";
constexpr char kNoMemory[] = "Can't get memory!";
constexpr char kOverwriteQuestion[] = "File exists.  Overwrite?";

int Fail(const char* text) {
    ShowMessage(text, kSetupCaption, MB_OK | MB_ICONERROR);
    return 0;
}

HANDLE CreateOutputFile(const char* path, DWORD disposition = CREATE_ALWAYS,
                        DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, disposition, attributes, nullptr);
}

void WriteStub(HANDLE own_file, const char* destination) {
    // A larger file there is kept: presumably a newer uninstaller.
    WIN32_FILE_ATTRIBUTE_DATA existing;
    if (GetFileAttributesExA(destination, GetFileExInfoStandard, &existing) &&
        (existing.nFileSizeHigh != 0 || existing.nFileSizeLow > kStubLength))
        return;
    auto* bytes = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, kStubLength));
    DWORD moved = 0;
    if (bytes != nullptr && ReadAt(own_file, 0, bytes, kStubLength)) {
        // The copy is a plain unsigned program.
        CleanStubHeader(bytes, kStubLength);
        const HANDLE out = CreateOutputFile(destination);
        if (out != INVALID_HANDLE_VALUE) {
            WriteFile(out, bytes, kStubLength, &moved, nullptr);
            CloseHandle(out);
        }
    }
    if (bytes != nullptr) HeapFree(GetProcessHeap(), 0, bytes);
}

// Creates every directory on the way to `path`, left to right: the text
// before each backslash after the first character. Failures (the directory
// exists, a drive name) are of no concern.
void CreateDirectoriesFor(const char* path) {
    char prefix[kTextBufferSize] = {};
    for (size_t i = 0; path[i] != '\0' && i + 1 < sizeof prefix; ++i) {
        if (i > 0 && path[i] == '\\') CreateDirectoryA(prefix, nullptr);
        prefix[i] = path[i];
    }
}

// The first error met while writing the record (a full disk), or none.
DWORD g_output_error;

// Writes the decoded bytes and keeps their CRC in `context` (a uint32_t)
// when the package has an integrity record.
void WriteToOutputFile(void* context, const uint8_t* bytes, uint32_t count) {
    if (g_integrity != nullptr) {
        auto* crc = static_cast<uint32_t*>(context);
        *crc = Crc32(g_integrity->table, *crc, bytes, count);
    }
    if (g_piece_written != nullptr) g_piece_written(nullptr, 0, count);
    DWORD written = 0;
    if ((!WriteFile(g_output_file, bytes, count, &written, nullptr) || written != count) &&
        g_output_error == ERROR_SUCCESS)
        g_output_error = GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_WRITE_FAULT;
}

// The stored time is the build machine's local time, as archive tools keep
// it; it stands for the same local time here.
void SetStoredTime(HANDLE file, uint16_t dos_date, uint16_t dos_time) {
    FILETIME local;
    FILETIME time;
    if (DosDateTimeToFileTime(dos_date, dos_time, &local) && LocalFileTimeToFileTime(&local, &time))
        SetFileTime(file, nullptr, nullptr, &time);
}

// The buffer a record is read into, from the process heap: kept for the
// next record and replaced only by a larger one. A fresh block per record
// cost about as much time as reading the record into it, its pages being
// new to the process each time.
uint8_t* g_record_buffer;
SIZE_T g_record_buffer_size;

uint8_t* RecordBufferFor(SIZE_T size) {
    if (size > g_record_buffer_size) {
        if (g_record_buffer != nullptr) HeapFree(GetProcessHeap(), 0, g_record_buffer);
        g_record_buffer = static_cast<uint8_t*>(HeapAlloc(GetProcessHeap(), 0, size));
        g_record_buffer_size = g_record_buffer != nullptr ? size : 0;
    }
    return g_record_buffer;
}

// Per-record decoder scratch memory, released when the record is done. Zeroed:
// a damaged stream may copy from ring-buffer positions it never wrote, which
// must read as zeros, as the reference decoder's and kqpack's do, not as
// whatever the heap held before.
class DecoderScratch {
public:
    DecoderScratch()
        : workspace_(static_cast<lzhuf::DecoderWorkspace*>(
              HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(lzhuf::DecoderWorkspace)))) {}
    ~DecoderScratch() {
        if (workspace_ != nullptr) HeapFree(GetProcessHeap(), 0, workspace_);
    }
    DecoderScratch(const DecoderScratch&) = delete;
    DecoderScratch& operator=(const DecoderScratch&) = delete;
    lzhuf::DecoderWorkspace* get() const { return workspace_; }

private:
    lzhuf::DecoderWorkspace* workspace_;
};

// Decodes the record into the process-wide output file. Returns 0 when the
// record is damaged: its code runs out before its size, or its bytes are
// not the packaged ones.
int DecodeRecord(const RecordFields& record, lzhuf::DecoderWorkspace& workspace) {
    uint32_t crc = 0;
    const lzhuf::DecodeResult result = lzhuf::DecodeStream(record.stream, record.stream_length,
                                                           record.uncompressed_size, workspace,
                                                           lzhuf::OutputSink{&crc, WriteToOutputFile});
    return !result.ran_out && (g_integrity == nullptr || crc == DecodedCrcOf(g_record_index)) ? 1 : 0;
}

// Writes the record with its time and attributes. Where nothing stands yet
// the file is written in place (created new, and deleted again if it cannot
// be completed): under Wine a temporary name and a move cost more than the
// writing of a small file. A file already there is replaced through a
// temporary name in its folder, moved over it only once complete, so that a
// failure part-way leaves the previous file as it was and no temporary file
// behind; a read-only, hidden or system file there is made replaceable first
// (and left as it was if it still cannot be replaced). `previous` is what
// GetFileAttributesA said of the destination. Returns ERROR_SUCCESS or the
// error met.
DWORD WriteRecordFile(const RecordFields& fields, lzhuf::DecoderWorkspace& workspace, const char* destination,
                      DWORD previous) {
    const bool fresh = previous == INVALID_FILE_ATTRIBUTES;
    char temporary[MAX_PATH];
    char folder[kTextBufferSize];
    if (fresh ? !CopyText(temporary, sizeof temporary, destination)
              : !ParentFolder(folder, sizeof folder, destination) || !GetTempFileNameA(folder, "kq", 0, temporary))
        return fresh ? ERROR_BAD_PATHNAME : GetLastError();

    // The stored attributes are given at creation (a read-only file can
    // still be written through the handle that created it), which spares a
    // new file a second opening to set them. Wine ignores them when the
    // temporary file is overwritten, so that one gets them once complete.
    const DWORD attributes = FileAttributesFromDos(fields.attributes);
    g_output_file = CreateOutputFile(temporary, fresh ? CREATE_NEW : CREATE_ALWAYS, attributes);
    g_output_error = g_output_file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    if (g_output_file != INVALID_HANDLE_VALUE) {
        if (!DecodeRecord(fields, workspace) && g_output_error == ERROR_SUCCESS) g_output_error = ERROR_CRC;
        SetStoredTime(g_output_file, fields.dos_date, fields.dos_time);
        CloseHandle(g_output_file);
    }
    g_output_file = INVALID_HANDLE_VALUE;
    DWORD error = g_output_error;
    if (error == ERROR_SUCCESS) {
        if (fresh) return ERROR_SUCCESS;
        SetFileAttributesA(temporary, attributes);
        constexpr DWORD kGuarding = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
        const bool guarded = (previous & kGuarding) != 0;
        if (guarded) SetFileAttributesA(destination, previous & ~kGuarding);
        if (MoveFileExA(temporary, destination, MOVEFILE_REPLACE_EXISTING)) return ERROR_SUCCESS;
        error = GetLastError();
        if (guarded) SetFileAttributesA(destination, previous);
    }
    SetFileAttributesA(temporary, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(temporary);
    return error != ERROR_SUCCESS ? error : ERROR_WRITE_FAULT;
}

// Asks whether to try a file that could not be written again: the
// destination as the caption, the system's reason as the text.
bool RetryWriting(const char* destination, DWORD error) {
    char text[512] = "This file cannot be written:\n";
    const size_t used = TextLength(text);
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text + used,
                   static_cast<DWORD>(sizeof text - used), nullptr);
    return ShowMessage(text, destination, MB_RETRYCANCEL | MB_ICONERROR) == IDRETRY;
}

int ExtractNextRecord(HANDLE own_file, char* destination, int mode) {
    if (mode == kFirstRecord) {
        g_record_cursor = kStubLength;
        g_record_index = 0;
    }
    const DWORD file_size = GetFileSize(own_file, nullptr);
    if (file_size == INVALID_FILE_SIZE || file_size <= g_record_cursor) return 0;

    uint8_t prefix[kRecordPrefixBytes];
    if (!ReadAt(own_file, g_record_cursor, prefix, sizeof prefix)) return Fail(kFileError);
    const uint32_t record_length = ReadU32(prefix + 4);
    // A length shorter than the record's own fields, or running past the end
    // of the file, means a damaged package: nothing is written.
    if (!RecordFitsFile(g_record_cursor, record_length, file_size)) return Fail(kFileError);

    uint8_t* const buffer = RecordBufferFor(record_length - 3);
    if (buffer == nullptr) return Fail(kNoMemory);
    const uint32_t buffer_length = record_length - 4;
    // The buffer holds the record from its length field on.
    for (int i = 0; i < 4; ++i) buffer[i] = prefix[4 + i];
    RecordFields fields;
    if (!ReadAt(own_file, g_record_cursor + sizeof prefix, buffer + 4, buffer_length - 4) ||
        !ParseRecordBuffer(buffer, buffer_length, fields))
        return Fail(kFileError);

    // Taken before anything is logged or touched, so a shortage leaves the
    // log and the destination as they were.
    const DecoderScratch scratch;
    if (scratch.get() == nullptr) return Fail(kNoMemory);

    int copy_mode = mode;
    char file_key[kKeyNameSize];
    if (mode == kInstallPlaced) {
        if (!PlaceRecord(fields.name, fields.name_length, destination, copy_mode, file_key))
            return Fail(kFileError);
        if (g_piece_written != nullptr) g_piece_written(fields.name, fields.name_length, 0);
    }

    // Asked once per file: under Wine each asking costs about as much as
    // creating the file.
    DWORD previous = GetFileAttributesA(destination);
    if (previous != INVALID_FILE_ATTRIBUTES) {
        bool skip = copy_mode == kKeepExisting;
        // Unattended, the question gets the safe answer: keep the file.
        if (copy_mode == kAskBeforeReplace)
            skip = g_setup.silent || ShowMessage(kOverwriteQuestion, destination, MB_YESNO | MB_ICONWARNING) != IDYES;
        if (skip) {
            if (mode == kInstallPlaced) {
                RecordKeptFile(file_key, destination, copy_mode);
                WriteRunLogLine("Kept", destination);
                if (g_piece_written != nullptr) g_piece_written(nullptr, 0, fields.uncompressed_size);
            }
            g_record_cursor += record_length;
            ++g_record_index;
            return 1;
        }
    }

    CreateDirectoriesFor(destination);
    for (;;) {
        const DWORD error = WriteRecordFile(fields, *scratch.get(), destination, previous);
        if (error == ERROR_SUCCESS) break;
        // The staged script and licence come before any window: nobody to ask.
        if (mode != kInstallPlaced) return Fail(kFileError);
        // A damaged record or Cancel: the record counts as not installed,
        // which stops the install. Whatever is at the destination is not
        // ours: the log keeps its key (the list has no gaps) but marks it, so
        // no uninstaller deletes it.
        const bool damaged = error == ERROR_CRC;
        if (damaged || !RetryWriting(destination, error)) {
            RecordKeptFile(file_key, destination, kAskBeforeReplace);
            return damaged ? Fail(kFileError) : 0;
        }
        // The user may have changed or removed the file meanwhile.
        previous = GetFileAttributesA(destination);
    }
    if (mode == kInstallPlaced) WriteRunLogLine("Installed", destination);
    g_record_cursor += record_length;
    ++g_record_index;
    return 1;
}

// The program's own file, opened once for the whole run and read through
// this handle only: others may read it but not write, rename or delete it,
// so no file swapped in under its name can supply records. Written only by
// OwnProgramFile; the process's end closes it.
HANDLE g_own_file;  // null until opened: zero-initialised, it costs the file nothing
char g_own_file_path[kTextBufferSize];  // the path it was opened by

// A virus scanner may hold a new file briefly: about a second and a half of
// retries before the program gives up.
constexpr int kOpenAttempts = 15;
constexpr DWORD kOpenRetryDelay = 100;

}  // namespace

bool ReadAt(HANDLE file, uint32_t offset, void* buffer, DWORD count) {
    DWORD read = 0;
    return SetFilePointer(file, static_cast<LONG>(offset), nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER &&
           ReadFile(file, buffer, count, &read, nullptr) && read == count;
}

HANDLE OwnProgramFile(HINSTANCE module) {
    char own_path[kTextBufferSize];
    const DWORD length = GetModuleFileNameA(module, own_path, sizeof own_path);
    if (length == 0 || length >= sizeof own_path) return INVALID_HANDLE_VALUE;
    if (g_own_file != nullptr && lstrcmpiA(g_own_file_path, own_path) == 0) return g_own_file;
    if (g_own_file != nullptr) CloseHandle(g_own_file);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
        file = CreateFileA(own_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) break;
        Sleep(kOpenRetryDelay);
    }
    g_own_file = file != INVALID_HANDLE_VALUE ? file : nullptr;
    (void)CopyText(g_own_file_path, sizeof g_own_file_path, own_path);
    return file;
}

PackageFiles ScanPackageFiles(HINSTANCE module, int count) {
    PackageFiles files{0, 0};
    const HANDLE own_file = OwnProgramFile(module);
    if (own_file == INVALID_HANDLE_VALUE) return files;
    const DWORD file_size = GetFileSize(own_file, nullptr);
    uint32_t cursor = kStubLength;
    // Records 0 and 1 (the script and the licence), then the files.
    for (int index = 0; index < count + 2 && file_size != INVALID_FILE_SIZE && cursor < file_size; ++index) {
        // The fixed fields, the longest name and the decoded size after it.
        uint8_t header[kRecordFixedBytes + 255];
        const uint32_t left = file_size - cursor;
        const DWORD wanted = left < sizeof header ? left : sizeof header;
        if (wanted < kRecordFixedBytes || !ReadAt(own_file, cursor, header, wanted)) break;
        const uint32_t record_length = ReadU32(header + 4);
        if (!RecordFitsFile(cursor, record_length, file_size) || kRecordFixedBytes + header[13] > record_length) break;
        if (index >= 2) {
            if (header[13] > files.longest_name) files.longest_name = header[13];
            files.total_size += ReadU32(header + 14 + header[13]);
        }
        cursor += record_length;
    }
    return files;
}

int ExtractRecord(HINSTANCE module, char* destination, int mode) {
    const HANDLE own_file = OwnProgramFile(module);
    if (own_file == INVALID_HANDLE_VALUE) return Fail(kFileError);
    if (mode == kWriteStub) {
        WriteStub(own_file, destination);
        return 1;
    }
    return ExtractNextRecord(own_file, destination, mode);
}

}  // namespace kq
