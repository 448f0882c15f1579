// The few file-system calls of the durable whole-file writes, with no Windows types: the system's own
// in file_system_win32.cpp or file_system_posix.cpp, and a seam through which a test makes any step fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// What kind of refusal a failed call met; the writes decide by it whether to try again, take another
// name or take another way.
enum class TFileRefusal {
    None,      // the call succeeded
    NameTaken, // a new file was asked for and the name is in use, or no name that long can be made
    Sharing,   // another program holds the file for now (a sharing or lock violation)
    Denied,    // access denied: a read-only file, a folder that forbids it, or (on Windows) a file
               // another program holds open, which is refused this way when it is to be replaced
    Other,     // the disk, the network or the system failed: full, an I/O error, no resources
};

struct TFileStatus {
    TFileRefusal Refusal = TFileRefusal::None;
    int Code = 0; // the system's code (GetLastError on Windows, errno elsewhere); never 0 for a failure

    bool Failed() const { return Refusal != TFileRefusal::None; }
};

// The system's handle of an open file (a HANDLE or a descriptor), as an integer.
using TFileHandle = std::intptr_t;

// A file in a folder that is not a folder nor a link, as far as the listing tells, and how long ago
// it was last written.
struct TFolderFile {
    std::filesystem::path Name;
    int64_t SecondsSinceWritten = 0;
};

class TFileSystem {
  public:
    virtual ~TFileSystem() = default;
    // A new file for writing, never one that is there already (CREATE_NEW, O_EXCL).
    virtual TFileStatus CreateNew(const std::filesystem::path& path, TFileHandle& file) = 0;
    // The file for writing, made if missing and not truncated, shared for reading and writing with
    // whoever holds it (a viewer, a virus scanner).
    virtual TFileStatus OpenForOverwrite(const std::filesystem::path& path, TFileHandle& file) = 0;
    // Writes some of the bytes, at least one when it succeeds; written says how many.
    virtual TFileStatus Write(TFileHandle file, std::string_view bytes, size_t& written) = 0;
    // Makes the file length bytes long, cut or extended; nothing changes when it fails (a file another
    // program has mapped cannot be cut). Where the next write goes is left open: see Rewind.
    virtual TFileStatus SetLength(TFileHandle file, uint64_t length) = 0;
    // The next write goes to the file's start.
    virtual TFileStatus Rewind(TFileHandle file) = 0;
    // Hands what was written to the disk (FlushFileBuffers, fsync).
    virtual TFileStatus Flush(TFileHandle file) = 0;
    virtual TFileStatus Close(TFileHandle file) = 0;
    // Puts from in to's place in one step that survives a power cut, replacing what is there. The
    // target then has the new file's attributes (a read-only or hidden mark of the old one is gone),
    // as after any save through a temporary file.
    virtual TFileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes a plain file that the path names itself: never a folder, never a link nor the file a link
    // leads to (Wine follows a link it deletes), never a file with a second name.
    virtual TFileStatus Remove(const std::filesystem::path& path) = 0;
    // True when the file is marked read-only (or, on POSIX, nobody may write it); false when it is not
    // or cannot be looked at.
    virtual bool ReadOnly(const std::filesystem::path& path) = 0;
    // The plain files of a folder. May throw std::bad_alloc.
    virtual TFileStatus ListFiles(const std::filesystem::path& folder, std::vector<TFolderFile>& files) = 0;
    virtual void Pause(int milliseconds) = 0;
    virtual unsigned long ProcessNumber() = 0;
};

// The system's own; the one in use unless a test has put its own in place.
TFileSystem& SystemFileSystem();
TFileSystem& CurrentFileSystem();

// Puts a file system in place of the current one for as long as it lives (tests only).
class TFileSystemOverride {
  public:
    explicit TFileSystemOverride(TFileSystem& replacement);
    ~TFileSystemOverride();
    TFileSystemOverride(const TFileSystemOverride&) = delete;
    TFileSystemOverride& operator=(const TFileSystemOverride&) = delete;

  private:
    TFileSystem* Previous;
};

// The code a failure carries when the system named none (ERROR_WRITE_FAULT, EIO).
int GenericFileError();
// The code of a write that ran out of memory before it reached the disk (ERROR_NOT_ENOUGH_MEMORY, ENOMEM).
int OutOfMemoryError();
// The system's code for a folder where a file was wanted (what opening one says).
int IsFolderFileError();

// The system's own words for a code, as Shift-JIS text on one line.
std::string SystemErrorText(int code);
