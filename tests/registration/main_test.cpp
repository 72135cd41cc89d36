// Registration tests change the registration every other test relies on: whatever happens, the
// program ends by registering this build's library machine-wide again.
#include "registration/RegistryProbe.h"

#include <gtest/gtest.h>

#include <objbase.h>

namespace {

class RestoreRegistration : public ::testing::Environment {
public:
    void TearDown() override {
        // A child process running the per-user cases leaves the machine-wide registration alone.
        if (::GetEnvironmentVariableW(L"ZEMBROLATIX_PER_USER_CHILD", nullptr, 0) != 0) return;
        RegistrationTest::LoadedLibrary library(RegistrationTest::BuiltLibraryPath());
        ASSERT_TRUE(library.ok());
        EXPECT_EQ(library.registerServer(), S_OK) << "restoring the machine-wide registration";
    }
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new RestoreRegistration);
    ::CoInitialize(nullptr);
    int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
