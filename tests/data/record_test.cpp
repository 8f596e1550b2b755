#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "data/record.h"
#include "data_test_util.h"
#include "support/file_size_limit.h"
#include "support/scoped_value.h"
#include "support/temp_dir.h"

using t4::test::LeWriter;
using t4::test::LoadBody;
using t4::test::SaveBody;

namespace {

// A record with every member width, an array, a member dropped at 500, one added at 600 and an
// unregistered list.
class cTestRecord : public cRecord {
 public:
  cTestRecord() {
    Register(DATA_VERSION);
    Clear();
  }
  void Register(int v) override {
    ClearMemberTables();
    AddMember1(&m_cByte, 1);
    AddMember2(&m_sShort, 1);
    AddMember4(m_nArray, 3);
    if (v < 500) AddMember4(&g_nDummyMember, 1);
    if (v >= 600) AddMember8(&m_dLate, 1);
    AddString(&m_strA);
    if (v >= 600) AddString(&m_strB);
  }

  int8_t m_cByte = 0;
  int16_t m_sShort = 0;
  int32_t m_nArray[3] = {0, 0, 0};
  double m_dLate = 0;
  std::string m_strA;
  std::string m_strB;
  cSafeVector<int32_t> m_List;
};

cTestRecord Filled() {
  cTestRecord r;
  r.m_cByte = -5;
  r.m_sShort = 0x1234;
  r.m_nArray[0] = 1;
  r.m_nArray[1] = -2;
  r.m_nArray[2] = 0x7FFFFFFF;
  r.m_dLate = 2.5;
  r.m_strA = "ab";
  r.m_strB = "";
  r.m_List = {7, 8};
  return r;
}

void ExpectSameMembers(const cTestRecord& a, const cTestRecord& b) {
  EXPECT_EQ(a.m_cByte, b.m_cByte);
  EXPECT_EQ(a.m_sShort, b.m_sShort);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(a.m_nArray[i], b.m_nArray[i]);
  EXPECT_EQ(a.m_dLate, b.m_dLate);
  EXPECT_EQ(a.m_strA, b.m_strA);
  EXPECT_EQ(a.m_strB, b.m_strB);
}

TEST(RecordBase, SavesTheDocumentedBytesAndReadsThemBackIdentically) {
  t4::test::TempDir dir;
  std::string path = (dir.Path() / "r.dat").string();
  cTestRecord original = Filled();
  ASSERT_EQ(original.SaveToFile(path.c_str()), 1);

  std::string expected = LeWriter()
                             .I32(902)
                             .I32(4)
                             .U8(0xFB)
                             .I16(0x1234)
                             .I32(1)
                             .I32(-2)
                             .I32(0x7FFFFFFF)
                             .F64(2.5)
                             .I32(2)
                             .Raw(std::string("\x03\x00\x00\x00"
                                              "ab\0",
                                              7))
                             .Raw(std::string("\x01\x00\x00\x00", 4))
                             .Bytes();
  EXPECT_EQ(dir.ReadFile("r.dat"), expected);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  cTestRecord loaded;
  ASSERT_EQ(loaded.LoadFromFile(path.c_str()), 1);
  ExpectSameMembers(loaded, original);
  ASSERT_EQ(loaded.SaveToFile(path.c_str()), 1);
  EXPECT_EQ(dir.ReadFile("r.dat"), expected);
}

TEST(RecordBase, StringsAreCutAtNulAndLoseCarriageReturns) {
  cTestRecord r;
  r.m_strA = std::string("x\0y", 3);
  std::string body = SaveBody(r);
  EXPECT_EQ(r.m_strA, "x");  // the text in memory is cut too

  // Long texts (code, messages) pass whole, with no fixed-size buffer on the way.
  cTestRecord longText;
  longText.m_strA.assign(70000, 'c');
  longText.m_strA.back() = 'z';
  cTestRecord longLoaded;
  ASSERT_EQ(LoadBody(longLoaded, 902, SaveBody(longText)), 1);
  EXPECT_EQ(longLoaded.m_strA, longText.m_strA);

  cTestRecord crlf;
  std::string stored =
      t4::test::LayoutBody({{1, 1, 0}, {2, 1, 0}, {4, 3, 0}, {8, 1, 0}}, 902, {}, {"a\r\nb", ""}).Bytes();
  ASSERT_EQ(LoadBody(crlf, 902, stored), 1);
  EXPECT_EQ(crlf.m_strA, "a\nb");

  {
    t4::test::ScopedValue<int32_t> keepCR(g_bStripCR, 0);
    ASSERT_EQ(LoadBody(crlf, 902, stored), 1);
  }
  EXPECT_EQ(crlf.m_strA, "a\r\nb");
}

TEST(RecordBase, OlderLayoutsLeaveLaterMembersAndConsumeDroppedOnes) {
  struct Case {
    int version;
    bool hasDummy;
  };
  for (Case c : {Case{499, true}, Case{500, false}}) {
    SCOPED_TRACE(c.version);
    LeWriter body;
    body.I32(c.hasDummy ? 4 : 3).U8(9).I16(-3).I32(4).I32(5).I32(6);
    if (c.hasDummy) body.I32(0x55555555);
    body.I32(1).Str("old");

    cTestRecord r = Filled();
    bool consumed = false;
    ASSERT_EQ(LoadBody(r, c.version, body.Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(r.m_cByte, 9);
    EXPECT_EQ(r.m_nArray[2], 6);
    EXPECT_EQ(r.m_dLate, 2.5);  // not in the file: kept
    EXPECT_EQ(r.m_strA, "old");
    // The tables describe the current layout again: the next save writes all of it.
    EXPECT_EQ(r.GetMemberCount(), 4);
  }
}

TEST(RecordBase, ClearCopyAndAssignment) {
  cTestRecord r = Filled();
  r.Clear();
  EXPECT_EQ(r.m_nArray[1], 0);
  EXPECT_EQ(r.m_nArray[2], 0);
  EXPECT_EQ(r.m_strA, "");
  EXPECT_EQ(r.m_List.size(), 2u);  // lists are not registered

  cTestRecord dst;
  dst.m_List = {1};
  dst.CopyMembersFrom(Filled());
  ExpectSameMembers(dst, Filled());
  EXPECT_EQ(dst.m_List.size(), 1u);

  cTestRecord src = Filled();
  cTestRecord assigned;
  assigned = src;
  assigned.m_nArray[0] = 99;
  assigned.m_strA = "changed";
  EXPECT_EQ(src.m_nArray[0], 1);
  cTestRecord expected = Filled();
  expected.m_nArray[0] = 99;
  expected.m_strA = "changed";
  EXPECT_EQ(SaveBody(assigned), SaveBody(expected));
}

TEST(DataFile, NewerFilesAreRefusedBeforeTheBody) {
  t4::test::ScopedRestore<int32_t> tooNew(g_bFileTooNew), fileVersion(g_nFileVersion);
  t4::test::TempDir dir;
  for (uint32_t version : {903u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(version);
    // The body is garbage: it must never be looked at.
    auto path = dir.WriteFile("new.dat", LeWriter().I32(version).I32(-1).Bytes()).string();
    cTestRecord r = Filled();
    g_bFileTooNew = 0;
    EXPECT_EQ(r.LoadFromFile(path.c_str()), 0);
    EXPECT_EQ(g_bFileTooNew, 1);
    EXPECT_EQ(g_nFileVersion, static_cast<int32_t>(version));
    ExpectSameMembers(r, Filled());
  }
  cTestRecord r;
  auto good = dir.WriteFile("good.dat", LeWriter().I32(902).Raw(SaveBody(r)).Bytes()).string();
  EXPECT_EQ(r.LoadFromFile(good.c_str()), 1);
  EXPECT_EQ(g_bFileTooNew, 0);
}

TEST(DataFile, MissingOrHeaderlessFilesFailWithoutTouchingTheFlags) {
  t4::test::ScopedRestore<int32_t> tooNew(g_bFileTooNew), fileVersion(g_nFileVersion);
  t4::test::TempDir dir;
  auto shortPath = dir.WriteFile("short.dat", "\x86\x03").string();
  std::string missing = (dir.Path() / "none.dat").string();
  for (const std::string& path : {missing, shortPath}) {
    g_bFileTooNew = 1;
    g_nFileVersion = 123;
    cTestRecord r;
    EXPECT_EQ(r.LoadFromFile(path.c_str()), 0);
    EXPECT_EQ(g_bFileTooNew, 1);
    EXPECT_EQ(g_nFileVersion, 123);
  }
}

TEST(DataFile, DamagedBodiesFailCleanly) {
  auto members = [] { return LeWriter().U8(1).I16(2).I32(3).I32(4).I32(5).F64(6); };
  struct Case {
    const char* name;
    std::string body;
    int expected;
  };
  const Case cases[] = {
      {"ends inside a member", LeWriter().I32(4).U8(1).I16(2).Bytes(), 0},
      {"ends before the string count", LeWriter().I32(4).Append(members()).Bytes(), 0},
      {"negative member count", LeWriter().I32(-1).Bytes(), 0},
      {"huge member count", LeWriter().I32(INT_MAX).Append(members()).Bytes(), 0},
      {"surplus member", LeWriter().I32(5).Append(members()).I32(7).I32(0).Bytes(), 0},
      {"negative string count", LeWriter().I32(4).Append(members()).I32(-2).Bytes(), 0},
      {"huge string count", LeWriter().I32(4).Append(members()).I32(INT_MAX).Bytes(), 0},
      {"surplus string", LeWriter().I32(4).Append(members()).I32(3).Str("a").Str("b").Str("c").Bytes(), 0},
      {"negative length", LeWriter().I32(4).Append(members()).I32(1).I32(-5).Bytes(), 0},
      {"huge length", LeWriter().I32(4).Append(members()).I32(1).I32(INT_MAX).Raw("abc").Bytes(), 0},
      {"length one past the end", LeWriter().I32(4).Append(members()).I32(1).I32(4).Raw("ab").Bytes(), 0},
      {"length zero is an empty text", LeWriter().I32(4).Append(members()).I32(1).I32(0).Bytes(), 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cTestRecord r;
    r.m_strA = "before";
    EXPECT_EQ(LoadBody(r, 902, c.body), c.expected);
    EXPECT_EQ(r.GetMemberCount(), 4);  // usable, current layout
    if (c.expected) {
      EXPECT_EQ(r.m_strA, "");
    }
  }
}

TEST(DataFile, SaveReplacesTheFileOnlyWhenComplete) {
  t4::test::TempDir dir;
  auto path = dir.WriteFile("keep.dat", "old").string();
  // The temporary file cannot be made: the save fails and the old file stays.
  std::filesystem::create_directory(path + ".tmp");
  cTestRecord r = Filled();
  EXPECT_EQ(r.SaveToFile(path.c_str()), 0);
  EXPECT_EQ(dir.ReadFile("keep.dat"), "old");
  std::filesystem::remove(path + ".tmp");

  std::string inMissingFolder = (dir.Path() / "no" / "such.dat").string();
  EXPECT_EQ(r.SaveToFile(inMissingFolder.c_str()), 0);

  EXPECT_EQ(r.SaveToFile(path.c_str()), 1);
  EXPECT_EQ(dir.ReadFile("keep.dat").substr(0, 4), std::string("\x86\x03\x00\x00", 4));
}

TEST(DataFile, FailedWriteKeepsTheOldFileAndReportsFailure) {
  // The disk "fills up" 16 bytes into the new file: a long text fails in the write itself (larger
  // than the stream buffer), a short record only when the buffer is flushed at close.
  struct Case {
    const char* name;
    size_t textBytes;
  };
  const Case cases[] = {{"write", 1 << 16}, {"flush at close", 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    t4::test::TempDir dir;
    const std::string old = "the old file, whole";
    auto path = dir.WriteFile("keep.dat", old).string();
    cTestRecord r = Filled();
    r.m_strA.assign(c.textBytes, 'x');
    {
      t4::test::ScopedFileSizeLimit full(16);
      ASSERT_TRUE(full.Active());
      EXPECT_EQ(r.SaveToFile(path.c_str()), 0);
    }
    EXPECT_EQ(dir.ReadFile("keep.dat"), old);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    // With room again the same save goes through.
    EXPECT_EQ(r.SaveToFile(path.c_str()), 1);
    EXPECT_EQ(dir.ReadFile("keep.dat"), std::string("\x86\x03\x00\x00", 4) + SaveBody(r));
  }
}

}  // namespace
