// Entry of every C++ test program that needs nothing special: COM initialised on the main thread
// as a single-threaded apartment, as the library's objects expect.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitialize(nullptr))) return 2;
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
