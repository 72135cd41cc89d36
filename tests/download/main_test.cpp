#include <gtest/gtest.h>

#include <objbase.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (FAILED(::CoInitialize(nullptr))) return 2;
    int rc = RUN_ALL_TESTS();
    ::CoUninitialize();
    return rc;
}
