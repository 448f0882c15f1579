// Writing the command list back into the exchange file that the host reads after the run.
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "exchange/JwwGaibu.h"

namespace {

constexpr char kLineEnd[] = "\r\n";

// The file's whole content. An entry ending in a double quote is the head of a text line and
// shares its line with the entry after it; only pairs are joined.
std::string CommandFileBytes(const std::vector<std::string>& entries) {
    if (entries.empty()) return std::string("hq") + kLineEnd;
    std::string bytes;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        bytes += entry;
        if (!entry.empty() && entry.back() == '"') {
            if (i + 1 == entries.size()) break; // the host takes the text to the end of the file
            bytes += entries[++i];
        }
        bytes += kLineEnd;
    }
    return bytes;
}

// True when no file is left at the path. The file system's Remove takes only a plain file: a folder or
// a link at the path is not ours to remove.
bool RemoveFile(const std::filesystem::path& path) {
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(path, error))) return !error;
    return !CurrentFileSystem().Remove(path).Failed();
}

} // namespace

TReplaceResult WriteCommandFile(const std::filesystem::path& path) {
    TReplaceResult result;
    try {
        // Once the host's input has been read it is worth nothing, and the answer everything: the new
        // list replaces the file whole, or, when that fails for whatever reason (a full disk too: an
        // answer no longer than the host's file needs no new room), overwrites it in place, its length
        // set first, so that a file that cannot be cut is not written at all.
        result = ReplaceFileContents(path, CommandFileBytes(CommandList()), TStake::PlaceNew);
        if (result) return result;
    } catch (...) {
        // The file's bytes could not be put together: nothing was written, and the failure has a
        // reason of its own to show.
        result = TReplaceResult{};
        result.SystemError = OutOfMemoryError();
    }
    // Whatever went wrong, the host must find neither its own input mixed with our answer nor a part
    // of ours: no file at all, or else the bare "hq" that draws nothing. A file that could be neither
    // removed nor written is as the host wrote it, and its first line "hq" draws nothing either. Only
    // an in-place write that broke off, with the file then refusing both its removal and the bare "hq",
    // leaves a part of ours.
    try {
        if (!RemoveFile(path) && result.TargetDamaged)
            ReplaceFileContents(path, std::string("hq") + kLineEnd, TStake::PlaceNew);
    } catch (...) {
    }
    return result;
}
