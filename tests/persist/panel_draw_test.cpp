// The panels the records draw: text lists, the ranking table, the stage result panel and the
// story slot list, with the fixed-metric face (a single-byte glyph is a solid box from x + 2 to
// x + 9 of its 16-dot cell, a double-byte one fills the cell).
#include <string>
#include <vector>

#include "data/stage_file.h"
#include "support/draw_fixture.h"
#include "persist/panel_font.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "platform/text/fixed_face.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

constexpr uint32_t INK = 0x20C0FF;
constexpr uint32_t FRAME = 0xFFFF00;
constexpr uint32_t BOX = 0x808080;
constexpr uint32_t MARKER = 0x00FF00;

class PanelDrawTest : public DrawTest {
 protected:
  void SetUp() override {
    DrawTest::SetUp();
    SetPal(240, FRAME);
    SetPal(241, INK);
    LoadPicture(&box, "box.bmp", 400, 400, [](int, int) { return BOX; });
    // Symbol cells a-z in blue, so a name drawn as symbols would show.
    LoadPicture(&symbols, "symbol.bmp", 16 * 26, 16, [](int, int) { return 0x0000FFu; });
    LoadPicture(&g_SurfaceTable[IMAGE_ACCESSORY], "accessory.bmp", 64, 64,
                [](int x, int y) { return x >= 16 && x < 32 && y >= 48 ? MARKER : 0xFF0000u; });
    ASSERT_TRUE(PanelFont().Create("ＭＳ ゴシック", 0, 16, 16, 16, 241, &box, 1, 240, &symbols, 0));
    faces.rendered.clear();
  }
  void TearDown() override {
    PanelFont().Release();
    DDReleaseSurface(&box);
    DDReleaseSurface(&symbols);
    DDReleaseSurface(&g_SurfaceTable[IMAGE_ACCESSORY]);
    g_SystemData = systemData;
    g_SaveData = saveData;
    g_Stage.m_RankingKinds = stageKinds;
    g_SystemIni = systemIni;
  }

  bool Is(int x, int y, uint32_t rgb) { return Near(At(x, y), rgb); }
  // The first inked column of row y in [x0, x0 + span), or -1.
  int FirstInk(int x0, int y, int span = 64) {
    for (int x = x0; x < x0 + span; ++x)
      if (Is(x, y, INK)) return x;
    return -1;
  }
  // Everything the face rendered since the last call, as Shift-JIS bytes.
  std::string Rendered() {
    std::string out;
    for (auto code : faces.rendered) {
      if (code > 255) out += static_cast<char>(code >> 8);
      out += static_cast<char>(code & 255);
    }
    faces.rendered.clear();
    return out;
  }
  void Clear() { DDClear(&BackBuffer, lpDTCon ? 0xFF000000 : 0); }

  t4::platform::text::FixedMetricRasterizer faces;
  t4::platform::text::ScopedRasterizer installedFaces{faces};
  DDSURFACEDATA box, symbols;
  const cSystemData systemData = g_SystemData;
  const cSaveData saveData = g_SaveData;
  const cSafeVector<int32_t> stageKinds = g_Stage.m_RankingKinds;
  const cSystemIni systemIni = g_SystemIni;
  ScopedRestore<int32_t> freeStart{g_bFreeStageStart};
  // The ranking table turns symbol cells on; every other panel starts with them off.
  ScopedValue<int32_t> fontSymbols{PanelFont().m_bSymbols, 0};
};

TEST_P(PanelDrawTest, TextListIsOneBoxWithACursorCell) {
  g_SystemData.m_Texts.At(10) = "AB";
  g_SystemData.m_Texts.At(11) = "あいう";
  struct Case {
    bool cursor;
    int right;    // first column right of the frame
    int firstAB;  // first inked column of "AB"
  };
  for (const Case& c : {Case{true, 100 + 64 + 1, 118}, Case{false, 100 + 48 + 1, 102}}) {
    Clear();
    DrawTextList(100, 200, 10, 2, c.cursor);
    EXPECT_TRUE(Is(99, 199, FRAME)) << c.cursor;
    EXPECT_TRUE(Is(c.right - 1, 232, FRAME)) << c.cursor;
    EXPECT_EQ(At(c.right, 232), 0u) << c.cursor;
    EXPECT_EQ(At(120, 233), 0u) << "two lines high";
    EXPECT_EQ(FirstInk(100, 205), c.firstAB) << c.cursor;
    EXPECT_EQ(FirstInk(100, 221), c.firstAB - 2) << c.cursor;  // the double-byte line
  }

  // Project texts are drawn as they stand; a count of 0 draws nothing.
  g_SystemData.m_Texts.At(12) = "100%d%s";
  Rendered();
  DrawTextList(300, 300, 12, 1, false);
  EXPECT_EQ(Rendered(), "100%d%s");
  Clear();
  DrawTextList(100, 200, 10, 0, true);
  EXPECT_EQ(At(99, 199), 0u);
  EXPECT_EQ(At(105, 205), 0u);
  EXPECT_TRUE(Rendered().empty());
}

TEST_P(PanelDrawTest, RankingTableRowsValuesMarkerAndHint) {
  g_SystemData.m_bFontSymbols = 1;
  PanelFont().m_bSymbols = 1;
  g_SystemData.m_Texts.At(5) = "SCORE";
  g_SystemData.m_Texts.At(7) = "TIME";
  g_SystemData.m_Texts.At(25) = "ABCD";
  cRankingRule& rule = g_SystemData.m_RankingRules.At(GAME_MODE_CHALLENGE);
  rule.m_bEnabled = 1;
  rule.m_Kinds = {1, 1, 1, 0, 0};
  cRanking ranking;
  cRankingList& scores = ranking.m_Lists.At(0);
  scores.Insert("abc", 500);
  scores.Insert("ABC", 300);
  scores.Insert("X", 7);
  ranking.m_Lists.At(2).Insert("Z", 12345);

  const int x = 100, y = 60;
  ranking.Draw(&BackBuffer, x, y, 0, 1, GAME_MODE_CHALLENGE);
  EXPECT_TRUE(Is(x, y + 351, FRAME));
  EXPECT_TRUE(Is(x + 271, y + 351, FRAME));  // box of 270 x 350 from (x + 1, y + 1)
  EXPECT_EQ(At(x + 272, y + 351), 0u);
  // Title: five double-byte characters and four blanks before the label.
  EXPECT_TRUE(Is(x + 5, y + 5, INK));
  EXPECT_EQ(FirstInk(x + 80, y + 8, 100), x + 144 + 2);
  // Rank, name and value (right-aligned to the widest, row 0's three digits) on each valid row.
  struct Row {
    int line, rank, name, value;
  };
  for (const Row& r : {Row{0, 118, 166, 246}, Row{1, 118, 166, 246}, Row{2, 118, 166, 278}}) {
    const int ly = y + 16 * (r.line + 1) + 8;
    EXPECT_EQ(FirstInk(x + 4, ly, 40), r.rank) << r.line;
    EXPECT_EQ(FirstInk(x + 64, ly, 16), r.name) << r.line;
    EXPECT_EQ(FirstInk(x + 112, ly, 100), r.value) << r.line;
  }
  EXPECT_EQ(FirstInk(x + 4, y + 16 * 4 + 8, 250), -1) << "invalid rows stay blank";
  EXPECT_TRUE(Is(x + 3, y + 32 + 3, MARKER)) << "highlighted row 1";
  EXPECT_FALSE(Is(x + 3, y + 16 + 3, MARKER));
  EXPECT_EQ(FirstInk(x + 100, y + 336 + 8), x + 104 + 2) << "hint centred on x + 136";

  // Names keep their letters while the font draws symbol cells; the clear time is formatted;
  // a mode with one kind shows no hint; English titles.
  Clear();
  rule.m_Kinds = {0, 0, 1, 0, 0};
  g_SystemIni.m_nEnglish = 1;
  ranking.Draw(&BackBuffer, x, y, 2, -1, GAME_MODE_CHALLENGE);
  EXPECT_EQ(FirstInk(x + 112, y + 8, 100), x + 192 + 2) << "seven letters, five blanks";
  EXPECT_NE(Rendered().find("TIME1Z02:03.45"), std::string::npos);
  EXPECT_EQ(FirstInk(x + 112, y + 16 + 8, 40), x + 144 + 2);
  EXPECT_EQ(FirstInk(x + 20, y + 336 + 8, 200), -1);
  EXPECT_FALSE(Is(x + 3, y + 16 + 3, MARKER));
  Clear();
  ranking.Draw(&BackBuffer, x, y, 0, -1, GAME_MODE_CHALLENGE);
  EXPECT_NE(Rendered().find("abc"), std::string::npos);
  EXPECT_TRUE(Is(x + 64 + 4, y + 16 + 8, INK));

  // A kind without a table (a damaged save) draws nothing.
  Clear();
  Rendered();
  ranking.Draw(&BackBuffer, x, y, 7, -1, GAME_MODE_CHALLENGE);
  ranking.Draw(&BackBuffer, x, y, -1, -1, GAME_MODE_CHALLENGE);
  EXPECT_EQ(At(x + 5, y + 5), 0u);
  EXPECT_EQ(At(x, y + 351), 0u) << "no frame";
  EXPECT_EQ(At(x + 271, y + 351), 0u);
  EXPECT_TRUE(Rendered().empty());
}

TEST_P(PanelDrawTest, StageResultShowsTheKindsOfStageAndRule) {
  const char* labels[] = {"SCORE", "REST", "TIME", "HP", "SP"};
  for (int k = 0; k < 5; ++k) g_SystemData.m_Texts.At(5 + k) = labels[k];
  g_SystemData.m_RankingRules.At(GAME_MODE_CHALLENGE).m_Kinds = {1, 0, 1, 1, 1};
  g_Stage.m_RankingKinds = {1, 1, 1, 0, 1};
  g_SaveData.m_nResultScore = 12345;
  g_SaveData.m_nResultTime = 99;
  g_SaveData.m_nResultClearTime = 6000;
  g_SaveData.m_nResultSp = 7;
  g_bFreeStageStart = 0;

  // Kinds 0, 2 and 4: labels of 5 cells at most, values of 8 (the clear time) at most.
  const int x = 100, y = 100;
  DrawStageResult(&BackBuffer, x, y, {0, -1, 3, -1, -1}, GAME_MODE_CHALLENGE);
  const int w = (8 + 5 + 3) * 16;
  EXPECT_TRUE(Is(x - 1, y - 1, FRAME));
  EXPECT_TRUE(Is(x + w, y + 48, FRAME));
  EXPECT_EQ(At(x + w + 1, y + 48), 0u);
  EXPECT_EQ(At(x + 20, y + 49), 0u) << "three lines high";
  for (int line = 0; line < 3; ++line) {
    EXPECT_EQ(FirstInk(x + 4, y + 16 * line + 8, 40), x + 18) << line;
    EXPECT_EQ(FirstInk(x + 100, y + 16 * line + 8, 40), x + 32 + 80 + 2) << line;
  }
  EXPECT_EQ(Rendered(), "SCORE12345TIME01:00.00SP7");
  EXPECT_TRUE(Is(x + 3, y + 3, MARKER));
  EXPECT_TRUE(Is(x + 3, y + 16 + 3, MARKER));
  EXPECT_TRUE(Is(x + 3, y + 32 + 3, BOX));

  // A stage started from a file shows every kind the stage itself keeps.
  Clear();
  g_bFreeStageStart = 1;
  DrawStageResult(&BackBuffer, x, y, {}, GAME_MODE_CHALLENGE);
  EXPECT_EQ(Rendered(), "SCORE12345REST99TIME01:00.00SP7");
  EXPECT_TRUE(Is(x + 20, y + 64, FRAME));
  EXPECT_FALSE(Is(x + 3, y + 3, MARKER));

  // No line to show, or a stage whose flags are missing: nothing is drawn.
  Clear();
  g_Stage.m_RankingKinds.clear();
  DrawStageResult(&BackBuffer, x, y, {0, 0, 0, 0, 0}, GAME_MODE_CHALLENGE);
  EXPECT_EQ(At(x - 1, y - 1), 0u);
  EXPECT_TRUE(Rendered().empty());
}

TEST_P(PanelDrawTest, SlotListNumbersTimesAndSeparators) {
  cSafeVector<cSlotInfo> slots(3);
  slots.At(1).m_bUsed = 1;
  slots.At(1).m_Time.wYear = 2024;
  slots.At(1).m_Time.wMonth = 5;
  slots.At(1).m_Time.wDay = 6;
  slots.At(1).m_Time.wHour = 7;
  slots.At(1).m_Time.wMinute = 8;

  // Four rows from entry 1: entries 1 and 2, then the list ends under the third separator.
  const int x = 100, y = 100;
  DrawStorySlots(&BackBuffer, x, y, slots, 1, 4);
  EXPECT_TRUE(Is(x - 1, y + 64, FRAME)) << "the box keeps the full height";
  EXPECT_TRUE(Is(x + 320, y + 64, FRAME));
  for (int line : {0, 1, 2}) EXPECT_TRUE(Is(x + 300, y + 16 * line + 15, FRAME)) << line;
  EXPECT_EQ(FirstInk(x + 4, y + 8, 40), x + 18);
  EXPECT_EQ(FirstInk(x + 4, y + 24, 40), x + 18);
  EXPECT_EQ(FirstInk(x + 4, y + 40, 250), -1);
  EXPECT_EQ(FirstInk(x + 40, y + 8, 40), x + 66) << "time of the used entry";
  EXPECT_EQ(FirstInk(x + 40, y + 24, 100), -1) << "a free slot has no time";
  EXPECT_EQ(Rendered(), "22024/05/0607:083");  // blanks only advance

  // The whole list: no separator under the last row.
  Clear();
  DrawStorySlots(&BackBuffer, x, y, slots, 0, 3);
  EXPECT_TRUE(Is(x + 300, y + 31, FRAME));
  EXPECT_TRUE(Is(x + 300, y + 47, BOX));
  EXPECT_EQ(FirstInk(x + 4, y + 40, 40), x + 18);
  Rendered();

  // The time alone, and nothing for a free entry.
  slots.At(1).DrawTime(&BackBuffer, 0, 300);
  slots.At(0).DrawTime(&BackBuffer, 0, 320);
  EXPECT_EQ(Rendered(), "2024/05/0607:08");
}

TEST_P(PanelDrawTest, RankingTitleDrawsSymbolCellsExceptInEnglish) {
  g_SystemData.m_bFontSymbols = 1;
  PanelFont().m_bSymbols = 1;
  g_SystemData.m_Texts.At(5) = "abc";
  cRankingRule& rule = g_SystemData.m_RankingRules.At(GAME_MODE_CHALLENGE);
  rule.m_bEnabled = 1;
  rule.m_Kinds = {1, 0, 0, 0, 0};
  cRanking ranking;
  const int x = 100, y = 60;
  struct Case {
    int english;
    int labelX;    // the label's first cell: after nine cells, or after twelve in English
    bool symbols;  // the label's letters drawn as symbol cells (blue)
  };
  for (const Case& c : {Case{0, x + 144, true}, Case{1, x + 192, false}}) {
    SCOPED_TRACE(c.english);
    Clear();
    g_SystemIni.m_nEnglish = c.english;
    ranking.Draw(&BackBuffer, x, y, 0, -1, GAME_MODE_CHALLENGE);
    EXPECT_EQ(Is(c.labelX + 5, y + 8, 0x0000FF), c.symbols) << std::hex << At(c.labelX + 5, y + 8);
    EXPECT_EQ(Is(c.labelX + 5, y + 8, INK), !c.symbols);
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, PanelDrawTest, ::testing::Values(kDrawModes[0], kDrawModes[2]), ModeName);

}  // namespace
}  // namespace t4::test
