// A file the tool writes is either complete or not there: the new content goes through a temporary file.
#include "tool/replace_file.h"

#include <fstream>
#include <system_error>

bool WriteAllBytes(std::ostream& out, std::string_view bytes) {
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         const TByteWriter& write) {
    std::filesystem::path temporary = path;
    temporary += ".new";
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.is_open()) return false;
    bool written = write(out, bytes);
    out.close();
    written = written && !out.fail();

    std::error_code ec;
    // rename replaces an existing file in one step (MoveFileEx with REPLACE_EXISTING on Windows).
    if (written) std::filesystem::rename(temporary, path, ec);
    if (!written || ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}
