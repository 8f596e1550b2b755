#include "platform/text_codec.h"

#include <gtest/gtest.h>

#include <string>

#include "utf8_literal.h"

namespace t4::platform {
namespace {

using t4::test::Utf8;

TEST(SjisBytes, LeadAndTrailRanges) {
  struct Case {
    unsigned char byte;
    bool lead;
    bool trail;
  };
  const Case cases[] = {
      {0x3F, false, false}, {0x40, false, true}, {0x5C, false, true},  {0x7E, false, true},  {0x7F, false, false},
      {0x80, false, true},  {0x81, true, true},  {0x9F, true, true},   {0xA0, false, true},  {0xDF, false, true},
      {0xE0, true, true},   {0xFC, true, true},  {0xFD, false, false}, {0xFF, false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSjisLeadByte(c.byte), c.lead) << std::hex << int(c.byte);
    EXPECT_EQ(IsSjisTrailByte(c.byte), c.trail) << std::hex << int(c.byte);
  }
}

TEST(SjisBytes, PairNeedsBothBytes) {
  const std::string text =
      "\x95\x5C"
      "a\x81";  // "表" (trail 0x5C), 'a', a cut lead byte
  EXPECT_TRUE(IsSjisPairAt(text, 0));
  EXPECT_FALSE(IsSjisPairAt(text, 1));
  EXPECT_FALSE(IsSjisPairAt(text, 2));  // 'a' is no lead byte
  EXPECT_FALSE(IsSjisPairAt(text, 3));  // lead byte at the end
}

TEST(TextCodec, ConvertsBothWays) {
  const std::string sjis = "表示エラー～";
  ASSERT_EQ(sjis.substr(0, 2), "\x95\x5C");
  EXPECT_EQ(Cp932ToUtf8(sjis), Utf8(u8"表示エラー～"));
  EXPECT_EQ(Utf8ToCp932(Utf8(u8"表示エラー～")), sjis);
  EXPECT_EQ(Cp932ToUtf8("data\\a~b"), "data\\a~b");  // ASCII, backslash included, unchanged
  EXPECT_EQ(Cp932ToUtf8(""), "");
}

TEST(TextCodec, InvalidInputGivesNothing) {
  EXPECT_EQ(Cp932ToUtf8("ab\x81"), std::nullopt);              // cut double-byte character
  EXPECT_EQ(Cp932ToUtf8("\x81\x20"), std::nullopt);            // lead byte without a trail byte
  EXPECT_EQ(Utf8ToCp932("\xC3"), std::nullopt);                // cut UTF-8 sequence
  EXPECT_EQ(Utf8ToCp932(Utf8(u8"\U0001F600")), std::nullopt);  // no CP932 form
  // A failure leaves the converter usable for the next text.
  EXPECT_EQ(Cp932ToUtf8("表"), Utf8(u8"表"));
}

TEST(TextCodec, LossyFormsMarkWhatCannotBeConverted) {
  EXPECT_EQ(Cp932ToUtf8Lossy("表a\x81"), Utf8(u8"表a?"));  // a cut character at the end
  EXPECT_EQ(Utf8ToCp932Lossy(Utf8(u8"a\U0001F600表")), "a?表");
  EXPECT_EQ(Utf8ToCp932Lossy("\xC3"), "?");
}

}  // namespace
}  // namespace t4::platform
