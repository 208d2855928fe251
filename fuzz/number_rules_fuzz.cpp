// libFuzzer target for the number rules over any text: every reader gives an
// answer without faults, the two forms of "is it a number" agree, and a
// setting that was read writes back as text that reads as the same setting.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "settings/number_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tamaruka;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    parseLeadingNumber(text);
    readHostHandle(text);
    const auto numeric = numericValue(text);
    if (numeric.has_value() != isNumeric(text)) std::abort();
    if (numeric) {
        roundHalfEvenToInt16(*numeric);
        roundHalfEvenToInt32(*numeric);
    }

    if (const auto setting = settingNumber(text)) {
        if (settingNumber(formatHashHash(*setting)) != setting) std::abort();
        if (settingNumber(formatSignBlank(*setting)) != setting) std::abort();
    }
    return 0;
}
