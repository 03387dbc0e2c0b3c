#include "config/configfile/CCSettings.h"
#include "config/configfile/PXSettings.h"
#include "config/configfile/SupportSettings.h"
#include "config/configfile/SystemSettings.h"
#include "encryption/simple/XORFileReader.h"
#include "encryption/simple/XORFileWriter.h"
#include "platform/ProductInfo.h"
#include "support/SimDesktopTest.h"
#include "util/config/ConfigImpl.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using namespace products::pastrix::config::configfile;

class NoErrors final : public windows::reporter::ErrorReporter {
public:
    void showError(const std::string& message) override { ADD_FAILURE() << message; }
};

class ShippedConfigTest : public testing_support::SimDesktopTest {
protected:
    encryption::simple::XORFileReader reader;
    encryption::simple::XORFileWriter writer;
    util::config::ConfigImpl config{std::string(PASTRIX_PROGRAM_DIR) + "/config.cfg",
                                    util::config::ConfigImpl::FromFile, reader, writer};
    NoErrors reporter;
};

TEST_F(ShippedConfigTest, EverySettingIsPresentWithTheShippedValue) {
    const CCSettings cc(config, reporter);
    PXSettings px(config, reporter);
    const SupportSettings support(config, reporter);
    const SystemSettings system(config, reporter);
    EXPECT_TRUE(cc.isEnabled());
    EXPECT_TRUE(px.isEnabled());
    EXPECT_EQ(px.getSerializeLimit(), 5000000);
    EXPECT_EQ(px.getSerializeMethod(), 0);
    EXPECT_TRUE(px.getUseSmartSave());
    EXPECT_TRUE(px.getUseToolTip());
    EXPECT_EQ(px.getFilterKeys(), (std::vector<int>{65, 67, 86, 88, 89, 90}));
    EXPECT_NO_THROW(px.validate());
    EXPECT_EQ(support.getVersion(), PASTRIX_VERSION);
    EXPECT_EQ(support.getSupport(), platform::SupportAddress);
    EXPECT_EQ(support.getHomepage(), platform::Homepage);
    EXPECT_EQ(system.getActiveWorkspace(), "Default");
    EXPECT_FALSE(system.getStartAutomatically());
    EXPECT_TRUE(system.isEnabled());

    EXPECT_TRUE(config.getBool("util.newsletter.SimpleSignUp.askForEmailAddress"));
    EXPECT_EQ(config.getInt("util.newsletter.SimpleSignUp.askFrequency"), 9);
    EXPECT_EQ(config.getInt("util.newsletter.SimpleSignUp.counter"), 0);
    EXPECT_EQ(
        config.getString("util.newsletter.SimpleSignUp.signUpUrl").rfind(platform::Homepage, 0),
        0u);
    EXPECT_EQ(config.getKeyCount(), 17);
}

TEST_F(ShippedConfigTest, TheActiveWorkspaceShipsAsAnEmptyDirectory) {
    const std::filesystem::path workspace = std::filesystem::path(PASTRIX_PROGRAM_DIR) / "Default";
    EXPECT_TRUE(std::filesystem::is_directory(workspace));
}

}  // namespace
