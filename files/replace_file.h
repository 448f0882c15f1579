// Replacing a whole file durably, so that neither a power cut nor another program holding the file
// nor a folder that refuses new entries loses the old or the new content without saying so.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_system.h"

enum class TReplaceWay {
    Replaced,    // a flushed temporary file took the target's place in one step
    Overwritten, // the replace was refused; the target was overwritten in place and flushed
    Failed,
};

struct TReplaceResult {
    TReplaceWay Way = TReplaceWay::Failed;
    // Failed only: the in-place write had begun, so the target may hold part of the new bytes.
    // Otherwise a failed replacement leaves the target exactly as it was.
    bool TargetDamaged = false;
    // The system's code for the failure (GetLastError on Windows, errno elsewhere): never 0 when it
    // failed, 0 on success.
    int SystemError = 0;

    explicit operator bool() const { return Way != TReplaceWay::Failed; }
};

// The temporary file beside the target for the given attempt (0 to 35): "~", the process number in
// base 36, "-" and the attempt. It is never longer than the target's name, so a target whose path fits
// the system's limit never fails for its temporary; empty when the target's name has no room for one.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, int attempt = 0);

// Writes the bytes to a temporary file of its own, flushes it to the disk and puts it in the target's
// place. A temporary name that is taken makes it try the next; a replace refused because another
// program holds the target is retried for about 200 ms (virus scanners and sync clients let go
// quickly). Only when the temporary file cannot be made or cannot take the target's place is the
// target overwritten in place: its length set first, then the bytes written and flushed. A failed
// write or flush of the temporary file fails the call with the target untouched.
//
// The temporary file is removed on every path; a temporary of the same pattern left by a run that
// died (older than a few minutes) is removed at the next write, and nothing else beside the target
// is ever touched. A folder at the target is never written into. Never throws.
TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes);
