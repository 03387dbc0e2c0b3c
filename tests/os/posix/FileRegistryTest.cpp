// The registry kept in the user's configuration files, and the desktop's autostart entries
// made from its run-at-logon keys.
#include "os/ErrorCodes.h"
#include "os/posix/ConsolePlatform.h"
#include "os/posix/FileRegistry.h"
#include "os/posix/PosixErrors.h"
#include "windows/registry/RegistryException.h"
#include "windows/registry/RegistryHelpers.h"
#include "windows/registry/RegistrySupport.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using os::posix::FileRegistry;
using os::posix::RegistryPath;

const std::string RunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string contentOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Sets an environment variable for the test's life.
class ScopedVariable {
public:
    ScopedVariable(const char* variableName, const std::string& value) : name(variableName) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (previous) {
            ::setenv(name, previous->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* name;
    std::optional<std::string> previous;
};

class FileRegistryTest : public ::testing::Test {
protected:
    FileRegistryTest() {
        std::string pattern = (fs::temp_directory_path() / "pastrix-registry-XXXXXX").string();
        config = ::mkdtemp(pattern.data());
    }
    ~FileRegistryTest() override { fs::remove_all(config); }

    os::RegistryKeyHandle create(FileRegistry& registry, os::RegistryKeyHandle root,
                                 const std::string& subKey) {
        os::RegistryKeyHandle key = 0;
        EXPECT_EQ(registry.createKey(root, subKey, "", 0, os::reg::KeyWrite | os::reg::KeyRead, key,
                                     nullptr),
                  os::error::Success);
        return key;
    }

    static long setText(FileRegistry& registry, os::RegistryKeyHandle key, const std::string& name,
                        const std::string& text, std::uint32_t type = os::reg::Sz) {
        const std::string data = text + '\0';
        return registry.setValue(key, name, type,
                                 reinterpret_cast<const unsigned char*>(data.data()),
                                 static_cast<std::uint32_t>(data.size()));
    }

    static std::optional<std::pair<std::uint32_t, std::string>> read(FileRegistry& registry,
                                                                     os::RegistryKeyHandle root,
                                                                     const std::string& subKey,
                                                                     const std::string& name) {
        os::RegistryKeyHandle key = 0;
        if (registry.openKey(root, subKey, 0, os::reg::KeyRead, key) != os::error::Success) {
            return std::nullopt;
        }
        unsigned char buffer[256] = {};
        std::uint32_t size = sizeof buffer;
        std::uint32_t type = 0;
        const long result = registry.queryValue(key, name, &type, buffer, &size);
        registry.closeKey(key);
        if (result != os::error::Success) {
            return std::nullopt;
        }
        return std::make_pair(type, std::string(reinterpret_cast<char*>(buffer), size));
    }

    std::vector<std::string> filesBelow(const fs::path& directory) const {
        std::vector<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(directory)) {
            if (entry.is_regular_file()) {
                files.push_back(fs::relative(entry.path(), config).string());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    os::posix::PosixErrors errors;
    fs::path config;
};

TEST_F(FileRegistryTest, KeysAndValuesOutliveTheProcessInOneFileEach) {
    {
        FileRegistry registry(errors, config.string());
        const auto key = create(registry, os::hkey::CurrentUser, "Software\\Velbrook\\Pastrix");
        EXPECT_EQ(setText(registry, key, "Last Workspace", "Work\tday\n"), os::error::Success);
        const unsigned char number[] = {1, 2, 3, 4};
        EXPECT_EQ(registry.setValue(key, "Count", os::reg::Dword, number, 4), os::error::Success);
        EXPECT_EQ(registry.setValue(key, "100%", os::reg::Binary, nullptr, 0), os::error::Success);
        EXPECT_EQ(registry.closeKey(key), os::error::Success);
    }
    EXPECT_EQ(filesBelow(config),
              (std::vector<std::string>{
                  "pastrix/registry/HKEY_CURRENT_USER/software.key",
                  "pastrix/registry/HKEY_CURRENT_USER/software/velbrook.key",
                  "pastrix/registry/HKEY_CURRENT_USER/software/velbrook/pastrix.key"}));

    FileRegistry again(errors, config.string());
    EXPECT_EQ(read(again, os::hkey::CurrentUser, "SOFTWARE\\velbrook\\PASTRIX", "last workspace"),
              std::make_pair(os::reg::Sz, std::string("Work\tday\n\0", 10)));
    EXPECT_EQ(read(again, os::hkey::CurrentUser, "Software\\Velbrook\\Pastrix", "Count"),
              std::make_pair(os::reg::Dword, std::string("\x01\x02\x03\x04")));
    EXPECT_EQ(read(again, os::hkey::CurrentUser, "Software\\Velbrook\\Pastrix", "100%"),
              std::make_pair(os::reg::Binary, std::string()));
    EXPECT_EQ(read(again, os::hkey::LocalMachine, "Software\\Velbrook\\Pastrix", "Count"),
              std::nullopt);

    os::RegistryKeyHandle key = 0;
    ASSERT_EQ(again.openKey(os::hkey::CurrentUser, "Software\\Velbrook\\Pastrix", 0,
                            os::reg::KeyRead, key),
              os::error::Success);
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t index = 0;
         again.enumValue(key, index, name, nullptr, nullptr, nullptr) == os::error::Success;
         ++index) {
        names.push_back(name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Last Workspace", "Count", "100%"}));
    again.closeKey(key);

    EXPECT_EQ(again.openKey(os::hkey::CurrentUser, "Software\\Missing", 0, os::reg::KeyRead, key),
              os::error::FileNotFound);
    EXPECT_EQ(again.openKey(os::hkey::CurrentUser, "Software\\Velbrook\\Pastrix\\Deeper", 0,
                            os::reg::KeyRead, key),
              os::error::FileNotFound);
}

TEST_F(FileRegistryTest, HostileKeyNamesStayInsideTheRegistryDirectory) {
    FileRegistry registry(errors, config.string());
    const auto key = create(registry, os::hkey::CurrentUser, "..\\..\\etc\\x.key\\a/b");
    EXPECT_EQ(setText(registry, key, "v", "w"), os::error::Success);
    registry.closeKey(key);
    for (const std::string& file : filesBelow(config)) {
        EXPECT_EQ(file.rfind("pastrix/registry/HKEY_CURRENT_USER/", 0), 0U) << file;
        EXPECT_EQ(file.find("/../"), std::string::npos) << file;
    }
    EXPECT_EQ(read(registry, os::hkey::CurrentUser, "..\\..\\ETC\\X.KEY\\A/B", "v"),
              std::make_pair(os::reg::Sz, std::string("w\0", 2)));
}

TEST_F(FileRegistryTest, ACorruptKeyFileIsReportedAndKept) {
    FileRegistry registry(errors, config.string());
    const auto key = create(registry, os::hkey::CurrentUser, "Software\\Pastrix");
    EXPECT_EQ(setText(registry, key, "a", "b"), os::error::Success);
    registry.closeKey(key);
    const fs::path file =
        registry.keyFile(RegistryPath{os::hkey::CurrentUser, {"Software", "Pastrix"}});
    const std::vector<std::string> broken = {"",
                                             "garbage",
                                             "Pastrix registry key\nKey: x\nValue 1 :a :0G\n",
                                             "Pastrix registry key\nKey: x\nValue 1 a 00\n",
                                             "Pastrix registry key\nKey: x\nValue x :a :\n",
                                             "Pastrix registry key\nKey: x\nValue 1 :%4 :\n"};
    for (const std::string& content : broken) {
        std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
        os::RegistryKeyHandle opened = 0;
        EXPECT_EQ(registry.openKey(os::hkey::CurrentUser, "Software\\Pastrix", 0, os::reg::KeyRead,
                                   opened),
                  os::error::InvalidData)
            << content;
        const auto text = errors.messageText(os::error::InvalidData);
        ASSERT_TRUE(text.has_value());
        EXPECT_NE(text->find("The registry file '" + file.string() + "' is corrupt"),
                  std::string::npos)
            << *text;

        // Writing through a new handle fails too and leaves the file as it was.
        const auto again = create(registry, os::hkey::CurrentUser, "Software\\Pastrix");
        EXPECT_EQ(setText(registry, again, "c", "d"), os::error::InvalidData);
        registry.closeKey(again);
        EXPECT_EQ(contentOf(file), content);
    }
}

TEST_F(FileRegistryTest, TheRunKeyIsTheDesktopsAutostart) {
    FileRegistry registry(errors, config.string());
    const auto key = create(registry, os::hkey::LocalMachine, RunKey);
    ASSERT_EQ(setText(registry, key, "Pastrix", "\"/opt/my apps/pastrix\" -minimized"),
              os::error::Success);
    const fs::path entry = config / "autostart" / "Pastrix.desktop";
    EXPECT_EQ(contentOf(entry),
              "[Desktop Entry]\nType=Application\nName=Pastrix\n"
              "Exec=\"/opt/my apps/pastrix\" -minimized\nX-GNOME-Autostart-enabled=true\n");

    // A value of another type is no command; other keys make no entries.
    const unsigned char one[] = {1, 0, 0, 0};
    ASSERT_EQ(registry.setValue(key, "Flag", os::reg::Dword, one, 4), os::error::Success);
    const auto other = create(registry, os::hkey::CurrentUser, "Software\\Run");
    ASSERT_EQ(setText(registry, other, "Other", "/bin/true"), os::error::Success);
    registry.closeKey(other);
    EXPECT_EQ(filesBelow(config / "autostart"),
              (std::vector<std::string>{"autostart/Pastrix.desktop"}));

    // Turning the text into a number, or deleting it, takes the entry away.
    ASSERT_EQ(registry.setValue(key, "pastrix", os::reg::Dword, one, 4), os::error::Success);
    EXPECT_FALSE(fs::exists(entry));
    ASSERT_EQ(setText(registry, key, "Pastrix", "/usr/bin/pastrix"), os::error::Success);
    EXPECT_TRUE(fs::exists(entry));
    ASSERT_EQ(registry.deleteValue(key, "PASTRIX"), os::error::Success);
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_EQ(registry.deleteValue(key, "Pastrix"), os::error::FileNotFound);
    registry.closeKey(key);

    // The user's own run key works the same way.
    const auto user = create(registry, os::hkey::CurrentUser, RunKey);
    ASSERT_EQ(setText(registry, user, "../Evil", "/bin/evil"), os::error::Success);
    EXPECT_EQ(filesBelow(config / "autostart"),
              (std::vector<std::string>{"autostart/%2E.%2FEvil.desktop"}));
    registry.closeKey(user);
}

TEST_F(FileRegistryTest, ExecLinesQuoteAsDesktopEntriesRequire) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\"/usr/bin/pastrix\" -minimized", "/usr/bin/pastrix -minimized"},
        {"\"/opt/my apps/pastrix\"", "\"/opt/my apps/pastrix\""},
        {"\"/opt/a$b`c\\d/px\"", "\"/opt/a\\\\$b\\\\`c\\\\\\\\d/px\""},
        {"\"/opt/100%/px\" --rate=5%", "/opt/100%%/px --rate=5%%"},
        {"\"/opt/it's/px\" ''", "\"/opt/it's/px\" \"''\""},
        {"\"\"", "\"\""},
    };
    for (const auto& [command, exec] : cases) {
        EXPECT_EQ(FileRegistry::execLine(command), exec) << command;
    }
}

TEST_F(FileRegistryTest, TheConsolePlatformKeepsTheAutoStartEntryInTheUsersConfiguration) {
    ScopedVariable configHome("XDG_CONFIG_HOME", config.string());
    EXPECT_EQ(FileRegistry::userConfigurationDirectory(), config.string());
    {
        ScopedVariable relative("XDG_CONFIG_HOME", "relative/dir");
        ScopedVariable home("HOME", "/home/jo");
        EXPECT_EQ(FileRegistry::userConfigurationDirectory(), "/home/jo/.config");
    }

    os::posix::ConsolePlatform platform;
    windows::registry::RegistrySupport support(windows::registry::HKEY_LOCAL_MACHINE, RunKey,
                                               "Pastrix", "-minimized", "/opt/px/pastrix");
    EXPECT_FALSE(windows::registry::registryValueExists(windows::registry::HKEY_LOCAL_MACHINE,
                                                        RunKey, "Pastrix"));
    support.addToRegistry();
    EXPECT_TRUE(support.isRegistered());
    EXPECT_NE(contentOf(config / "autostart" / "Pastrix.desktop")
                  .find("\nExec=/opt/px/pastrix -minimized\n"),
              std::string::npos);
    support.removeFromRegistry();
    EXPECT_FALSE(fs::exists(config / "autostart" / "Pastrix.desktop"));
    EXPECT_FALSE(support.isRegistered());
}

}  // namespace
