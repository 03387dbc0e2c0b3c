#include "os/ErrorCodes.h"
#include "os/posix/PosixErrors.h"

#include <cerrno>

#include <gtest/gtest.h>

namespace {

using os::posix::PosixErrors;

TEST(PosixErrorsTest, CodesSurviveTheTripThroughErrno) {
    PosixErrors errors;
    for (const int code : {os::error::Success, os::error::FileNotFound, os::error::AccessDenied,
                           os::error::AlreadyExists, os::error::NoMoreFiles,
                           os::error::InvalidWindowHandle, os::error::NativeCodeBit | EIO}) {
        SCOPED_TRACE(code);
        errors.setLastError(code);
        EXPECT_EQ(errors.lastError(), code);
        if (code != os::error::Success) {
            EXPECT_TRUE(errors.messageText(code).has_value());
        }
    }
}

TEST(PosixErrorsTest, NativeFailuresTranslateToTheProgramsCodes) {
    PosixErrors errors;
    errno = EEXIST;
    EXPECT_EQ(errors.lastError(), os::error::AlreadyExists);
    errno = EPERM;
    EXPECT_EQ(errors.lastError(), os::error::AccessDenied);
    errno = EIO;  // no counterpart: kept, marked as native
    EXPECT_EQ(errors.lastError(), os::error::NativeCodeBit | EIO);
    EXPECT_EQ(*errors.messageText(os::error::NativeCodeBit | EIO), "Input/output error\n");
    EXPECT_FALSE(errors.messageText(123456).has_value());
    EXPECT_FALSE(errors.messageText(os::error::NativeCodeBit | 9999).has_value());
}

}  // namespace
