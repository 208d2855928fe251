#pragma once
#include <string>

namespace tamaruka {

// The folder of the running executable (/proc/self/exe), without a trailing
// "/"; empty when it cannot be read.
std::string programFolder();

}  // namespace tamaruka
