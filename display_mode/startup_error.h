#pragma once
#include <stdexcept>

namespace tamaruka {

// A failure before the first frame: reported as one line on stderr, exit code 1.
struct StartupError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tamaruka
