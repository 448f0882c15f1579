// The "sorvel.dat" format: its bytes to values and back, and reading and writing the file.
#include "tool/settings_file.h"

#include <algorithm>
#include <fstream>
#include <vector>

#include "files/replace_file.h"
#include "util/MyFunc.h"

namespace {

// A line ends at a line feed; a carriage return before it is not part of the line.
std::vector<std::string_view> SplitLines(std::string_view bytes, size_t wanted) {
    std::vector<std::string_view> lines;
    while (!bytes.empty() && lines.size() < wanted) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    lines.resize(wanted);
    return lines;
}

int32_t IndexIn(std::string_view line) {
    return std::max<int32_t>(TextToInt(line), 0);
}

double PointCoordinate(const THostParameters& host, size_t index, bool wantY) {
    if (index >= host.Points.size()) return 0;
    return wantY ? host.Points[index].Y : host.Points[index].X;
}

} // namespace

TSettings ParseSettings(std::string_view bytes) {
    const std::vector<std::string_view> lines = SplitLines(bytes, kSettingsLinesRead);
    TSettings s;
    s.WindowLeft = TextToInt(lines[0]);
    s.WindowTop = TextToInt(lines[1]);
    for (size_t i = 0; i < s.ListIndex.size(); ++i) s.ListIndex[i] = IndexIn(lines[2 + i]);
    for (size_t i = 0; i < s.EditText.size(); ++i) s.EditText[i] = std::string(lines[7 + i]);
    for (size_t i = 0; i < s.RadioIndex.size(); ++i) s.RadioIndex[i] = IndexIn(lines[16 + i]);
    for (size_t i = 0; i < s.Checked.size(); ++i) s.Checked[i] = TextToInt(lines[18 + i]) != 0;
    return s;
}

std::string FormatSettings(const TSettings& s, const THostParameters& host) {
    std::string out;
    auto line = [&out](std::string_view text) {
        out += text;
        out += "\r\n";
    };
    line(std::to_string(s.WindowLeft));
    line(std::to_string(s.WindowTop));
    for (int32_t index : s.ListIndex) line(std::to_string(index));
    for (const std::string& text : s.EditText) line(text);
    for (int32_t index : s.RadioIndex) line(std::to_string(index));
    for (bool checked : s.Checked) line(checked ? "1" : "0");

    const int32_t group = host.HostLayerGroup;
    const bool groupKnown = group >= 0 && static_cast<size_t>(group) < host.GroupScale.size();
    line(std::to_string(group));
    line(FormatGeneral(groupKnown ? host.GroupScale[group] : 1));
    line(FormatGeneral(host.AxisAngle));
    for (size_t point = 1; point <= 3; ++point) {
        line(FormatGeneral(PointCoordinate(host, point, false)));
        line(FormatGeneral(PointCoordinate(host, point, true)));
    }
    return out;
}

std::optional<std::string> ReadSettingsFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return std::nullopt;
    // Only the first 22 lines count, and no line the dialog writes comes near the cap: reading stops at
    // the 22nd line break, and of each line only the bytes up to the cap are kept. A file with fewer
    // line breaks is read to its end, but never takes more memory than 22 lines of the cap.
    std::string bytes;
    size_t lineLength = 0;
    int lines = 0;
    std::array<char, 4096> chunk;
    while (lines < kSettingsLinesRead) {
        in.read(chunk.data(), chunk.size());
        const std::streamsize got = in.gcount();
        for (std::streamsize i = 0; i < got && lines < kSettingsLinesRead; ++i) {
            const char c = chunk[static_cast<size_t>(i)];
            if (c == '\n') {
                bytes += c;
                lineLength = 0;
                ++lines;
            } else if (lineLength < kSettingsLineCap) {
                bytes += c;
                ++lineLength;
            }
            // No settings line is this long (a hand edit, or a damaged file): the rest of it is passed
            // over, and the lines after it still count.
        }
        if (in.eof()) return bytes;
        if (in.fail()) return std::nullopt;
    }
    return bytes;
}

bool WriteSettingsFile(const std::filesystem::path& path, const TSettings& settings,
                       const THostParameters& host) {
    std::string bytes;
    try {
        bytes = FormatSettings(settings, host);
    } catch (...) {
        return false; // out of memory: the old file stays as it was
    }
    // The old settings are worth more than the new: they are overwritten in place only where the safe
    // way is refused, never after a full disk or a failing medium.
    const TReplaceResult result = ReplaceFileContents(path, bytes, TStake::KeepOld);
    // Half of the new settings would restore a dialog nobody chose: better the designed defaults.
    if (result.TargetDamaged) CurrentFileSystem().Remove(path);
    return static_cast<bool>(result);
}
