#pragma once
#include <stdexcept>
#include <utility>

namespace tamaruka {

// A run-time error of a front-end step (a failed numeric conversion, an
// overflow, a platform call that cannot be made). Steps throw it; runStep
// catches it.
class StepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The front-end's error rule: an error inside a step abandons that step and
// execution goes on with the next step. A value that the step should have set
// keeps its earlier value, so a step computes first and assigns last:
//
//     runStep([&] { state.settings.bgmKind = settingNumberOrThrow(text); });
//
// Everything a step throws is swallowed here; nothing is reported or logged.
// Event handlers run under it as well, so no exception ever reaches Qt.
template <class Step>
void runStep(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
    } catch (...) {
        // The step is abandoned; the caller's next step runs.
    }
}

}  // namespace tamaruka
