// The settings file "sorvel.dat": 31 lines, one value each; the first 22 restore the dialog.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "exchange/JwwGaibu.h"

// Lines 1 to 22 as values, the controls in the file's order.
struct TSettings {
    int32_t WindowLeft = 0, WindowTop = 0;
    std::array<int32_t, 5> ListIndex{};  // ComboBox1..ComboBox5; read back never negative
    std::array<std::string, 9> EditText; // Edit1..Edit9, whole lines
    std::array<int32_t, 2> RadioIndex{}; // RadioGroup1, RadioGroup2; read back never negative
    std::array<bool, 4> Checked{};       // CheckBox1..CheckBox4

    bool operator==(const TSettings&) const = default;
};

constexpr int kSettingsLinesRead = 22;
// Bytes of one line that are kept; a longer line is cut there, the rest of it up to its line feed
// passed over.
constexpr size_t kSettingsLineCap = 4096;

// The values of a file's bytes; missing lines read as empty lines.
TSettings ParseSettings(std::string_view bytes);
// All 31 lines with CR LF; lines 23 to 31 record the host parameters of the run and are never read.
std::string FormatSettings(const TSettings& settings, const THostParameters& host);

// The file's bytes up to the end of line 22, each line cut at the line cap; nothing when it is missing
// or cannot be read.
std::optional<std::string> ReadSettingsFile(const std::filesystem::path& path);
// False when the file could not be written; the old file then stays as it was, or is removed when
// the write over it broke off half-way.
bool WriteSettingsFile(const std::filesystem::path& path, const TSettings& settings,
                       const THostParameters& host);
