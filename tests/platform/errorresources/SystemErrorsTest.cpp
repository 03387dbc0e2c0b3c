#include "os/ErrorCodes.h"
#include "os/Port.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/PlatformText.h"
#include "support/SimDesktopTest.h"

#include <set>

#include <gtest/gtest.h>

namespace {

using platform::errorresources::ErrorMapper;
using platform::errorresources::SystemErrors;

using SystemErrorsTest = testing_support::SimDesktopTest;

class OneCodeMapper final : public ErrorMapper {
public:
    bool find(int errorCode, std::string& text) const override {
        if (errorCode != 77777) {
            return false;
        }
        text = "Seven sevens.";
        return true;
    }
};

TEST_F(SystemErrorsTest, KnownCodesGetThePlatformsOwnText) {
#if !defined(_WIN32)
    EXPECT_EQ(SystemErrors::map(os::error::FileNotFound),
              "System error message: No such file or directory\n");
    EXPECT_EQ(SystemErrors::map(os::error::AlreadyExists), "System error message: File exists\n");
    EXPECT_EQ(SystemErrors::map(os::error::NoMoreFiles),
              "System error message: There are no more files.\n");
#else
    // The words depend on the Windows release and language: each code gets a line of the
    // system's own, ending as the system ends its texts, and no two codes share one.
    const std::string prefix = "System error message: ";
    std::set<std::string> texts;
    for (const int code :
         {os::error::FileNotFound, os::error::AlreadyExists, os::error::NoMoreFiles}) {
        const std::string text = SystemErrors::map(code);
        EXPECT_EQ(text.rfind(prefix, 0), 0U) << text;
        ASSERT_GT(text.size(), prefix.size() + 2) << code;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << text;
        EXPECT_EQ(text.find("was not found."), std::string::npos) << text;  // not the fallback
        EXPECT_EQ(text, prefix + os::errors().messageText(code).value_or("(none)")) << code;
        texts.insert(text);
    }
    EXPECT_EQ(texts.size(), 3U);
#endif
}

TEST_F(SystemErrorsTest, UnknownCodesGetTheFallbackSentence) {
    EXPECT_EQ(SystemErrors::map(99999),
              "System error message: The string representation of the error code [99999] was "
              "not found.\r\n");
    EXPECT_EQ(SystemErrors::map(-5),
              "System error message: The string representation of the error code [-5] was not "
              "found.\r\n");
}

TEST_F(SystemErrorsTest, FallbackMapperIsAskedOnlyForCodesTheSystemDoesNotKnow) {
    const OneCodeMapper mapper;
    EXPECT_EQ(SystemErrors::map(77777, &mapper), "System error message: Seven sevens.\r\n");
    EXPECT_EQ(SystemErrors::map(os::error::FileNotFound, &mapper),
              "System error message: " + testing_support::systemText(os::error::FileNotFound));
}

}  // namespace
