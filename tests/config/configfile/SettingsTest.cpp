#include "config/configfile/CCSettings.h"
#include "config/configfile/ConfigLogicException.h"
#include "config/configfile/PXSettings.h"
#include "config/configfile/SupportSettings.h"
#include "config/configfile/SystemSettings.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "exceptions/NumberFormatException.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigException.h"
#include "util/config/ConfigImpl.h"

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace products::pastrix::config::configfile;
using util::config::ConfigImpl;

class RecordingErrorReporter final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string& message) override { errors.push_back(message); }
    std::vector<std::string> errors;
};

const char* const filterRangeText =
    "The filter key values are virtual key codes, and must be between 1 and 254.\n";

class SettingsTest : public testing_support::SimDesktopAssertionTest {
protected:
    SettingsTest() {
        writer.write("config.cfg",
                     "# settings\r\nCC_Enabled=TRUE\r\nPX_Enabled=1\r\nPX_SerializeLimit=100\r\n"
                     "PX_SerializeMethod=0\r\nPX_UseSmartSave=false\r\nPX_UseToolTip=true\r\n"
                     "PX_FilterKeys=EMPTY_KEY_VALUE\r\nSUPPORT_Version=1.2\r\n"
                     "SUPPORT_Support=EMPTY_KEY_VALUE\r\nSUPPORT_Homepage=https://pastrix.org/\r\n"
                     "SYSTEM_ActiveWorkspace=Default\r\nSYSTEM_StartAutomatically=0\r\n"
                     "SYSTEM_Enabled=true\r\n",
                     {});
        config = std::make_unique<ConfigImpl>("config.cfg", ConfigImpl::FromFile, reader, writer);
    }

    std::string stored() { return reader.read("config.cfg", 0); }

    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
    std::unique_ptr<ConfigImpl> config;
    RecordingErrorReporter reporter;
};

TEST_F(SettingsTest, ReadsTheFilterKeyListForms) {
    PXSettings px(*config, reporter);
    const std::vector<std::pair<std::string, std::vector<int>>> forms = {
        {"EMPTY_KEY_VALUE", {}}, {"65|66||67|", {65, 66, 67}}, {"|65", {65}}, {"65|0", {65, 0}},
        {"254", {254}},
    };
    for (const auto& [text, codes] : forms) {
        config->setString("PX_FilterKeys", text);
        EXPECT_EQ(px.getFilterKeys(), codes) << text;
    }
    config->setString("PX_FilterKeys", "65|x");
    try {
        px.getFilterKeys();
        FAIL() << "x was accepted";
    } catch (const exceptions::NumberFormatException& e) {
        EXPECT_EQ(e.getMessage(), "Error parsing the string [x] to an integer");
    }
}

TEST_F(SettingsTest, WritesTheFilterKeyListAndTheEmptyMarker) {
    PXSettings px(*config, reporter);
    px.setFilterKeys({65, 66, 67});
    EXPECT_EQ(config->getString("PX_FilterKeys"), "65|66|67");
    px.setFilterKeys({});
    EXPECT_EQ(config->getString("PX_FilterKeys"), "EMPTY_KEY_VALUE");
    SystemSettings system(*config, reporter);
    system.setActiveWorkspace("");
    EXPECT_EQ(config->getString("SYSTEM_ActiveWorkspace"), "EMPTY_KEY_VALUE");
    EXPECT_EQ(system.getActiveWorkspace(), "");
    // The edits keep the file's own line breaks.
    EXPECT_NE(config->getConfigText().find("SYSTEM_ActiveWorkspace=EMPTY_KEY_VALUE\r\n"),
              std::string::npos);
}

TEST_F(SettingsTest, ValidateRefusesFilterKeysOutsideTheVirtualKeyRange) {
    PXSettings px(*config, reporter);
    for (const std::vector<int>& codes : {std::vector<int>{65, 0}, std::vector<int>{255}}) {
        px.setFilterKeys(codes);
        try {
            px.validate();
            ADD_FAILURE() << config->getString("PX_FilterKeys") << " was accepted";
        } catch (const ConfigLogicException& e) {
            EXPECT_EQ(e.getMessage(), filterRangeText);
        }
    }
    // A negative code is stored in its unsigned form, which no key code reaches.
    px.setFilterKeys({-1});
    EXPECT_EQ(config->getString("PX_FilterKeys"), "4294967295");
    EXPECT_THROW(px.validate(), exceptions::Exception);
    px.setFilterKeys({1, 254});
    EXPECT_NO_THROW(px.validate());
}

TEST_F(SettingsTest, AFailingValidationShowsTheErrorAndLeavesTheFileUntouched) {
    const std::string before = readFile("config.cfg");
    PXSettings px(*config, reporter);
    px.setFilterKeys({65, 0});
    px.save();
    EXPECT_EQ(reporter.errors, std::vector<std::string>{filterRangeText});
    EXPECT_EQ(readFile("config.cfg"), before);
    EXPECT_EQ(config->getString("PX_FilterKeys"), "65|0");

    config->setString("PX_FilterKeys", "65|x");
    px.save();
    ASSERT_EQ(reporter.errors.size(), 2u);
    EXPECT_EQ(reporter.errors[1], "Error parsing the string [x] to an integer");
    EXPECT_EQ(readFile("config.cfg"), before);
}

TEST_F(SettingsTest, SavingAnyGroupWritesTheWholeFile) {
    CCSettings cc(*config, reporter);
    SystemSettings system(*config, reporter);
    PXSettings px(*config, reporter);
    cc.setEnabled(false);
    system.setActiveWorkspace("Work");
    px.setSerializeLimit(5242880);
    SupportSettings(*config, reporter).save();
    EXPECT_TRUE(reporter.errors.empty());
    const ConfigImpl saved("config.cfg", ConfigImpl::FromFile, reader, writer);
    EXPECT_EQ(saved.getString("CC_Enabled"), "false");
    EXPECT_EQ(saved.getString("SYSTEM_ActiveWorkspace"), "Work");
    EXPECT_EQ(saved.getInt("PX_SerializeLimit"), 5242880);
    EXPECT_EQ(stored().rfind("# settings\r\nCC_Enabled=false\r\n", 0), 0u);
}

TEST_F(SettingsTest, AWriteFailureIsShownAndNotThrown) {
    std::filesystem::remove(path("config.cfg"));
    std::filesystem::create_directory(path("config.cfg"));
    CCSettings cc(*config, reporter);
    EXPECT_NO_THROW(cc.save());
    ASSERT_EQ(reporter.errors.size(), 1u);
    EXPECT_EQ(
        reporter.errors[0].rfind("An error occured when trying to open the file for writing.", 0),
        0u);
}

class ThrowingWriter final : public io::file::FileWriter {
public:
    void write(const std::string&, const std::string&, std::ios_base::openmode) override {
        throw std::runtime_error("disk on fire");
    }
};

TEST_F(SettingsTest, AnUnexpectedFailureIsShownWithTheFixedText) {
    ThrowingWriter throwing;
    ConfigImpl other("CC_Enabled=true\n", ConfigImpl::FromText, reader, throwing);
    CCSettings cc(other, reporter);
    EXPECT_NO_THROW(cc.save());
    EXPECT_EQ(reporter.errors,
              std::vector<std::string>{"An unexpected exception occrured trying to save the config "
                                       "file. Please contact Velbrook."});
}

TEST_F(SettingsTest, AMissingKeyReachesTheCaller) {
    config->removeKey("PX_UseToolTip");
    PXSettings px(*config, reporter);
    EXPECT_THROW(px.getUseToolTip(), util::config::KeyDoesNotExistException);
}

}  // namespace
