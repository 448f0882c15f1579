// The command list: the queued output lines of one run, in the order they are written back.
#include <string>
#include <string_view>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/command_list.h"
#include "util/Sjis.h"

namespace {

constexpr std::size_t kMaxEntryBytes = 255;
constexpr std::size_t kGrowthStep = 1000;

std::vector<std::string>& Entries() {
    static std::vector<std::string> entries;
    return entries;
}

// Length of the longest prefix within limit bytes that ends on a character boundary, so a cut
// never leaves half of a double-byte character in front of the line end.
std::size_t WholeCharacterPrefix(std::string_view text, std::size_t limit) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t width = IsSjisLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
        if (i + width > limit) break;
        i += width;
    }
    return i < text.size() ? i : text.size();
}

} // namespace

void AddCommand(std::string_view text) {
    // One entry is one line of the exchange file: a line break inside it would hand the host an
    // extra command, and an empty line switches Jw_cad into continuous-line mode.
    std::string entry;
    entry.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') entry.push_back(c);
    entry.resize(WholeCharacterPrefix(entry, kMaxEntryBytes));
    if (entry.empty()) return;

    auto& entries = Entries();
    if (entries.size() == entries.capacity()) entries.reserve(entries.size() + kGrowthStep);
    entries.push_back(std::move(entry));
}

void ClearCommandList() {
    std::vector<std::string>().swap(Entries());
}

const std::vector<std::string>& CommandList() {
    return Entries();
}
