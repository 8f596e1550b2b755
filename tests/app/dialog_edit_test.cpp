// The edit control's length rules, and the name entry built on them.
#include <memory>
#include <string>

#include "app/dialog_ctrls.h"
#include "app/name_dialog.h"
#include "dialog_fixture.h"
#include "persist/save_data.h"
#include "platform/text_codec.h"
#include "stage/scene_play.h"

namespace {

namespace ui = t4::platform::ui;

TEST(EditLimits, OneLineOfThreeCharacters) {
  EDITLIMITS chars{4, 3, 1, 1};
  EDITLIMITS bytes{4, 3, 1, 0};
  struct Case {
    const char* name;
    EDITLIMITS limits;
    const char* prev;
    const char* typed;
    const char* result;
  } cases[] = {
      {"a fourth character is refused", chars, "ABC", "ABCD", "ABC"},
      {"a paste past the limit is refused", chars, "A", "AXYZW", "A"},
      {"three double-byte characters fit", chars, "あい", "あいう", "あいう"},
      {"a fourth double-byte character is refused", chars, "あいう", "あいうえ", "あいう"},
      {"bytes: one double-byte and one single-byte character fit", bytes, "あ", "あA", "あA"},
      {"bytes: two double-byte characters do not", bytes, "あ", "ああ", "あ"},
      {"an emptied box is accepted", chars, "ABC", "", ""},
  };
  for (const Case& c : cases) {
    EDITSTATE now{c.typed, std::string(c.typed).size(), std::string(c.typed).size()};
    const EDITSTATE out = CheckEditText(now, c.prev, c.limits, false, false, "");
    EXPECT_EQ(out.strText, c.result) << c.name;
    EXPECT_LE(out.nSelEnd, out.strText.size()) << c.name;
  }
}

TEST(EditLimits, InitialisingCutsALongBoundValueToItsFirstCharacters) {
  EDITLIMITS chars{4, 3, 1, 1};
  EDITSTATE shown{"ABCDE", 0, 0};
  EXPECT_EQ(CheckEditText(shown, "", chars, false, true, "ABCDE").strText, "ABC");
  EDITSTATE wide{"あいうえお", 0, 0};
  EXPECT_EQ(CheckEditText(wide, "", chars, false, true, "あいうえお").strText, "あいう");
}

TEST(EditLimits, LongLinesWrapAndABackspaceMayNotJoinThemPastTheLimit) {
  EDITLIMITS three{4096, 3, 4, 0};
  // "ABCDE" as one line: the tail "DE" starts the next line and the caret follows it.
  EDITSTATE typed{"ABCDE", 5, 5};
  EDITSTATE out = CheckEditText(typed, "ABCD", three, false, false, "");
  EXPECT_EQ(out.strText, "ABC\r\nDE");
  EXPECT_EQ(out.nSelEnd, 7u);
  // The tail takes the following line with it: "ABCD" + "\r\n" + "X" becomes "ABC" / "DX".
  EDITSTATE pushed{"ABCD\r\nX", 4, 4};
  EXPECT_EQ(CheckEditText(pushed, "ABC\r\nX", three, false, false, "").strText, "ABC\r\nDX");
  // Backspace at the start of the second line would join "ABC" and "DE": refused.
  EDITSTATE joined{"ABCDE", 3, 3};
  EXPECT_EQ(CheckEditText(joined, "ABC\r\nDE", three, true, false, "").strText, "ABC\r\nDE");
  // Joining "AB" and "C" stays within three: accepted.
  EDITSTATE short_join{"ABC", 2, 2};
  EXPECT_EQ(CheckEditText(short_join, "AB\r\nC", three, true, false, "").strText, "ABC");
}

class NameDialogTest : public DialogTest {
 protected:
  int Run() {
    cNameDialog dialog;
    return dialog.DoModal(0);
  }
  void TypeEach(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
      const size_t n = t4::platform::IsSjisPairAt(text, i) ? 2 : 1;
      host.Type(text.substr(i, n));
      i += n;
    }
  }
};

TEST_F(NameDialogTest, AStoredNameOpensCutToThreeAndSelectedAndTypingReplacesIt) {
  g_Game.m_nTitleChoice = 5;
  g_OptionData.m_strFixedRankingName = "ABCDE";
  TypeEach("XYZW");
  host.Key(VK_RETURN);
  EXPECT_EQ(Run(), 1);
  ASSERT_EQ(host.Seen().size(), 1u);
  const ui::DialogSnapshot& seen = host.Seen()[0];
  const ui::ControlState* edit = seen.Find(1003);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->text, "ABC");
  EXPECT_EQ(edit->selStart, 0u);
  EXPECT_EQ(edit->selEnd, 3u);
  EXPECT_EQ(seen.focus, 1003);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "XYZ");
}

TEST_F(NameDialogTest, ThreeDoubleByteCharactersAreStoredInShiftJis) {
  g_Game.m_nTitleChoice = 5;
  g_OptionData.m_strFixedRankingName = "";
  TypeEach("あいうえ");
  host.Click(1000);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "\x82\xA0\x82\xA2\x82\xA4");
}

TEST_F(NameDialogTest, EscapeLeavesItOpenAndEnterConfirmsACompositionBeforeItPressesOk) {
  g_Game.m_nTitleChoice = 5;
  g_OptionData.m_strFixedRankingName = "old";
  int stillOpen = 0;
  host.Key(VK_ESCAPE);
  host.Queue([&](ui::DialogModel&) { ++stillOpen; });
  host.Key(VK_BACK);  // the selected old name goes
  host.Compose("名");
  host.Key(VK_RETURN);
  host.Queue([&](ui::DialogModel& m) { stillOpen += m.Text(1003) == "名" ? 1 : 0; });
  host.Key(VK_RETURN);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(stillOpen, 2);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "名");
  EXPECT_EQ(host.StepsLeft(), 0u);
}

TEST_F(NameDialogTest, OkWithAnEmptyBoxStoresAnEmptyName) {
  g_Game.m_nTitleChoice = 5;
  g_OptionData.m_strFixedRankingName = "ABC";
  host.Key(VK_DELETE);
  host.Click(1000);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "");
}

TEST_F(NameDialogTest, EnglishChangesTheLabelButNotTheButton) {
  g_SystemIni.m_nEnglish = 1;
  g_Game.m_nTitleChoice = 5;
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(host.Seen()[0].Find(1007)->text, "     Name");
  EXPECT_EQ(host.Seen()[0].Find(1000)->text, "OK");
}

TEST_F(NameDialogTest, WithNothingToNameOkChangesNothing) {
  g_OptionData.m_strFixedRankingName = "KEE";
  host.Type("ZZ");
  host.Click(1000);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "KEE");
  EXPECT_FALSE(host.Seen()[0].Find(1003)->visible);
  EXPECT_EQ(host.Seen()[0].focus, 1000);
}

TEST_F(NameDialogTest, ThePlaySceneNamesItsOwnEntry) {
  const int32_t bgm = g_SaveData.m_nBgm;
  g_OptionData.m_strFixedRankingName = "OPT";
  {
    const std::unique_ptr<cScenePlay> scene = std::make_unique<cScenePlay>();
    g_lpScenePlay = scene.get();
    scene->m_strRankName = "P1";
    host.Type("Q");
    host.Key(VK_RETURN);
    const int result = Run();
    g_lpScenePlay = nullptr;
    EXPECT_EQ(result, 1);
    EXPECT_EQ(scene->m_strRankName, "Q");
  }
  g_SaveData.m_nBgm = bgm;
  EXPECT_EQ(g_OptionData.m_strFixedRankingName, "OPT");
}

TEST_F(NameDialogTest, OpensAtTheSamePlaceOfTheGameScreenWindowedOrFullScreen) {
  RecordMainWindowPosition(300, 200);
  {
    cNameDialog dialog;
    EXPECT_EQ(dialog.m_nPlaceX, 540);
    EXPECT_EQ(dialog.m_nPlaceY, 420);
    dialog.DoModal(0);
  }
  g_SystemIni.m_nWindowMode = 0;
  RecordMainWindowPosition(0, 0);
  {
    cNameDialog dialog;
    EXPECT_EQ(dialog.m_nPlaceX, 240);
    EXPECT_EQ(dialog.m_nPlaceY, 220);
    dialog.DoModal(0);
  }
  ASSERT_EQ(host.Seen().size(), 2u);
  for (const ui::DialogSnapshot& s : host.Seen()) {
    EXPECT_EQ(s.window.x, 240);
    EXPECT_EQ(s.window.y, 220);
    EXPECT_TRUE(PointerOn(s, 1000));  // on OK
  }
}

}  // namespace
