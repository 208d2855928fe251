#pragma once
#include <string>

namespace tamaruka {

// One X display however its name is spelt: "[protocol/][host]:number[.screen]"
// becomes "host:number". The screen goes (one display, several screens), the
// number loses leading zeros, "tcp/", "inet/" and "inet6/" go (the same host),
// and the host "unix", an empty one and the protocols "unix/" and "local/" all
// mean this machine, written as no host: ":93" and "unix:93.0" are ":93". A
// name that is not of this form comes back as it is.
std::string canonicalDisplayName(const std::string& displayName);

}  // namespace tamaruka
