#include <errno.h>
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "batchuninst.h"

namespace {

TEST(ReportSystemErrorTest, WritesTheSystemTextOnALineOfItsOwn) {
  ::testing::internal::CaptureStderr();
  ReportSystemError(ENOENT);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), std::string(strerror(ENOENT)) + "\n");
}

TEST(ReportSystemErrorTest, NamesACodeThatHasNoText) {
  ::testing::internal::CaptureStderr();
  ReportSystemError(0xF0000000u);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "System error 4026531840 (the system has no text for it).\n");
}

TEST(ReportToolErrorTest, FormatsItsTextOnALineOfItsOwn) {
  ::testing::internal::CaptureStderr();
  ReportToolError("entry at byte %lu", 42ul);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "entry at byte 42\n");
}

}  // namespace
