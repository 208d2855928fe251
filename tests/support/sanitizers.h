#pragma once

namespace tamaruka::test {

// True in a build under AddressSanitizer, whose shadow memory and quarantine
// make figures of a process's memory meaningless.
constexpr bool underAddressSanitizer() {
#if defined(__SANITIZE_ADDRESS__)
    return true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    return true;
#else
    return false;
#endif
#else
    return false;
#endif
}

}  // namespace tamaruka::test

// Skips a test that measures memory in a build under AddressSanitizer.
#define TAMARUKA_SKIP_MEMORY_FIGURES_UNDER_ASAN()                                   \
    do {                                                                             \
        if (::tamaruka::test::underAddressSanitizer())                               \
            GTEST_SKIP() << "memory figures mean nothing under AddressSanitizer";    \
    } while (false)
