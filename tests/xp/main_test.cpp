// Test program for the ordinary (pre-Vista) storage locations. The test prefix makes Wine report
// Windows XP to a program of this name (tests/make-prefix.sh), so UseLowStorage() is false here.
#include <gtest/gtest.h>
#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitialize(nullptr))) return 1;
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
