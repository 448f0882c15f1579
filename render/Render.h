// The command-file renderer: draws the lines Tarvel wrote for Jw_cad as one SVG in paper millimetres.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// What a rendering left out, for the message on stderr.
struct TRenderReport {
    int Skipped = 0;       // lines or entities the renderer does not understand
    bool NotDrawn = false; // the answer holds "hq": the host draws nothing
};

// The SVG picture of answerBytes (the JWC_TEMP.TXT the tool wrote), with the scales and text sizes
// of hostBytes (the JWC_TEMP.TXT the host wrote before the run). Never fails: what it cannot draw
// is counted in the report.
std::string RenderCommandFile(std::string_view hostBytes, std::string_view answerBytes,
                              TRenderReport& report);

// Shift-JIS (code page 932) bytes as UTF-8; a byte sequence with no character becomes U+FFFD and
// control bytes other than tab are dropped, since XML cannot hold them.
std::string SjisToUtf8(std::string_view sjis);
// The text with &, <, > and " as XML character references: safe in content and in double-quoted attributes.
std::string XmlEscape(std::string_view utf8);
// A coordinate as the SVG holds it: at most three decimals, no trailing zeros, never "-0".
std::string SvgNumber(double v);

// A whole file's bytes; nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);
// Puts the bytes in the file's place whole (the picture appears complete or not at all).
bool WriteFileBytes(const std::filesystem::path& path, std::string_view bytes);
