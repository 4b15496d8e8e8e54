// The control connection's replies as the server sends them: single and
// multi-line replies, and the size a SIZE reply gives.

#include "wininet/ResponseInfo.h"

#include <gtest/gtest.h>

namespace {

TEST(ReplyParse, SingleAndMultiLineReplies) {
  wininet::ReplyParser parser;
  EXPECT_TRUE(parser.Line("220 ready\r\n", ""));
  EXPECT_EQ(parser.Last().code, 220);
  EXPECT_FALSE(parser.Line("211-Features:\r\n", "FEAT"));
  EXPECT_FALSE(parser.Line(" SIZE\r\n", "FEAT"));
  EXPECT_TRUE(parser.Line("211 End\r\n", "FEAT"));
  EXPECT_EQ(parser.Last().text, "211-Features:\r\n SIZE\r\n211 End");
  EXPECT_EQ(parser.Last().command, "FEAT");
}

TEST(ReplyParse, SizeReplies) {
  struct Case {
    int code;
    const char* text;
    std::optional<std::uint64_t> size;
  };
  for (const Case& c :
       {Case{213, "213 8224", 8224}, Case{213, "213 0", 0}, Case{213, "213 18446744073709551615", UINT64_MAX},
        // Too large for any file: no size rather than a wrapped one.
        Case{213, "213 18446744073709551616", std::nullopt}, Case{213, "213 99999999999999999999999", std::nullopt},
        Case{213, "213 12ab", std::nullopt}, Case{550, "550 8224", std::nullopt}, Case{213, "213", std::nullopt}}) {
    wininet::FtpReply reply;
    reply.code = c.code;
    reply.text = c.text;
    EXPECT_EQ(wininet::SizeOfReply(reply), c.size) << c.text;
  }
}

}  // namespace
