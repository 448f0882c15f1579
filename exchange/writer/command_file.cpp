// Writing the command list back into the exchange file that the host reads after the run.
#include <filesystem>
#include <fstream>
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

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    bool written = static_cast<bool>(out);
    out.close();
    return written && !out.fail();
}

// A folder at the path is not ours to remove.
void RemoveFile(const std::filesystem::path& path) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(path, ignored)))
        std::filesystem::remove(path, ignored);
}

} // namespace

bool WriteCommandFile(const std::filesystem::path& path) {
    std::filesystem::path temporary = path;
    temporary += ".new";
    try {
        // The content goes to a file beside the target first and replaces it only when complete,
        // so the host never reads a half-written list.
        if (WriteWholeFile(temporary, CommandFileBytes(CommandList()))) {
            std::error_code error;
            std::filesystem::rename(temporary, path, error);
            if (!error) return true;
        }
    } catch (...) {
    }
    // Whatever went wrong, the host must find no exchange file rather than its own input (which
    // starts with "hq") or a part of ours.
    try {
        RemoveFile(temporary);
        RemoveFile(path);
    } catch (...) {
    }
    return false;
}
