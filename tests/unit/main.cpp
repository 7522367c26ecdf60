#include "tests/unit/TestApplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    TestApplication app;
    // Learns the instance and the program's name and registers the common controls.
    app.Run(GetModuleHandleA(nullptr));
    const int result = RUN_ALL_TESTS();
    app.ClearSettings();
    return result;
}
