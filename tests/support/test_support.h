#pragma once
// Shared helpers of the tests: the harness that drives the programs, and a
// private Xvfb for a whole test binary.
#include <string>

#include <gtest/gtest.h>

#include "harness/harness.h"

namespace tamaruka::test {

// GoogleTest environment: one Xvfb for the whole test binary, with DISPLAY set
// to it. Register with ::testing::AddGlobalTestEnvironment(new XvfbEnvironment)
// or simply link tamaruka_e2e_main, which does so.
class XvfbEnvironment : public ::testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;
    static const std::string& displayName();
};

}  // namespace tamaruka::test
