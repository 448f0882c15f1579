// Whole-file replacement through a flushed temporary file, with an in-place write where the temporary
// way is refused, or fails and the new bytes count for more than the old. The system calls go through
// file_system.h: std::filesystem offers neither a flush nor a write-through rename nor share modes.
#include "files/replace_file.h"

#include <algorithm>
#include <string>
#include <system_error>
#include <vector>

namespace {

// Virus scanners, sync clients and viewers hold a fresh file for a moment. Careful writers on Windows
// wait for them (node's graceful-fs and VS Code retry a refused rename, Godot retries ReplaceFileW); one
// write waits about one second in all, in short pauses.
constexpr int kHeldWaitMilliseconds = 1000;
constexpr int kPauseMilliseconds = 50;
constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
constexpr int kTemporaryNames = 36;      // one attempt digit
constexpr size_t kMostProcessDigits = 7; // a 32-bit process number in base 36
constexpr std::string_view kMark = ".tarvel-";
constexpr std::string_view kEnding = ".tmp";
// A temporary file is written and put in place within a fraction of a second; one of ours five
// minutes old was left by a run that died between the two.
constexpr int64_t kStaleTemporarySeconds = 5 * 60;

// The time one write may still spend waiting for a target another program holds.
class TWait {
  public:
    explicit TWait(TFileSystem& fs) : Fs(fs) {}
    // Pauses and says true, or says false once the time is spent.
    bool Pause() {
        if (Left <= 0) return false;
        const int pause = std::min(kPauseMilliseconds, Left);
        Fs.Pause(pause);
        Left -= pause;
        return true;
    }

  private:
    TFileSystem& Fs;
    int Left = kHeldWaitMilliseconds;
};

bool IsNameDigit(auto c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z');
}

// Takes the ASCII text off the start of the name; false when the name does not start with it.
template <class TChar> bool Take(std::basic_string_view<TChar>& name, std::string_view text) {
    if (name.size() < text.size() || !std::equal(text.begin(), text.end(), name.begin())) return false;
    name.remove_prefix(text.size());
    return true;
}

// The target's name, ".tarvel-", one to seven digits, "-", one digit and ".tmp": the names
// TemporaryPathFor makes for this target, and nothing else.
template <class TChar>
bool IsTemporaryFor(std::basic_string_view<TChar> target, std::basic_string_view<TChar> name) {
    if (name.size() < target.size() || name.substr(0, target.size()) != target) return false;
    name.remove_prefix(target.size());
    if (!Take(name, kMark) || name.size() < kEnding.size() ||
        !std::equal(kEnding.begin(), kEnding.end(), name.end() - kEnding.size()))
        return false;
    name.remove_suffix(kEnding.size());
    const size_t digits = name.size() - std::min<size_t>(name.size(), 2);
    if (digits < 1 || digits > kMostProcessDigits || name[digits] != '-' || !IsNameDigit(name[digits + 1]))
        return false;
    return std::all_of(name.begin(), name.begin() + digits, [](TChar c) { return IsNameDigit(c); });
}

// Removes this target's temporaries that a run which died left behind (a crash or a power cut between
// making one and putting it in place), and says whether one of ours is still there: a fresh one, or one
// the folder will not let go. Nothing of another name is touched.
bool OurLeftoverRemains(TFileSystem& fs, const std::filesystem::path& target) {
    const std::filesystem::path folder = target.parent_path();
    std::vector<TFolderFile> files;
    fs.ListFiles(folder, files); // a folder that cannot be listed keeps what it holds
    const std::filesystem::path name = target.filename();
    bool remains = false;
    for (const TFolderFile& file : files) {
        if (!IsTemporaryFor<std::filesystem::path::value_type>(name.native(), file.Name.native())) continue;
        if (file.SecondsSinceWritten > kStaleTemporarySeconds && !fs.Remove(folder / file.Name).Failed())
            continue;
        remains = true;
    }
    return remains;
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

// A refusal says nothing about the disk's health, so the in-place way may follow it; a full disk or a
// failing medium would most likely break an in-place write off as well.
bool IsRefusal(const TFileStatus& status) {
    return status.Refusal == TFileRefusal::Denied || status.Refusal == TFileRefusal::Sharing ||
           status.Refusal == TFileRefusal::NameTaken;
}

// Replacing a file that another program holds open is refused as a denied access, on NTFS and under
// Wine alike, not as a sharing violation; only a read-only mark will not pass by waiting.
TFileStatus ReplaceWaitingForTarget(TFileSystem& fs, const std::filesystem::path& from,
                                    const std::filesystem::path& to, TWait& wait) {
    for (;;) {
        const TFileStatus status = fs.Replace(from, to);
        const bool held = status.Refusal == TFileRefusal::Sharing ||
                          (status.Refusal == TFileRefusal::Denied && !fs.ReadOnly(to));
        if (!held || !wait.Pause()) return status;
    }
}

enum class TTemporaryWay {
    Replaced, // the temporary file took the target's place
    Refused,  // it could not be made or could not take the place, and the disk is not to blame
    Failed,   // the disk, the network or the system failed on the way
};

struct TTemporaryOutcome {
    TTemporaryWay Way;
    TFileStatus Status;
};

TTemporaryOutcome NotThrough(const TFileStatus& status) {
    return {IsRefusal(status) ? TTemporaryWay::Refused : TTemporaryWay::Failed, status};
}

// The target is untouched on every way but Replaced.
TTemporaryOutcome ReplaceThroughTemporary(TFileSystem& fs, const std::filesystem::path& target,
                                          std::string_view bytes, TWait& wait) {
    if (OurLeftoverRemains(fs, target))
        return {TTemporaryWay::Refused, {TFileRefusal::NameTaken, GenericFileError()}};
    for (int attempt = 0; attempt < kTemporaryNames; ++attempt) {
        const std::filesystem::path temporary = TemporaryPathFor(target, attempt);
        TFileHandle file = 0;
        TFileStatus status = fs.CreateNew(temporary, file);
        // Another run's, or a folder of that name: never ours to touch.
        if (status.Refusal == TFileRefusal::NameTaken) continue;
        if (status.Failed()) return NotThrough(status);
        // Once the file is ours, a write, flush or close that fails is the disk's doing.
        status = WriteFlushClose(fs, file, bytes);
        if (status.Failed()) {
            fs.Remove(temporary);
            return {TTemporaryWay::Failed, status};
        }
        status = ReplaceWaitingForTarget(fs, temporary, target, wait);
        if (!status.Failed()) return {TTemporaryWay::Replaced, status};
        fs.Remove(temporary);
        return NotThrough(status);
    }
    return {TTemporaryWay::Refused, {TFileRefusal::NameTaken, GenericFileError()}};
}

TReplaceResult FailedWith(const TFileStatus& status, bool damaged = false) {
    TReplaceResult result;
    result.TargetDamaged = damaged;
    result.SystemError = status.Code;
    return result;
}

// What a plain write does: it needs neither a new entry in the folder nor the right to delete the
// target, which is what a held file or a locked-down folder refuses. The length is set before any
// byte is written: a file that cannot be cut (another program has it mapped) is left as it was rather
// than holding the new bytes over the start of the old ones, and a longer file takes its room on the
// disk before its old bytes are touched.
TReplaceResult OverwriteInPlace(TFileSystem& fs, const std::filesystem::path& target, std::string_view bytes,
                                TWait& wait) {
    TFileHandle file = 0;
    TFileStatus status = fs.OpenForOverwrite(target, file);
    while (status.Refusal == TFileRefusal::Sharing && wait.Pause())
        status = fs.OpenForOverwrite(target, file);
    if (status.Failed()) return FailedWith(status);
    status = fs.SetLength(file, bytes.size());
    if (status.Failed()) {
        fs.Close(file);
        return FailedWith(status);
    }
    // From here on the old content is cut to the new length.
    status = fs.Rewind(file);
    if (!status.Failed()) status = WriteAll(fs, file, bytes);
    if (!status.Failed()) status = fs.Flush(file);
    // Once the bytes are flushed, a close that reports a failure changes nothing on the disk.
    fs.Close(file);
    if (status.Failed()) return FailedWith(status, true);
    TReplaceResult result;
    result.Way = TReplaceWay::Overwritten;
    return result;
}

} // namespace

std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, int attempt) {
    if (attempt < 0 || attempt >= kTemporaryNames) return {};
    std::string digits;
    for (unsigned long n = CurrentFileSystem().ProcessNumber();
         digits.size() < kMostProcessDigits && (n != 0 || digits.empty()); n /= 36)
        digits.insert(digits.begin(), kDigits[n % 36]);
    std::filesystem::path name = target.filename();
    name += std::string(kMark) + digits + "-" + kDigits[attempt] + std::string(kEnding);
    return target.parent_path() / name;
}

TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                                   TStake stake) {
    try {
        TFileSystem& fs = CurrentFileSystem();
        std::error_code ignored;
        if (std::filesystem::is_directory(target, ignored))
            return FailedWith({TFileRefusal::Other, IsFolderFileError()});
        TWait wait(fs);
        const TTemporaryOutcome temporary = ReplaceThroughTemporary(fs, target, bytes, wait);
        if (temporary.Way == TTemporaryWay::Replaced) {
            TReplaceResult result;
            result.Way = TReplaceWay::Replaced;
            return result;
        }
        if (temporary.Way == TTemporaryWay::Failed && stake == TStake::KeepOld)
            return FailedWith(temporary.Status);
        return OverwriteInPlace(fs, target, bytes, wait);
    } catch (...) {
        // Out of memory before a byte reached the target (names and folder listings are made first);
        // a temporary file left behind goes at a later write.
        return FailedWith({TFileRefusal::Other, OutOfMemoryError()});
    }
}
