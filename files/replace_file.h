// Replacing a whole file durably, so that neither a power cut nor another program holding the file
// nor a folder that refuses new entries loses the old or the new content without saying so.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "files/file_system.h"

// What a failed write may cost decides how far the write goes to put the new bytes in place.
enum class TStake {
    // The old content is worth more than the new (the settings): the file is overwritten in place only
    // when the temporary way is refused (access denied, a file held by another program, no free
    // temporary name, a temporary of ours that stays); a full disk, an I/O or network error or a lack
    // of system resources fails the write and leaves the old file as it was.
    KeepOld,
    // The new content is worth more than the old (the drawing once the user pressed OK): whenever the
    // temporary way fails, for whatever reason, the file is overwritten in place.
    PlaceNew,
};

enum class TReplaceWay {
    Replaced,    // a flushed temporary file took the target's place in one step
    Overwritten, // the target was overwritten in place and flushed
    Failed,
};

struct TReplaceResult {
    TReplaceWay Way = TReplaceWay::Failed;
    // Failed only: the in-place write had cut the target to its new length, so it may hold neither the
    // old nor the new bytes. Otherwise a failed replacement leaves the target exactly as it was.
    bool TargetDamaged = false;
    // The system's code for the failure (GetLastError on Windows, errno elsewhere): never 0 when it
    // failed, 0 on success.
    int SystemError = 0;

    explicit operator bool() const { return Way != TReplaceWay::Failed; }
};

// The temporary file beside the target for the given attempt (0 to 35): the target's name, ".tarvel-",
// the process number in base 36, "-", the attempt and ".tmp", for example
// "sorvel.dat.tarvel-1kz3a-0.tmp". Empty for an attempt out of range.
std::filesystem::path TemporaryPathFor(const std::filesystem::path& target, int attempt = 0);

// Writes the bytes to a temporary file of its own, flushes it to the disk and puts it in the target's
// place. A temporary name that is taken makes it try the next. A replace refused because another
// program holds the target (a sharing violation, or a denied access to a target that is not
// read-only) is tried again for about one second in all, and so is an in-place open refused for
// sharing: virus scanners and sync clients let go quickly. Where the temporary way does not get
// through, the stake decides whether the target is overwritten in place: its length set first, then
// the bytes written and flushed.
//
// Before it makes a temporary file, it removes this target's temporaries that a run which died left
// behind (older than a few minutes). If one of ours for this target is still there after that (fresh,
// or in a folder that lets us make files but not remove them), it goes straight to the in-place way, so
// runs one after another never leave more than one leftover per target. Nothing else beside the target is
// ever removed: no other name, no folder, no link. A folder at the target is never written into. Never
// throws.
TReplaceResult ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes, TStake stake);
