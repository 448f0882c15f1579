// The file-system calls of the durable writes on POSIX systems, where the core is built and tested natively.
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <time.h>
#include <unistd.h>

#include "files/file_system.h"

namespace {

// errno of the call that just failed, never 0.
TFileStatus Failure() {
    const int code = errno != 0 ? errno : EIO;
    TFileRefusal refusal = TFileRefusal::Other;
    if (code == EEXIST || code == ENAMETOOLONG) refusal = TFileRefusal::NameTaken;
    if (code == EBUSY || code == ETXTBSY) refusal = TFileRefusal::Sharing;
    if (code == EACCES || code == EPERM || code == EROFS) refusal = TFileRefusal::Denied;
    return {refusal, code};
}

TFileStatus Checked(bool ok) {
    return ok ? TFileStatus{} : Failure();
}

TFileStatus Opened(int handle, TFileHandle& file) {
    if (handle < 0) return Failure();
    file = handle;
    return {};
}

class TPosixFileSystem final : public TFileSystem {
  public:
    TFileStatus CreateNew(const std::filesystem::path& path, TFileHandle& file) override {
        return Opened(open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666), file);
    }
    TFileStatus OpenForOverwrite(const std::filesystem::path& path, TFileHandle& file) override {
        return Opened(open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666), file);
    }
    TFileStatus Write(TFileHandle file, std::string_view bytes, size_t& written) override {
        written = 0;
        for (;;) {
            errno = 0;
            const ssize_t n = write(static_cast<int>(file), bytes.data(), bytes.size());
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return Failure();
            written = static_cast<size_t>(n);
            return {};
        }
    }
    TFileStatus SetLength(TFileHandle file, uint64_t length) override {
        return Checked(ftruncate(static_cast<int>(file), static_cast<off_t>(length)) == 0);
    }
    TFileStatus Rewind(TFileHandle file) override {
        return Checked(lseek(static_cast<int>(file), 0, SEEK_SET) == 0);
    }
    TFileStatus Flush(TFileHandle file) override { return Checked(fsync(static_cast<int>(file)) == 0); }
    TFileStatus Close(TFileHandle file) override { return Checked(close(static_cast<int>(file)) == 0); }
    // rename replaces in one step; the folder is flushed too, so the new entry survives a power cut.
    // Nothing may throw once the file is in place: naming the folder can run out of memory, and then
    // the folder is not flushed.
    TFileStatus Replace(const std::filesystem::path& from, const std::filesystem::path& to) override {
        if (rename(from.c_str(), to.c_str()) != 0) return Failure();
        try {
            const std::filesystem::path folder = to.has_parent_path() ? to.parent_path() : ".";
            const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (handle >= 0) {
                fsync(handle);
                close(handle);
            }
        } catch (...) {
        }
        return {};
    }
    // unlink never follows a link; the look first keeps links and second names as the Windows side does.
    TFileStatus Remove(const std::filesystem::path& path) override {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) return Failure();
        if (!S_ISREG(info.st_mode) || info.st_nlink != 1) return {TFileRefusal::Denied, EPERM};
        return Checked(unlink(path.c_str()) == 0);
    }
    bool ReadOnly(const std::filesystem::path& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
    }
    TFileStatus ListFiles(const std::filesystem::path& folder, std::vector<TFolderFile>& files) override {
        DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
        if (dir == nullptr) return Failure();
        struct TClose {
            DIR* Dir;
            ~TClose() { closedir(Dir); }
        } close{dir};
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        for (;;) {
            errno = 0;
            const dirent* entry = readdir(dir);
            if (entry == nullptr) return errno == 0 ? TFileStatus{} : Failure();
            struct stat info {};
            if (fstatat(dirfd(dir), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(info.st_mode))
                continue;
            files.push_back({entry->d_name, static_cast<int64_t>(now.tv_sec - info.st_mtim.tv_sec)});
        }
    }
    void Pause(int milliseconds) override { usleep(static_cast<useconds_t>(milliseconds) * 1000); }
    unsigned long ProcessNumber() override { return static_cast<unsigned long>(getpid()); }
};

} // namespace

TFileSystem& SystemFileSystem() {
    static TPosixFileSystem system;
    return system;
}

int GenericFileError() {
    return EIO;
}

int OutOfMemoryError() {
    return ENOMEM;
}

int IsFolderFileError() {
    return EISDIR;
}

std::string SystemErrorText(int code) {
    std::string text = std::generic_category().message(code);
    if (text.empty()) text = "error " + std::to_string(code);
    return text;
}
