// The registry layer over the simulated desktop's registry.
#include "os/ErrorCodes.h"
#include "os/sim/SimRegistry.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/SimDesktopTest.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistryKeyImpl.h"
#include "windows/registry/RegistryReaderImpl.h"
#include "windows/registry/RegistrySupport.h"
#include "windows/registry/RegistryWriterImpl.h"

#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace windows::registry;
using Call = os::sim::SimRegistry::Call;
using Strings = std::vector<std::pair<std::string, std::string>>;

const std::string Subkey = "Software\\Velbrook\\Pastrix";
const std::string KeyName = "HKEY_CURRENT_USER\\Software\\Velbrook\\Pastrix";
const std::string RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string text(long code) {
    return platform::errorresources::SystemErrors::map(static_cast<int>(code));
}

// Runs the action and returns the message of the exception it throws, which must be of the
// expected class.
template <typename Expected>
std::string messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Expected& e) {
        return e.getMessage();
    } catch (const exceptions::Exception& e) {
        ADD_FAILURE() << "unexpected exception class: " << e.getMessage();
        return "";
    }
    ADD_FAILURE() << "nothing thrown";
    return "";
}

class RegistryTest : public testing_support::SimDesktopAssertionTest {
protected:
    void put(const std::string& name, std::uint32_t type, const std::string& data) {
        desktop.registry.putValue(HKEY_CURRENT_USER, Subkey, name, type, data);
    }

    std::vector<os::posix::RegistryValue> stored() const {
        return desktop.registry.values(HKEY_CURRENT_USER, Subkey);
    }
};

TEST_F(RegistryTest, KeysCloseWithTheirObjectAndNameTheirRoot) {
    put("a", REG_SZ, std::string("x\0", 2));
    {
        RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
        EXPECT_EQ(key.getName(), KeyName);
        EXPECT_NE(key.getHandle(), 0U);
        EXPECT_EQ(desktop.registry.openHandles(), 1U);
    }
    EXPECT_EQ(desktop.registry.openHandles(), 0U);

    {
        RegistryKeyImpl created(HKEY_LOCAL_MACHINE, "Software\\New\\Deep", KEY_WRITE, CreateOrOpen);
        EXPECT_EQ(created.getName(), "HKEY_LOCAL_MACHINE\\Software\\New\\Deep");
    }
    EXPECT_TRUE(desktop.registry.keyExists(HKEY_LOCAL_MACHINE, "software\\new"));
    EXPECT_TRUE(desktop.registry.keyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\NEW\\DEEP"));
    EXPECT_TRUE(assertions.reports.empty());

    // A failed close is reported and nothing more.
    desktop.registry.failCall(Call::CloseKey, os::error::InvalidHandle, 1);
    { RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting); }
    EXPECT_TRUE(assertions.reported("result == os::error::Success"));
}

TEST_F(RegistryTest, BrokenKeyRequestsAreReported) {
    put("a", REG_SZ, std::string("x\0", 2));
    {
        RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, CreateOrOpen);
        EXPECT_TRUE(assertions.reported("securityAccess & KEY_CREATE_SUB_KEY"));
    }
    {
        RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, 7);
        EXPECT_TRUE(assertions.reported("false"));
        assertions.reports.clear();
        EXPECT_EQ(key.getHandle(), 0U);
        EXPECT_TRUE(assertions.reported("_key != 0"));
    }
}

TEST_F(RegistryTest, OpeningAndCreatingFailuresNameTheKey) {
    put("a", REG_SZ, std::string("x\0", 2));
    const auto open = [&](int mode) {
        return [&, mode] { RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_WRITE, mode); };
    };
    const std::vector<std::tuple<Call, long, int, std::string, int>> cases = {
        {Call::OpenKey, os::error::AccessDenied, OpenExisting,
         "Error when opening a registry key, access is denied. Key: ", 0},
        {Call::OpenKey, os::error::FileNotFound, OpenExisting,
         "Error when opening a registry key, the key doesn't exist. Key: ", 1},
        {Call::OpenKey, os::error::InvalidData, OpenExisting,
         "Error when opening a registry key. Key: ", 2},
        {Call::CreateKey, os::error::AccessDenied, CreateOrOpen,
         "Error when creating a registry key, access is denied. Key: ", 0},
        {Call::CreateKey, os::error::FileNotFound, CreateOrOpen,
         "Error when creating a registry key. Key: ", 2},
    };
    for (const auto& [call, code, mode, sentence, kind] : cases) {
        desktop.registry.failCall(call, code, 1);
        const std::string expected = sentence + KeyName + "\n\n" + text(code);
        switch (kind) {
            case 0:
                EXPECT_EQ(messageOf<RegistryAccessDeniedException>(open(mode)), expected);
                break;
            case 1:
                EXPECT_EQ(messageOf<RegistryKeyNotFoundException>(open(mode)), expected);
                break;
            default:
                // Only the base class: no more specific one may be thrown.
                try {
                    open(mode)();
                    ADD_FAILURE() << sentence;
                } catch (const RegistryAccessDeniedException&) {
                    ADD_FAILURE() << sentence;
                } catch (const RegistryKeyNotFoundException&) {
                    ADD_FAILURE() << sentence;
                } catch (const RegistryException& e) {
                    EXPECT_EQ(e.getMessage(), expected);
                }
        }
    }
    EXPECT_EQ(desktop.registry.openHandles(), 0U);

    // The same outcomes from the store itself: a missing key and a key the user may not
    // touch.
    EXPECT_EQ(messageOf<RegistryKeyNotFoundException>([] {
                  RegistryKeyImpl key(HKEY_CURRENT_USER, "Software\\Missing", KEY_READ,
                                      OpenExisting);
              }),
              "Error when opening a registry key, the key doesn't exist. Key: "
              "HKEY_CURRENT_USER\\Software\\Missing\n\n" +
                  text(os::error::FileNotFound));
    desktop.registry.denyAccess(HKEY_LOCAL_MACHINE, RunKey);
    EXPECT_NE(messageOf<RegistryAccessDeniedException>(
                  [] { RegistryKeyImpl key(HKEY_LOCAL_MACHINE, RunKey, KEY_WRITE, CreateOrOpen); }),
              "");
}

TEST_F(RegistryTest, TextsAndNumbersGoInAsTheSystemStoresThem) {
    {
        RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_WRITE, CreateOrOpen);
        RegistryWriterImpl writer(key);
        writer.writeString("Name", "Pastrix");
        writer.writeString("Empty", "");
        writer.writeInt("Count", REG_DWORD, 0x01020304);
        writer.writeInt("Big", REG_DWORD_BIG_ENDIAN, 0x01020304);
        writer.writeInt("Minus", REG_BINARY, -2);
        EXPECT_TRUE(assertions.reports.empty());
        writer.writeInt("Odd", REG_SZ, 5);
        EXPECT_TRUE(assertions.reported(
            "type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_BIG_ENDIAN"));
        // Rewriting keeps the value's place.
        writer.writeString("name", "Pastrix 2");
    }
    const auto values = stored();
    ASSERT_EQ(values.size(), 6U);
    const std::vector<std::tuple<std::string, std::uint32_t, std::string>> expected = {
        {"Name", REG_SZ, std::string("Pastrix 2\0", 10)},
        {"Empty", REG_SZ, std::string("\0", 1)},
        {"Count", REG_DWORD, "\x04\x03\x02\x01"},
        {"Big", REG_DWORD_BIG_ENDIAN, "\x04\x03\x02\x01"},
        {"Minus", REG_BINARY, "\xFE\xFF\xFF\xFF"},
        {"Odd", REG_SZ, std::string("\x05\0\0\0", 4)},
    };
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].name, std::get<0>(expected[i]));
        EXPECT_EQ(values[i].type, std::get<1>(expected[i]));
        EXPECT_EQ(values[i].data, std::get<2>(expected[i])) << values[i].name;
    }

    RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
    RegistryReaderImpl reader(key);
    EXPECT_EQ(reader.readString("NAME"), "Pastrix 2");
    EXPECT_EQ(reader.readString("Empty"), "");
    EXPECT_EQ(reader.readInt("Count"), 0x01020304);
    EXPECT_EQ(reader.readInt("Minus"), -2);
}

TEST_F(RegistryTest, ReadingTakesTheFirstTextAndExpandsReferences) {
    desktop.registry.setEnvironment("WINDIR", "C:\\WINDOWS");
    put("Expand", REG_EXPAND_SZ, std::string("%WINDIR%\\system32;%UNKNOWN%;100%\0", 34));
    put("Multi", REG_MULTI_SZ, std::string("first\0second\0\0", 14));
    put("Short", REG_BINARY, "\x34\x12");
    put("Number", REG_DWORD, "\x01\0\0\0");
    put("Tiny", REG_SZ, std::string("ab\0", 3));
    put("Unended", REG_SZ, std::string(RegistryReaderImpl::BufferSize, 'u'));
    RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
    RegistryReaderImpl reader(key);

    EXPECT_EQ(reader.readString("Expand"), "C:\\WINDOWS\\system32;%UNKNOWN%;100%");
    EXPECT_EQ(reader.readString("Multi"), "first");
    // A text that fills the buffer without its zero is still read within the buffer.
    EXPECT_EQ(reader.readString("Unended"), std::string(RegistryReaderImpl::BufferSize, 'u'));
    EXPECT_EQ(reader.readInt("Short"), 0x1234);
    EXPECT_TRUE(assertions.reports.empty());

    EXPECT_EQ(reader.readString("Number"), "\x01");
    EXPECT_TRUE(
        assertions.reported("type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ"));
    assertions.reports.clear();
    EXPECT_EQ(reader.readInt("Tiny"), 0x6261);
    EXPECT_TRUE(assertions.reported(
        "type == REG_DWORD || type == REG_BINARY || type == REG_DWORD_LITTLE_ENDIAN"));
}

TEST_F(RegistryTest, ReadingFailuresNameTheEntry) {
    put("Big", REG_SZ, std::string(3000, 'b'));
    put("Wide", REG_BINARY, "123456");
    RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
    RegistryReaderImpl reader(key);
    const std::string entry = KeyName + "\\";

    EXPECT_EQ(messageOf<RegistryException>([&] { reader.readString("Big"); }),
              "Error when reading a registry key. Entry: " + entry + "Big\n\n" +
                  text(os::error::MoreData));
    EXPECT_EQ(messageOf<RegistryException>([&] { reader.readInt("Wide"); }),
              "Error when reading a registry key. Entry: " + entry + "Wide\n\n" +
                  text(os::error::MoreData));
    EXPECT_EQ(messageOf<RegistryValueNotFoundException>([&] { reader.readString("Gone"); }),
              "Error when reading a registry key, the value doesn't exist. Entry: " + entry +
                  "Gone\n\n" + text(os::error::FileNotFound));
    desktop.registry.failCall(Call::QueryValue, os::error::AccessDenied, 1);
    EXPECT_EQ(messageOf<RegistryAccessDeniedException>([&] { reader.readInt("Wide"); }),
              "Error when reading a registry key, access is denied. Entry: " + entry + "Wide\n\n" +
                  text(os::error::AccessDenied));

    // A value too long for the read buffer still exists.
    EXPECT_TRUE(reader.valueExists("Big"));
    EXPECT_FALSE(reader.valueExists("Gone"));
    desktop.registry.failCall(Call::QueryValue, os::error::AccessDenied, 1);
    EXPECT_THROW(reader.valueExists("Big"), RegistryAccessDeniedException);
}

TEST_F(RegistryTest, AllStringsComeInTheKeysOrder) {
    desktop.registry.setEnvironment("HOMEDRIVE", "D:");
    put("zeta", REG_SZ, std::string("last written first\0", 19));
    put("number", REG_DWORD, "\x01\0\0\0");
    put("alpha", REG_EXPAND_SZ, std::string("%HOMEDRIVE%\\\0", 13));
    put("blob", REG_BINARY, "xyz");
    RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
    RegistryReaderImpl reader(key);
    EXPECT_EQ(reader.readAllStrings(),
              (Strings{{"zeta", "last written first"}, {"alpha", "D:\\"}}));

    desktop.registry.failCall(Call::EnumValue, os::error::AccessDenied, 1);
    EXPECT_EQ(messageOf<RegistryAccessDeniedException>([&] { reader.readAllStrings(); }),
              "Error when reading a registry key while enumerating a value, access is denied. "
              "Entry: " +
                  KeyName + "\\\n\n" + text(os::error::AccessDenied));
    desktop.registry.failCall(Call::EnumValue, os::error::InvalidData, 1);
    EXPECT_EQ(messageOf<RegistryException>([&] { reader.readAllStrings(); }),
              "Error when reading a registry key while enumerating a value. Entry: " + KeyName +
                  "\\\n\n" + text(os::error::InvalidData));
}

TEST_F(RegistryTest, WritingAndDeletingFailuresNameTheValue) {
    put("Here", REG_SZ, std::string("x\0", 2));
    const std::string value = KeyName + "\\Here";
    {
        // A key opened for reading cannot be written through.
        RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_READ, OpenExisting);
        RegistryWriterImpl writer(key);
        EXPECT_EQ(
            messageOf<RegistryAccessDeniedException>([&] { writer.writeString("Here", "y"); }),
            "Error when setting a registry value, access is denied. Value: " + value + " \n\n" +
                text(os::error::AccessDenied));
        EXPECT_EQ(messageOf<RegistryAccessDeniedException>([&] { writer.deleteValue("Here"); }),
                  "Error deleting the value, access is denied. Entry: " + value + "\n\n" +
                      text(os::error::AccessDenied));
    }
    RegistryKeyImpl key(HKEY_CURRENT_USER, Subkey, KEY_WRITE, OpenExisting);
    RegistryWriterImpl writer(key);
    desktop.registry.failCall(Call::SetValue, os::error::DiskFull, 1);
    EXPECT_EQ(messageOf<RegistryException>([&] { writer.writeInt("Here", REG_DWORD, 1); }),
              "Error when setting a registry value. Value: " + value + "\n\n" +
                  text(os::error::DiskFull));
    desktop.registry.failCall(Call::DeleteValue, os::error::DiskFull, 1);
    EXPECT_EQ(messageOf<RegistryException>([&] { writer.deleteValue("Here"); }),
              "Error when deleteing a value. Entry: " + value + "\n\n" + text(os::error::DiskFull));
    EXPECT_EQ(stored().size(), 1U);

    writer.deleteValue("HERE");
    EXPECT_TRUE(stored().empty());
    EXPECT_EQ(messageOf<RegistryValueNotFoundException>([&] { writer.deleteValue("Here"); }),
              "Error when deleteing the registry value. The value did not exist. Entry: " + value +
                  "\n\n" + text(os::error::FileNotFound));
}

TEST_F(RegistryTest, RootNamesAndExpansion) {
    const std::vector<std::pair<HKEY, std::string>> roots = {
        {HKEY_CLASSES_ROOT, "HKEY_CLASSES_ROOT"},     {HKEY_CURRENT_USER, "HKEY_CURRENT_USER"},
        {HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE"},   {HKEY_USERS, "HKEY_USERS"},
        {HKEY_CURRENT_CONFIG, "HKEY_CURRENT_CONFIG"},
    };
    for (const auto& [root, name] : roots) {
        EXPECT_EQ(rootKeyName(root), name);
    }
    EXPECT_TRUE(assertions.reports.empty());
    EXPECT_EQ(rootKeyName(0x80000004U), "DUMMY_TO_AVOID_WARNING");
    EXPECT_TRUE(assertions.reported("false"));

    desktop.registry.setEnvironment("User", "jo");
    EXPECT_EQ(expandEnvironmentVariables("%USER%-%user%%%-%nothing%-%"), "jo-jo%%-%nothing%-%");
    EXPECT_EQ(expandEnvironmentVariables(""), "");

    desktop.registry.failCall(Call::Expand, os::error::NotEnoughMemory, 1);
    EXPECT_EQ(messageOf<RegistryException>([] { expandEnvironmentVariables("%USER%"); }),
              "Error when expanding enviromental varible.\n\n" + text(os::error::NotEnoughMemory));
}

TEST_F(RegistryTest, ValueExistsWhenKeyAndValueDo) {
    EXPECT_FALSE(registryValueExists(HKEY_CURRENT_USER, Subkey, "Name"));
    put("Name", REG_SZ, std::string("x\0", 2));
    EXPECT_TRUE(registryValueExists(HKEY_CURRENT_USER, Subkey, "name"));
    EXPECT_FALSE(registryValueExists(HKEY_CURRENT_USER, Subkey, "Other"));
    desktop.registry.failCall(Call::OpenKey, os::error::AccessDenied, 1);
    EXPECT_THROW(registryValueExists(HKEY_CURRENT_USER, Subkey, "Name"),
                 RegistryAccessDeniedException);
}

class RegistrySupportTest : public RegistryTest {
protected:
    std::string storedCommand() const {
        for (const auto& value : desktop.registry.values(HKEY_LOCAL_MACHINE, RunKey)) {
            if (value.name == "Pastrix") {
                return value.data;
            }
        }
        return "<none>";
    }
};

TEST_F(RegistrySupportTest, EmptyNamesAreRefused) {
    EXPECT_EQ(messageOf<RegistryException>(
                  [] { RegistrySupport support(HKEY_LOCAL_MACHINE, "", "", "", "/p"); }),
              "A subkey of length 0 in not allowed.");
    EXPECT_EQ(messageOf<RegistryException>(
                  [] { RegistrySupport support(HKEY_LOCAL_MACHINE, RunKey, "", "", "/p"); }),
              "A value of length 0 in not allowed.");
}

TEST_F(RegistrySupportTest, TheCommandQuotesThePathAndAddsTheArguments) {
    EXPECT_EQ(RegistrySupport(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", "", "/opt/px").getCommand(),
              "\"/opt/px\"");
    EXPECT_EQ(RegistrySupport(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", "-minimized -x", "/opt/px")
                  .getCommand(),
              "\"/opt/px\" -minimized -x");
    std::string program;
    ASSERT_TRUE(os::fileSystem().getModuleFileName(program));
    EXPECT_EQ(RegistrySupport(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", "-minimized", "").getCommand(),
              "\"" + program + "\" -minimized");
}

TEST_F(RegistrySupportTest, RegistersExactlyItsOwnCommand) {
    RegistrySupport support(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", "-minimized", "C:\\Px\\px.exe");
    // The key does not exist yet: that failure is the caller's to handle.
    EXPECT_THROW(support.isRegistered(), RegistryKeyNotFoundException);

    support.addToRegistry();
    EXPECT_EQ(storedCommand(), std::string("\"C:\\Px\\px.exe\" -minimized\0", 26));
    EXPECT_TRUE(support.isRegistered());

    // Another spelling of the same command is not this entry.
    const std::vector<std::string> others = {"\"c:\\px\\px.exe\" -minimized",
                                             "C:\\Px\\px.exe -minimized",
                                             "\"C:\\Px\\px.exe\" -Minimized"};
    for (const std::string& other : others) {
        desktop.registry.putValue(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", REG_SZ, other + '\0');
        EXPECT_FALSE(support.isRegistered()) << other;
    }

    support.removeFromRegistry();
    EXPECT_EQ(storedCommand(), "<none>");
    EXPECT_FALSE(support.isRegistered());
    // Removing a value that is gone changes nothing and is no failure.
    support.removeFromRegistry();
    EXPECT_TRUE(assertions.reports.empty());
    EXPECT_EQ(desktop.registry.openHandles(), 0U);
}

TEST_F(RegistrySupportTest, FailuresOfTheStorePassOn) {
    RegistrySupport support(HKEY_LOCAL_MACHINE, RunKey, "Pastrix", "-minimized", "/opt/px");
    desktop.registry.denyAccess(HKEY_LOCAL_MACHINE, RunKey);
    EXPECT_THROW(support.addToRegistry(), RegistryAccessDeniedException);
    EXPECT_THROW(support.removeFromRegistry(), RegistryAccessDeniedException);
    EXPECT_FALSE(desktop.registry.keyExists(HKEY_LOCAL_MACHINE, RunKey));
    EXPECT_EQ(desktop.registry.openHandles(), 0U);
}

}  // namespace
