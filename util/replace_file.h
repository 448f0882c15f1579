// Replacing a whole file durably, so that neither a power cut nor another program holding the file
// nor a folder that refuses new entries loses the new content without saying so.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "util/file_system.h"

enum class TReplaceWay {
    Replaced,    // a flushed temporary file took the target's place in one step
    Overwritten, // the replace was refused; the target was overwritten in place and flushed
    Failed,
};

struct TReplaceResult {
    TReplaceWay Way = TReplaceWay::Failed;
    // Failed only: the in-place write had begun, so the target may hold part of the new bytes.
    bool TargetDamaged = false;
    // The system's code for the last refusal (GetLastError on Windows, errno elsewhere); 0 on success.
    int SystemError = 0;

    explicit operator bool() const { return Way != TReplaceWay::Failed; }
};

// The temporary file beside the target: its name is unique per process and never longer than the
// target's, so a target whose path fits the system's limit never fails for its temporary.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target);

// Writes the bytes to the temporary file, flushes it to the disk and puts it in the target's place;
// a refused replace is retried for about 200 ms (virus scanners and sync clients let go quickly), then
// the target is overwritten in place. The temporary file is removed on every path, a file of that name
// that this call did not create is never touched, and a folder at the target is never written into.
TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);
