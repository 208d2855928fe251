#include "tests/support/test_support.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new tamaruka::test::XvfbEnvironment);
    return RUN_ALL_TESTS();
}
