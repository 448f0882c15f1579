// The command list: the queued output lines of one run, in the order they are written back.
#include <string>
#include <string_view>
#include <vector>

#include "exchange/JwwGaibu.h"
#include "exchange/writer/command_list.h"

namespace {

constexpr std::size_t kMaxEntryBytes = 255;
constexpr std::size_t kGrowthStep = 1000;

std::vector<std::string>& Entries() {
    static std::vector<std::string> entries;
    return entries;
}

} // namespace

void AddCommand(std::string_view text) {
    // One entry is one line of the exchange file: a line break inside it would hand the host an
    // extra command, and an empty line switches Jw_cad into continuous-line mode.
    std::string entry;
    entry.reserve(text.size());
    for (char c : text)
        if (c != '\r' && c != '\n') entry.push_back(c);
    // The host's line buffer holds 255 bytes; the cut counts bytes, as Jw_cad's own helpers do,
    // even where it falls inside a double-byte character.
    if (entry.size() > kMaxEntryBytes) entry.resize(kMaxEntryBytes);
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
