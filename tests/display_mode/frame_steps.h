#pragma once
// The frame steps that tamaruka prints with TAMARUKA_PRINT_FRAME_STEPS=1.
#include <regex>
#include <string>
#include <vector>

namespace tamaruka::test {

inline std::vector<int> frameSteps(const std::string& output) {
    const std::regex step("frame step (\\d+) ms");
    std::vector<int> steps;
    for (std::sregex_iterator it(output.begin(), output.end(), step), end; it != end; ++it)
        steps.push_back(std::stoi((*it)[1]));
    return steps;
}

}  // namespace tamaruka::test
