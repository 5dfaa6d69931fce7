#include <gtest/gtest.h>

#include "platform/FaultInjection.h"
#include "platform/TextMode.h"
#include "tests/support/TempDir.h"

namespace {

TEST(TextMode, EveryLineFeedBecomesCrLf) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"", ""},
        {"no break", "no break"},
        {"a\nb\n", "a\r\nb\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"already\r\n", "already\r\r\n"},  // as a text-mode write on Windows
        {"lone\rcr", "lone\rcr"},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::ToCrLf(c.text), c.expected) << c.text;
}

TEST(TextMode, AppendTextCreatesThenAppends) {
    TempDir dir;
    const std::string log = dir.file("dormant.log");
    ASSERT_TRUE(platform::AppendText(log, "first\n"));
    ASSERT_TRUE(platform::AppendText(dir.file("DORMANT.LOG"), "second\n"));
    EXPECT_EQ(ReadBytes(log), "first\r\nsecond\r\n");
#ifndef _WIN32  // on Windows both spellings name the one file
    EXPECT_FALSE(Exists(dir.file("DORMANT.LOG")));
#endif
    EXPECT_FALSE(platform::AppendText(dir.file("missing/dormant.log"), "x\n"));
    EXPECT_FALSE(platform::AppendText(dir.path().string(), "x\n"));

    platform::fault::FailAt(platform::fault::Step::Write, 1);
    EXPECT_FALSE(platform::AppendText(log, "third\n"));
    platform::fault::Reset();
    EXPECT_EQ(ReadBytes(log), "first\r\nsecond\r\n");
}

}  // namespace
