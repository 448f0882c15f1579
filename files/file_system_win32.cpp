// The file-system calls of the durable writes on Windows, where the program runs.
#include <windows.h>

#include "files/file_system.h"

namespace {

// GetLastError of the call that just failed, never 0.
TFileStatus Failure() {
    const DWORD code = GetLastError();
    switch (code) {
    case ERROR_SUCCESS:
        return {TFileRefusal::Other, ERROR_WRITE_FAULT};
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
        return {TFileRefusal::NameTaken, static_cast<int>(code)};
    case ERROR_FILENAME_EXCED_RANGE:
        return {TFileRefusal::NameTaken, static_cast<int>(code)};
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {TFileRefusal::Sharing, static_cast<int>(code)};
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_NETWORK_ACCESS_DENIED:
        return {TFileRefusal::Denied, static_cast<int>(code)};
    default:
        return {TFileRefusal::Other, static_cast<int>(code)};
    }
}

TFileStatus Checked(BOOL ok) {
    return ok ? TFileStatus{} : Failure();
}

HANDLE Handle(TFileHandle file) {
    return reinterpret_cast<HANDLE>(file);
}

uint64_t Ticks(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

TFileStatus Opened(HANDLE handle, TFileHandle& file) {
    if (handle == INVALID_HANDLE_VALUE) return Failure();
    file = reinterpret_cast<TFileHandle>(handle);
    return {};
}

struct TScopedHandle {
    HANDLE Handle;
    ~TScopedHandle() {
        if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
    }
};

// The path an open file or folder really has, with every link and junction on the way resolved.
std::wstring FinalPath(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(length + 1);
    }
}

// False when the open file is not the entry the path names in its folder but a file a link leads to.
// On Windows a link opened as itself is a reparse point already; under Wine a link to a file looks like
// that file in every attribute, and only its real path tells it apart. A file system that tells no real
// path (some network redirectors) leaves the attributes to decide.
bool NamedByPath(HANDLE file, const std::filesystem::path& path) {
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : L".";
    const TScopedHandle folderHandle{CreateFileW(
        folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    if (folderHandle.Handle == INVALID_HANDLE_VALUE) return false;
    const std::wstring folderPath = FinalPath(folderHandle.Handle), filePath = FinalPath(file);
    if (folderPath.empty() || filePath.empty()) return true;
    const std::wstring separator = folderPath.back() == L'\\' ? L"" : L"\\"; // a drive's root ends in one
    const std::wstring expected = folderPath + separator + path.filename().wstring();
    return CompareStringOrdinal(expected.c_str(), static_cast<int>(expected.size()), filePath.c_str(),
                                static_cast<int>(filePath.size()), TRUE) == CSTR_EQUAL;
}

class TWin32FileSystem final : public TFileSystem {
  public:
    // No sharing: nobody reads the temporary file before it takes the target's place.
    TFileStatus CreateNew(const std::filesystem::path& path, TFileHandle& file) override {
        SetLastError(0);
        return Opened(
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr),
            file);
    }
    TFileStatus OpenForOverwrite(const std::filesystem::path& path, TFileHandle& file) override {
        SetLastError(0);
        return Opened(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr),
                      file);
    }
    TFileStatus Write(TFileHandle file, std::string_view bytes, size_t& written) override {
        const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
        DWORD done = 0;
        SetLastError(0);
        const BOOL ok = WriteFile(Handle(file), bytes.data(), chunk, &done, nullptr);
        written = done;
        return Checked(ok);
    }
    TFileStatus SetLength(TFileHandle file, uint64_t length) override {
        LARGE_INTEGER at;
        at.QuadPart = static_cast<LONGLONG>(length);
        SetLastError(0);
        return Checked(SetFilePointerEx(Handle(file), at, nullptr, FILE_BEGIN) && SetEndOfFile(Handle(file)));
    }
    TFileStatus Rewind(TFileHandle file) override {
        LARGE_INTEGER start;
        start.QuadPart = 0;
        SetLastError(0);
        return Checked(SetFilePointerEx(Handle(file), start, nullptr, FILE_BEGIN));
    }
    TFileStatus Flush(TFileHandle file) override {
        SetLastError(0);
        return Checked(FlushFileBuffers(Handle(file)));
    }
    TFileStatus Close(TFileHandle file) override {
        SetLastError(0);
        return Checked(CloseHandle(Handle(file)));
    }
    TFileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        SetLastError(0);
        return Checked(
            MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    }
    // Opened as itself (never through a link, and never a folder, which opens only with backup
    // semantics), looked at, and deleted through the same handle: what was checked is what goes.
    TFileStatus Remove(const std::filesystem::path& path) override {
        SetLastError(0);
        const TScopedHandle file{CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr)};
        if (file.Handle == INVALID_HANDLE_VALUE) return Failure();
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(file.Handle, &info)) return Failure();
        if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            info.nNumberOfLinks != 1 || !NamedByPath(file.Handle, path))
            return {TFileRefusal::Denied, ERROR_ACCESS_DENIED};
        FILE_DISPOSITION_INFO disposition{};
        disposition.DeleteFile = TRUE;
        SetLastError(0);
        return Checked(
            SetFileInformationByHandle(file.Handle, FileDispositionInfo, &disposition, sizeof disposition));
    }
    bool ReadOnly(const std::filesystem::path& path) override {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    }
    TFileStatus ListFiles(const std::filesystem::path& folder, std::vector<TFolderFile>& files) override {
        WIN32_FIND_DATAW found;
        SetLastError(0);
        const HANDLE find = FindFirstFileW((folder / L"*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return Failure();
        struct TClose {
            HANDLE Find;
            ~TClose() { FindClose(Find); }
        } close{find};
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        do {
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
            const int64_t ticks = static_cast<int64_t>(Ticks(now) - Ticks(found.ftLastWriteTime));
            files.push_back({found.cFileName, ticks / 10'000'000}); // 100 ns ticks
        } while (FindNextFileW(find, &found));
        return GetLastError() == ERROR_NO_MORE_FILES ? TFileStatus{} : Failure();
    }
    void Pause(int milliseconds) override { Sleep(static_cast<DWORD>(milliseconds)); }
    unsigned long ProcessNumber() override { return GetCurrentProcessId(); }
};

} // namespace

TFileSystem& SystemFileSystem() {
    static TWin32FileSystem system;
    return system;
}

int GenericFileError() {
    return ERROR_WRITE_FAULT;
}

int OutOfMemoryError() {
    return ERROR_NOT_ENOUGH_MEMORY;
}

int IsFolderFileError() {
    return ERROR_ACCESS_DENIED; // what CreateFileW says of a folder
}

std::string SystemErrorText(int code) {
    std::string text;
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
    // The system's text ends in a line break; the message box shows it on the line after ours.
    for (char& c : text)
        if (c == '\r' || c == '\n') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    if (text.empty()) text = "error " + std::to_string(code);
    return text;
}
