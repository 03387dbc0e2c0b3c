#include "os/ErrorCodes.h"
#include "platform/errorresources/SystemErrors.h"
#include "support/SimDesktopTest.h"

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
    EXPECT_EQ(SystemErrors::map(os::error::FileNotFound),
              "System error message: No such file or directory\n");
    EXPECT_EQ(SystemErrors::map(os::error::AlreadyExists), "System error message: File exists\n");
    EXPECT_EQ(SystemErrors::map(os::error::NoMoreFiles),
              "System error message: There are no more files.\n");
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
              "System error message: No such file or directory\n");
}

}  // namespace
