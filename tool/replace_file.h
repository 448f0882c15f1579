// Writing a whole file so that a failure half-way leaves the old file as it was.
#pragma once

#include <filesystem>
#include <functional>
#include <ostream>
#include <string_view>

// Puts the bytes into the stream; false when they did not all get there.
using TByteWriter = std::function<bool(std::ostream& out, std::string_view bytes)>;

bool WriteAllBytes(std::ostream& out, std::string_view bytes);

// Writes the bytes into a temporary file beside path and puts it in place of path only when it is
// complete; on any failure the temporary file is removed and path keeps its old content.
bool ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes,
                         const TByteWriter& write = WriteAllBytes);
