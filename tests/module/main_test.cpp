// Test program entry: COM initialised on the main thread as a single-threaded apartment.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::CoInitialize(nullptr);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
