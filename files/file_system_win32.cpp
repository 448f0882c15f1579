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
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return {TFileRefusal::Sharing, static_cast<int>(code)};
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
        if (!SetFilePointerEx(Handle(file), at, nullptr, FILE_BEGIN) || !SetEndOfFile(Handle(file)))
            return Failure();
        at.QuadPart = 0;
        return Checked(SetFilePointerEx(Handle(file), at, nullptr, FILE_BEGIN));
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
    TFileStatus Remove(const std::filesystem::path& path) override {
        SetLastError(0);
        return Checked(DeleteFileW(path.c_str()));
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
