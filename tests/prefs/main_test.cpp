// The preferences test program: COM initialised on the main thread, as a browser thread would have it.
#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    HRESULT hr = ::CoInitialize(nullptr);
    if (FAILED(hr)) return 2;
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
