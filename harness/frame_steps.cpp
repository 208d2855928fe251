#include <regex>

#include "harness/harness.h"

namespace tamaruka::test {

std::vector<int> frameSteps(const std::string& output) {
    const std::regex step("frame step (\\d+) ms");
    std::vector<int> steps;
    for (std::sregex_iterator it(output.begin(), output.end(), step), end; it != end; ++it)
        steps.push_back(std::stoi((*it)[1]));
    return steps;
}

}  // namespace tamaruka::test
