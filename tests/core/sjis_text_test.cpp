#include "core/sjis_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

TEST(SjisText, DoubleByteTestAndCounting) {
  // 表 is 95 5C: its trail byte is the backslash code.
  EXPECT_EQ(IsSjisDoubleByte("表"), 1);
  EXPECT_EQ(IsSjisDoubleByte("\x95"), 0);  // lead byte before the NUL
  EXPECT_EQ(IsSjisDoubleByte("\\\\"), 0);

  struct Case {
    const char* text;
    int chars;
  };
  const Case cases[] = {
      {"表示\nab", 4}, {"表\\", 2}, {"\x81", 1}, {"\x81\x0a", 1}, {"", 0}, {"ｱｲ", 2},  // half-width kana: 1 byte each
  };
  for (const Case& c : cases) EXPECT_EQ(CountChars(c.text), c.chars) << c.text;
}

TEST(SjisText, FixStringLengthCutsAtTheFirstNul) {
  std::string s("abc\0def", 7);
  EXPECT_EQ(FixStringLength(s), 3);
  EXPECT_EQ(s, "abc");

  std::string big(6000, 'x');  // longer than any fixed buffer
  big[5500] = '\0';
  EXPECT_EQ(FixStringLength(big), 5500);
}

TEST(SjisText, SubStringClamps) {
  struct Case {
    int pos;
    int count;
    const char* part;
  };
  const Case cases[] = {
      {2, 3, "cde"},
      {-1, 3, "ab"},
      {7, 1, ""},
      {4, 10, "ef"},
      {0, 0, ""},
      {6, 1, ""},
      {-5, 3, ""},  // a negative count after the clamping gives nothing
      {INT_MIN, INT_MAX, ""},
      {1, INT_MAX, "bcdef"},
  };
  for (const Case& c : cases) {
    std::string s = "abcdef";
    EXPECT_EQ(SubString(s, c.pos, c.count), c.part) << c.pos << "," << c.count;
  }
  std::string withNul("ab\0cd", 5);
  EXPECT_EQ(SubString(withNul, 1, 5), "b");
  EXPECT_EQ(withNul, "ab");  // the caller sees the cut
}

TEST(SjisText, FormatNumber) {
  struct Case {
    int value;
    int width;
    bool zeroPad;
    bool plusSign;
    const char* text;
  };
  const Case cases[] = {
      {5, 3, false, false, "  5"},
      {5, 3, true, false, "005"},
      {-5, 3, true, false, "-005"},
      {-5, 3, false, false, "-  5"},
      {7, 0, false, true, "+7"},
      {0, 0, false, true, "+0"},
      {0, 3, false, false, "  0"},
      {123, 2, true, false, "23"},  // the last width digits
      {INT_MIN, 0, false, false, "-2147483648"},
      {1234, -1, false, false, "1234"},
  };
  for (const Case& c : cases) {
    std::string out = "old";
    FormatNumber(out, c.value, c.width, c.zeroPad, c.plusSign);
    EXPECT_EQ(out, c.text) << c.value << " width " << c.width;
  }
}

std::string s_itemText;
std::string s_setText;
bool GetItem(HWND, int nID, std::string* pText) {
  if (nID != 1) return false;
  *pText = s_itemText;
  return true;
}
bool SetItem(HWND, int, const char* text) {
  s_setText = text;
  return true;
}

// Installs the dialog item functions for one test and takes them away at its end.
struct ScopedDialogItemFunctions {
  ScopedDialogItemFunctions() { SetDlgItemTextFunctions(&GetItem, &SetItem); }
  ~ScopedDialogItemFunctions() { SetDlgItemTextFunctions(nullptr, nullptr); }
};

TEST(SjisText, DialogItemTextIsClampedAndNeverHalfACharacter) {
  std::string str = "old";
  SetDlgItemTextFunctions(nullptr, nullptr);
  GetDlgItemString(nullptr, 1, str, 100);
  EXPECT_EQ(str, "");  // no dialog framework: empty

  ScopedDialogItemFunctions items;
  s_itemText = std::string(6000, 'x');
  GetDlgItemString(nullptr, 1, str, 100000);
  EXPECT_EQ(str.size(), 5119u);

  s_itemText = "表示a";
  GetDlgItemString(nullptr, 1, str, 4);  // 3 bytes: 示 would be cut
  EXPECT_EQ(str, "表");
  GetDlgItemString(nullptr, 1, str, 6);
  EXPECT_EQ(str, "表示a");
  GetDlgItemString(nullptr, 2, str, 6);  // no such item
  EXPECT_EQ(str, "");

  SetDlgItemString(nullptr, 1, std::string());
  EXPECT_EQ(s_setText, "");
  SetDlgItemString(nullptr, 1, "名前");
  EXPECT_EQ(s_setText, "名前");
}

}  // namespace
