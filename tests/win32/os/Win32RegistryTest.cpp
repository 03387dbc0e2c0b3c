#include "os/ErrorCodes.h"
#include "os/ScopedInstall.h"
#include "os/posix/HeapMemory.h"
#include "os/win32/Win32Errors.h"
#include "os/win32/Win32FileSystem.h"
#include "os/win32/Win32Registry.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistrySupport.h"

#include <cstring>
#include <windows.h>

#include <gtest/gtest.h>

namespace {

using os::win32::Win32Registry;

constexpr const char* TestKey = "Software\\Pastrix Tests";

class Win32RegistryTest : public testing::Test {
protected:
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, TestKey); }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, ValuesAreStoredReadEnumeratedAndDeletedInTheSystemsRegistry) {
    os::RegistryKeyHandle key = 0;
    std::uint32_t disposition = 0;
    ASSERT_EQ(registry.createKey(os::hkey::CurrentUser, TestKey, "", os::reg::OptionNonVolatile,
                                 os::reg::KeyRead | os::reg::KeyWrite, key, &disposition),
              os::error::Success);
    EXPECT_EQ(disposition, os::reg::CreatedNewKey);
    const unsigned char text[] = "C:\\Program Files\\Pastrix\\pastrix.exe";
    ASSERT_EQ(registry.setValue(key, "Command", os::reg::Sz, text, sizeof text),
              os::error::Success);

    std::uint32_t type = 0;
    unsigned char small[4];
    std::uint32_t size = sizeof small;
    EXPECT_EQ(registry.queryValue(key, "command", &type, small, &size), os::error::MoreData);
    EXPECT_EQ(size, sizeof text);
    unsigned char data[64];
    size = sizeof data;
    ASSERT_EQ(registry.queryValue(key, "COMMAND", &type, data, &size), os::error::Success);
    EXPECT_EQ(type, os::reg::Sz);
    EXPECT_EQ(std::memcmp(data, text, sizeof text), 0);

    std::string name;
    size = sizeof data;
    ASSERT_EQ(registry.enumValue(key, 0, name, &type, data, &size), os::error::Success);
    EXPECT_EQ(name, "Command");
    EXPECT_EQ(registry.enumValue(key, 1, name, nullptr, nullptr, nullptr), os::error::NoMoreItems);

    EXPECT_EQ(registry.deleteValue(key, "Command"), os::error::Success);
    EXPECT_EQ(registry.deleteValue(key, "Command"), os::error::FileNotFound);
    EXPECT_EQ(registry.closeKey(key), os::error::Success);

    os::RegistryKeyHandle missing = 0;
    EXPECT_EQ(registry.openKey(os::hkey::CurrentUser, "Software\\Pastrix Tests\\Missing", 0,
                               os::reg::KeyRead, missing),
              os::error::FileNotFound);
    EXPECT_EQ(missing, 0U);
}

TEST_F(Win32RegistryTest, EnvironmentNamesExpandAndUnknownOnesStay) {
    ::SetEnvironmentVariableA("PASTRIX_TEST_HOME", "C:\\Home");
    char buffer[64];
    const std::uint32_t count = registry.expandEnvironmentStrings(
        "%PASTRIX_TEST_HOME%\\x %PASTRIX_UNSET%", buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer), "C:\\Home\\x %PASTRIX_UNSET%");
    EXPECT_GE(count, std::strlen(buffer) + 1);
}

// The start-at-logon entry as the settings write it, in the real registry.
TEST_F(Win32RegistryTest, TheRunEntryIsWrittenWithTheProgramsQuotedPathAndRemoved) {
    os::win32::Win32Errors errors;
    os::win32::Win32FileSystem files;
    os::Port port;
    port.errors = &errors;
    port.fileSystem = &files;
    port.registry = &registry;
    const os::ScopedInstall installation(port);

    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    namespace reg = windows::registry;
    reg::RegistrySupport entry(os::hkey::CurrentUser, runKey, "Pastrix Tests", "-minimized", "");
    ASSERT_FALSE(entry.isRegistered());
    entry.addToRegistry();
    EXPECT_TRUE(entry.isRegistered());

    char value[MAX_PATH * 2];
    DWORD size = sizeof value;
    ASSERT_EQ(::RegGetValueA(HKEY_CURRENT_USER, runKey.c_str(), "Pastrix Tests", RRF_RT_REG_SZ,
                             nullptr, value, &size),
              ERROR_SUCCESS);
    char program[MAX_PATH];
    ::GetModuleFileNameA(nullptr, program, sizeof program);
    EXPECT_EQ(std::string(value), "\"" + std::string(program) + "\" -minimized");

    entry.removeFromRegistry();
    EXPECT_FALSE(reg::registryValueExists(os::hkey::CurrentUser, runKey, "Pastrix Tests"));
    // Removing what is gone is no failure.
    entry.removeFromRegistry();
}

}  // namespace
