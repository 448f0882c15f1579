// libFuzzer target for the settings file: any bytes parse, and the values survive being written and read
// back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tool/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TSettings first = ParseSettings(bytes);
    const std::string written = FormatSettings(first, THostParameters{});
    if (ParseSettings(written) != first) std::abort();
    // What the tool writes it reads again unchanged, however odd the texts were.
    if (FormatSettings(ParseSettings(written), THostParameters{}) != written) std::abort();
    return 0;
}
