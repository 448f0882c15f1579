// Whole-file replacement through a flushed temporary file, with an in-place write when the replace is
// refused. The system calls are Windows' own where the program runs and POSIX natively, where the
// tests run: std::filesystem offers neither a flush nor a write-through rename nor share modes.
#include "util/replace_file.h"

#include <string>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

//--------------------------------------------------------------------------- system calls

#ifdef _WIN32

using TFileHandle = HANDLE;
const TFileHandle kNoFile = INVALID_HANDLE_VALUE;

int LastError() {
    return static_cast<int>(GetLastError());
}

unsigned long ProcessNumber() {
    return GetCurrentProcessId();
}

constexpr int kIsDirectory = ERROR_ACCESS_DENIED; // what CreateFileW says of a folder
constexpr int kNameTaken = ERROR_FILE_EXISTS;

// CREATE_NEW: a file of that name that is already there is someone else's and stays as it is.
TFileHandle CreateNewFile(const std::filesystem::path& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Shares reading and writing with whoever holds the file (a viewer, a scanner), and does not truncate:
// the new bytes go over the old ones and the end is cut after them.
TFileHandle OpenForOverwrite(const std::filesystem::path& path) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool WriteAll(TFileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool CutAfterWritten(TFileHandle file) {
    return SetEndOfFile(file) != 0;
}

bool FlushToDisk(TFileHandle file) {
    return FlushFileBuffers(file) != 0;
}

bool CloseFile(TFileHandle file) {
    return CloseHandle(file) != 0;
}

bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool RemoveFile(const std::filesystem::path& path) {
    return DeleteFileW(path.c_str()) != 0;
}

void Pause(int milliseconds) {
    Sleep(static_cast<DWORD>(milliseconds));
}

#else

using TFileHandle = int;
const TFileHandle kNoFile = -1;

int LastError() {
    return errno;
}

unsigned long ProcessNumber() {
    return static_cast<unsigned long>(getpid());
}

constexpr int kIsDirectory = EISDIR;
constexpr int kNameTaken = EEXIST;

TFileHandle CreateNewFile(const std::filesystem::path& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

TFileHandle OpenForOverwrite(const std::filesystem::path& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
}

bool WriteAll(TFileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(file, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool CutAfterWritten(TFileHandle file) {
    const off_t end = lseek(file, 0, SEEK_CUR);
    return end >= 0 && ftruncate(file, end) == 0;
}

bool FlushToDisk(TFileHandle file) {
    return fsync(file) == 0;
}

bool CloseFile(TFileHandle file) {
    return close(file) == 0;
}

// rename replaces in one step; the folder is flushed too, so the new entry survives a power cut.
bool MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (rename(from.c_str(), to.c_str()) != 0) return false;
    const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
    const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0) {
        fsync(handle);
        close(handle);
    }
    return true;
}

bool RemoveFile(const std::filesystem::path& path) {
    return unlink(path.c_str()) == 0;
}

void Pause(int milliseconds) {
    usleep(static_cast<useconds_t>(milliseconds) * 1000);
}

#endif

//--------------------------------------------------------------------------- steps

// A few tries within about 200 ms.
constexpr int kReplaceTries = 5;
constexpr int kPauseBetweenTries = 50;

// Writes, flushes and closes; the code of the first failure, or 0.
int WriteFlushClose(TFileHandle file, std::string_view bytes, bool cutAfter) {
    int error = 0;
    if (!WriteAll(file, bytes) || (cutAfter && !CutAfterWritten(file)) || !FlushToDisk(file))
        error = LastError();
    if (!CloseFile(file) && error == 0) error = LastError();
    return error;
}

// Through a temporary file of our own; 0 when it has replaced the target.
int ReplaceThroughTemporary(const std::filesystem::path& target, std::string_view bytes) {
    const std::filesystem::path temporary = TemporaryPathFor(target);
    if (temporary.filename() == target.filename()) return kNameTaken; // no room for a name of its own
    const TFileHandle file = CreateNewFile(temporary);
    if (file == kNoFile) return LastError();
    int error = WriteFlushClose(file, bytes, false);
    if (error == 0) {
        for (int attempt = 1;; ++attempt) {
            if (MoveReplacing(temporary, target)) return 0;
            error = LastError();
            if (attempt == kReplaceTries) break;
            Pause(kPauseBetweenTries);
        }
    }
    RemoveFile(temporary);
    return error;
}

} // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
    // "~" and the process number in base 36, its last digits only when the target's name is shorter:
    // they still tell most runs apart, and a name that is taken only sends the write the other way.
    const size_t room = target.filename().native().size();
    std::string name;
    for (unsigned long n = ProcessNumber(); name.size() + 1 < room && (n != 0 || name.empty()); n /= 36)
        name.insert(name.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
    if (room > 0) name.insert(name.begin(), '~');
    return target.parent_path() / name;
}

TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    TReplaceResult result;
    std::error_code ignored;
    if (std::filesystem::is_directory(target, ignored)) {
        result.SystemError = kIsDirectory;
        return result;
    }
    if (ReplaceThroughTemporary(target, bytes) == 0) {
        result.Way = TReplaceWay::Replaced;
        return result;
    }
    // What a plain write does: it needs neither a new entry in the folder nor the right to delete the
    // target, which is what a held file or a locked-down folder refuses.
    const TFileHandle file = OpenForOverwrite(target);
    if (file == kNoFile) {
        result.SystemError = LastError();
        return result;
    }
    result.SystemError = WriteFlushClose(file, bytes, true);
    if (result.SystemError != 0) {
        result.TargetDamaged = true;
        return result;
    }
    result.Way = TReplaceWay::Overwritten;
    return result;
}

std::string SystemErrorText(int code) {
    std::string text;
#ifdef _WIN32
    wchar_t* message = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0) {
        // Code page 932 named explicitly: the dialog shows Shift-JIS on any Windows display language.
        const int size =
            WideCharToMultiByte(932, 0, message, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
        if (size > 0) {
            text.resize(static_cast<size_t>(size));
            WideCharToMultiByte(932, 0, message, static_cast<int>(length), text.data(), size, nullptr,
                                nullptr);
        }
    }
    if (message) LocalFree(message);
#else
    text = std::generic_category().message(code);
#endif
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) text = "error " + std::to_string(code);
    return text;
}
