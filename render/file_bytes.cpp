// Whole files in and out for the developer tools: read at once, written through the durable replacement.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/replace_file.h"
#include "render/Render.h"

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    return static_cast<bool>(ReplaceFileContents(path, bytes, TStake::KeepOld));
}
