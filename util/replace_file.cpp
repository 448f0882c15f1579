// Whole-file replacement through a flushed temporary file, with an in-place write when the replace is
// refused. The system calls go through file_system.h: std::filesystem offers neither a flush nor a
// write-through rename nor share modes.
#include "util/replace_file.h"

#include <string>
#include <system_error>

namespace {

// A few tries within about 200 ms.
constexpr int kReplaceTries = 5;
constexpr int kPauseBetweenTries = 50;

TFileStatus WriteAll(TFileSystem& fs, TFileHandle file, std::string_view bytes) {
    while (!bytes.empty()) {
        size_t written = 0;
        const TFileStatus status = fs.Write(file, bytes, written);
        if (status.Failed()) return status;
        // A write that takes nothing would never end; it fails like any other.
        if (written == 0 || written > bytes.size()) return {TFileRefusal::Other, GenericFileError()};
        bytes.remove_prefix(written);
    }
    return {};
}

// Writes, flushes and closes; the first failure, if any.
TFileStatus WriteFlushClose(TFileSystem& fs, TFileHandle file, std::string_view bytes, bool cutAfter) {
    TFileStatus status = WriteAll(fs, file, bytes);
    if (!status.Failed() && cutAfter) status = fs.CutHere(file);
    if (!status.Failed()) status = fs.Flush(file);
    const TFileStatus closed = fs.Close(file);
    return status.Failed() ? status : closed;
}

// Through a temporary file of our own; no failure when it has replaced the target.
TFileStatus ReplaceThroughTemporary(TFileSystem& fs, const std::filesystem::path& target,
                                    std::string_view bytes) {
    const std::filesystem::path temporary = TemporaryPathFor(target);
    // No room for a name of its own.
    if (temporary.filename() == target.filename()) return {TFileRefusal::NameTaken, GenericFileError()};
    TFileHandle file = 0;
    TFileStatus status = fs.CreateNew(temporary, file);
    if (status.Failed()) return status;
    status = WriteFlushClose(fs, file, bytes, false);
    if (!status.Failed()) {
        for (int attempt = 1;; ++attempt) {
            status = fs.Replace(temporary, target);
            if (!status.Failed()) return status;
            if (attempt == kReplaceTries) break;
            fs.Pause(kPauseBetweenTries);
        }
    }
    fs.Remove(temporary);
    return status;
}

} // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target) {
    // "~" and the process number in base 36, its last digits only when the target's name is shorter:
    // they still tell most runs apart, and a name that is taken only sends the write the other way.
    const size_t room = target.filename().native().size();
    std::string name;
    for (unsigned long n = CurrentFileSystem().ProcessNumber();
         name.size() + 1 < room && (n != 0 || name.empty()); n /= 36)
        name.insert(name.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36]);
    if (room > 0) name.insert(name.begin(), '~');
    return target.parent_path() / name;
}

TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    TFileSystem& fs = CurrentFileSystem();
    TReplaceResult result;
    std::error_code ignored;
    if (std::filesystem::is_directory(target, ignored)) {
        result.SystemError = IsFolderFileError();
        return result;
    }
    if (!ReplaceThroughTemporary(fs, target, bytes).Failed()) {
        result.Way = TReplaceWay::Replaced;
        return result;
    }
    // What a plain write does: it needs neither a new entry in the folder nor the right to delete the
    // target, which is what a held file or a locked-down folder refuses.
    TFileHandle file = 0;
    const TFileStatus opened = fs.OpenForOverwrite(target, file);
    if (opened.Failed()) {
        result.SystemError = opened.Code;
        return result;
    }
    const TFileStatus written = WriteFlushClose(fs, file, bytes, true);
    if (written.Failed()) {
        result.SystemError = written.Code;
        result.TargetDamaged = true;
        return result;
    }
    result.Way = TReplaceWay::Overwritten;
    return result;
}
