// Whole-file replacement through a flushed temporary file, with an in-place write when the temporary
// way is refused. The system calls go through file_system.h: std::filesystem offers neither a flush
// nor a write-through rename nor share modes.
#include "files/replace_file.h"

#include <string>
#include <system_error>
#include <vector>

namespace {

// A few tries within about 200 ms, for a target another program holds for a moment.
constexpr int kReplaceTries = 5;
constexpr int kPauseBetweenTries = 50;
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kTemporaryNames = 36;      // one attempt digit
constexpr size_t kMostProcessDigits = 7; // a 32-bit process number in base 36
// A temporary file is written and put in place within a fraction of a second; one of our pattern
// five minutes old was left by a run that died between the two.
constexpr int64_t kStaleTemporarySeconds = 5 * 60;

bool IsNameDigit(auto c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
}

// "~", one to seven digits, "-" and one digit: the names TemporaryPathFor makes, and nothing else.
template <class TChar> bool IsTemporaryName(const std::basic_string<TChar>& name) {
    const size_t n = name.size();
    if (n < 4 || n > 3 + kMostProcessDigits || name[0] != '~' || name[n - 2] != '-' ||
        !IsNameDigit(name[n - 1]))
        return false;
    for (size_t i = 1; i + 2 < n; ++i)
        if (!IsNameDigit(name[i])) return false;
    return true;
}

// Removes the temporary files of our pattern in the folder that are older than a run takes: a crash or
// a power cut between create and rename leaves one, and its name may come round again.
void RemoveStaleTemporaries(TFileSystem& fs, const std::filesystem::path& folder) {
    std::vector<TFolderFile> files;
    fs.ListFiles(folder, files); // a folder that cannot be listed keeps what it holds
    for (const TFolderFile& file : files)
        if (IsTemporaryName(file.Name.native()) && file.SecondsSinceWritten > kStaleTemporarySeconds)
            fs.Remove(folder / file.Name);
}

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

// Writes, flushes and closes; the first failure, if any. The file is closed either way.
TFileStatus WriteFlushClose(TFileSystem& fs, TFileHandle file, std::string_view bytes) {
    TFileStatus status = WriteAll(fs, file, bytes);
    if (!status.Failed()) status = fs.Flush(file);
    const TFileStatus closed = fs.Close(file);
    return status.Failed() ? status : closed;
}

// A replace refused because another program holds the target for a moment is tried again; any
// other refusal (a read-only target, a denied access) will not pass by waiting.
TFileStatus ReplaceWithRetries(TFileSystem& fs, const std::filesystem::path& from,
                               const std::filesystem::path& to) {
    for (int attempt = 1;; ++attempt) {
        const TFileStatus status = fs.Replace(from, to);
        if (status.Refusal != TFileRefusal::Sharing || attempt == kReplaceTries) return status;
        fs.Pause(kPauseBetweenTries);
    }
}

enum class TTemporaryWay {
    Replaced, // the temporary file took the target's place
    Refused,  // it could not be made or could not take the place: the target is untouched
    Failed,   // writing or flushing it failed: the target is untouched and stays so
};

struct TTemporaryOutcome {
    TTemporaryWay Way;
    TFileStatus Status;
};

TTemporaryOutcome ReplaceThroughTemporary(TFileSystem& fs, const std::filesystem::path& target,
                                          std::string_view bytes) {
    RemoveStaleTemporaries(fs, target.parent_path());
    for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
        const std::filesystem::path temporary = TemporaryPathFor(target, attempt);
        if (temporary.empty()) break;
        TFileHandle file = 0;
        TFileStatus status = fs.CreateNew(temporary, file);
        // Another run's, or left by one: never ours to touch.
        if (status.Refusal == TFileRefusal::NameTaken) continue;
        if (status.Failed()) return {TTemporaryWay::Refused, status};
        status = WriteFlushClose(fs, file, bytes);
        if (status.Failed()) {
            fs.Remove(temporary);
            return {TTemporaryWay::Failed, status};
        }
        status = ReplaceWithRetries(fs, temporary, target);
        if (!status.Failed()) return {TTemporaryWay::Replaced, status};
        fs.Remove(temporary);
        return {TTemporaryWay::Refused, status};
    }
    return {TTemporaryWay::Refused, {TFileRefusal::NameTaken, GenericFileError()}};
}

// What a plain write does: it needs neither a new entry in the folder nor the right to delete the
// target, which is what a held file or a locked-down folder refuses. The length is set before any
// byte is written: a file that cannot be cut (another program has it mapped) is left as it was rather
// than holding the new bytes over the start of the old ones.
TReplaceResult OverwriteInPlace(TFileSystem& fs, const std::filesystem::path& target,
                                std::string_view bytes) {
    TReplaceResult result;
    TFileHandle file = 0;
    TFileStatus status = fs.OpenForOverwrite(target, file);
    if (!status.Failed()) {
        status = fs.SetLength(file, bytes.size());
        if (status.Failed()) {
            fs.Close(file);
        } else {
            status = WriteFlushClose(fs, file, bytes);
            result.TargetDamaged = status.Failed();
        }
    }
    if (status.Failed()) {
        result.SystemError = status.Code;
        return result;
    }
    result.Way = TReplaceWay::Overwritten;
    return result;
}

} // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, int attempt) {
    // The last digits of the process number when the target's name is shorter: they still tell most
    // runs apart, and a name that is taken only makes the next attempt.
    const size_t room = target.filename().native().size();
    if (room < 4 || attempt < 0 || attempt >= kTemporaryNames) return {};
    std::string digits;
    for (unsigned long n = CurrentFileSystem().ProcessNumber();
         digits.size() < std::min(room - 3, kMostProcessDigits) && (n != 0 || digits.empty()); n /= 36)
        digits.insert(digits.begin(), kDigits[n % 36]);
    return target.parent_path() / ("~" + digits + "-" + kDigits[attempt]);
}

TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    TReplaceResult result;
    try {
        TFileSystem& fs = CurrentFileSystem();
        std::error_code ignored;
        if (std::filesystem::is_directory(target, ignored)) {
            result.SystemError = IsFolderFileError();
            return result;
        }
        const TTemporaryOutcome temporary = ReplaceThroughTemporary(fs, target, bytes);
        if (temporary.Way == TTemporaryWay::Replaced) {
            result.Way = TReplaceWay::Replaced;
            return result;
        }
        if (temporary.Way == TTemporaryWay::Failed) {
            // The disk is full, or the medium failed: the same would stop an in-place write part-way and
            // lose the old content with the new.
            result.SystemError = temporary.Status.Code;
            return result;
        }
        return OverwriteInPlace(fs, target, bytes);
    } catch (...) {
        // Out of memory before a byte reached the target (names and folder listings are made first);
        // a temporary file left behind goes at a later write.
        result = TReplaceResult{};
        result.SystemError = OutOfMemoryError();
        return result;
    }
}
