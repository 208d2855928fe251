#include "music/display_name.h"

#include <string_view>

namespace tamaruka {

namespace {

bool allDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::string canonicalDisplayName(const std::string& displayName) {
    std::string_view rest = displayName;
    bool local = false;
    if (const std::size_t slash = rest.find('/'); slash != std::string_view::npos) {
        const std::string_view protocol = rest.substr(0, slash);
        if (protocol == "unix" || protocol == "local") local = true;
        else if (protocol != "tcp" && protocol != "inet" && protocol != "inet6") return displayName;
        rest.remove_prefix(slash + 1);
    }
    const std::size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) return displayName;
    std::string_view host = rest.substr(0, colon);
    std::string_view number = rest.substr(colon + 1);
    number = number.substr(0, number.find('.'));
    // DECnet's "host::n" is left alone, as is anything without a number.
    if (!allDigits(number) || (!host.empty() && host.back() == ':')) return displayName;
    if (local || host == "unix") host = {};
    while (number.size() > 1 && number.front() == '0') number.remove_prefix(1);
    return std::string(host) + ":" + std::string(number);
}

}  // namespace tamaruka
