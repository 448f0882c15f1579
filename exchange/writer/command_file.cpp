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

// A folder at the path is not ours to remove.
bool RemoveFile(const std::filesystem::path& path) {
    std::error_code error;
    if (std::filesystem::is_directory(std::filesystem::symlink_status(path, error))) return false;
    return std::filesystem::remove(path, error) || !error;
}

} // namespace

TReplaceResult WriteCommandFile(const std::filesystem::path& path) {
    TReplaceResult result;
    try {
        // The new list replaces the file whole, or overwrites it in place when the replace is refused,
        // so the host never reads a half-written list.
        result = ReplaceFileContents(path, CommandFileBytes(CommandList()));
        if (result) return result;
    } catch (...) {
    }
    // Whatever went wrong, the host must find neither its own input mixed with our answer nor a part
    // of ours: no file at all, or else the bare "hq" that draws nothing. When even that is refused, the
    // file is as the host wrote it, and its first line "hq" draws nothing either.
    try {
        if (!RemoveFile(path) && result.TargetDamaged)
            ReplaceFileContents(path, std::string("hq") + kLineEnd);
    } catch (...) {
    }
    return result;
}
