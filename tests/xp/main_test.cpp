// Runs as tests_xp.exe, which the test prefix gives the version of Windows XP: the library uses its
// ordinary storage locations in this program. COM is initialised for the whole run.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitialize(nullptr))) return 2;
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
