// The stage loader: numbered names, the end-marker check, loading on the stage-load thread, the
// settings copy and the player definition, and the refusals with their messages.
#include <gtest/gtest.h>

#include "core/globals.h"
#include "core/thread.h"
#include "platform/message_box.h"
#include "platform/messages.h"
#include "stage_test_util.h"
#include "support/temp_dir.h"

using namespace t4::test;

namespace {

class StageFileTest : public ProjectDataTest {
 protected:
  void SetUp() override {
    ProjectDataTest::SetUp();
    g_Stage.SetDefault();
    g_StageSettings.SetDefault();
  }

  // Texts of the boxes shown so far.
  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_Boxes.Boxes()) texts.push_back(box.text);
    return texts;
  }

  t4::platform::ScriptedMessageBoxBackend m_Boxes;
  t4::platform::ScopedMessageBoxBackend m_InstalledBoxes{m_Boxes};
  TempDir m_Dir;
  ScopedCurrentDir m_Cwd{m_Dir.Path()};
};

TEST_F(StageFileTest, LoadsTheHighestNumberedFileAndKeepsItsSettings) {
  m_Dir.WriteFile("data/stg4/w1-1.stg4_003", StageFileImage(DATA_VERSION, {{14, 30}}));
  m_Dir.WriteFile("data/stg4/w1-1.stg4_010", StageFileImage(DATA_VERSION, {{14, 45}, {29, 1}}));
  cCharaDef player;
  ASSERT_EQ(LoadStageInGame("data\\stg4\\w1-1.stg4", 1, &g_StageSettings, &player), 1);
  EXPECT_EQ(g_Stage.m_strPath, "data\\stg4\\w1-1.stg4_010");
  EXPECT_EQ(g_Stage.m_bLoaded, 1);
  EXPECT_EQ(g_Stage.m_bResolveNumbered, 1);
  EXPECT_EQ(g_Stage.m_nFps, 45);
  EXPECT_EQ(player.m_Name, "hero");
  // The settings copy: every setting, layer and variable name, no definition lists.
  EXPECT_EQ(g_StageSettings.m_nFps, 45);
  EXPECT_EQ(g_StageSettings.m_nTakeOverStatus, 1);
  EXPECT_EQ(g_StageSettings.m_strTitle, "title");
  EXPECT_EQ(g_StageSettings.m_VarInfos.size(), 2u);
  EXPECT_EQ(g_StageSettings.m_Backgrounds.at(0).m_strImage, "bg.bmp");
  EXPECT_EQ(g_StageSettings.m_Areas[STAGE_AREA_ITEM].m_nLeftOn, 3);
  EXPECT_TRUE(g_StageSettings.m_CharaPlaces.empty());
  EXPECT_TRUE(g_StageSettings.PalBlocks().empty());
  EXPECT_EQ(g_Stage.m_CharaPlaces.size(), 2u);
  EXPECT_TRUE(BoxTexts().empty());

  // A name without numbered files fails quietly.
  EXPECT_EQ(LoadStageInGame("data\\stg4\\w9-1.stg4", 1, &g_StageSettings, &player), 0);
  EXPECT_TRUE(BoxTexts().empty());
}

TEST_F(StageFileTest, EveryLoadStartsFromAFreshStage) {
  // Files before 125 hold no top switch of the area records: it must not come from the stage
  // loaded before (whose shot area had it off) but be the default (on).
  m_Dir.WriteFile("new.stg4_000", StageFileImage(DATA_VERSION, {}));
  m_Dir.WriteFile("old.stg4_000", StageFileImage(124, {}));
  ASSERT_EQ(LoadStageInGame("new.stg4_000", 0, nullptr, nullptr), 1);
  EXPECT_EQ(g_Stage.m_Areas[STAGE_AREA_HERO_SHOT].m_nTopOn, 0);
  ASSERT_EQ(LoadStageInGame("old.stg4_000", 0, nullptr, nullptr), 1);
  EXPECT_EQ(g_Stage.m_Areas[STAGE_AREA_HERO_SHOT].m_nTopOn, 1);
}

TEST_F(StageFileTest, RefusedFilesGiveTheirMessage) {
  StageTail noPlayer;
  noPlayer.bWithPlayer = false;
  StageTail noMarker;
  noMarker.bMarker = false;
  std::string whole = StageFileImage(DATA_VERSION, {});
  std::string old = StageFileImage(172, {});
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"noplayer.stg4_000", StageFileImage(DATA_VERSION, {}, noPlayer),
       "主人公が配置されていないのでプレイできません！"},
      {"nomarker.stg4_000", StageFileImage(DATA_VERSION, {}, noMarker),
       "ステージファイル nomarker.stg4_000 が破損しています！"},
      {"cut.stg4_000", whole.substr(0, whole.size() / 2), "ステージファイル cut.stg4_000 が破損しています！"},
      {"oldcut.stg4_000", old.substr(0, old.size() - 3), "ステージファイル oldcut.stg4_000 の読み込みに失敗しました！"},
      {"newer.stg4_000", StageFileImage(DATA_VERSION + 1, {}),
       "ステージファイル newer.stg4_000 の読み込みに失敗しました！"},
      {"missing.stg4_000", "", "ステージファイル missing.stg4_000 の読み込みに失敗しました！"},
      {"badsize.stg4_000", StageFileImage(DATA_VERSION, {{2, -4}}),
       "ステージファイル badsize.stg4_000 の読み込みに失敗しました！"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_Boxes.Clear();
    if (!c.bytes.empty()) m_Dir.WriteFile(c.name, c.bytes);
    g_StageSettings.m_nFps = 12;
    EXPECT_EQ(LoadStageInGame(c.name, 0, &g_StageSettings, &g_PlayerCharaDef), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{c.message});
    EXPECT_EQ(g_StageSettings.m_nFps, 12);  // changed only by a successful load
    EXPECT_EQ(thStageLoad.m_hThread, nullptr);
  }
}

TEST_F(StageFileTest, AFileThePlayerPickedDoesNotCloseTheProgramWhenItIsUnplayable) {
  static int s_nCloses = 0;
  s_nCloses = 0;
  g_hWnd = t4::platform::CreateMessageWindow(
      [](HWND, UINT msg, WPARAM, LPARAM) -> LRESULT {
        s_nCloses += msg == WM_CLOSE;
        return 0;
      },
      nullptr);
  auto drain = [] {
    MSG msg;
    while (t4::platform::PeekMessage(&msg, PM_REMOVE)) t4::platform::DispatchMessage(&msg);
  };
  StageTail noPlayer;
  noPlayer.bWithPlayer = false;
  StageTail noMarker;
  noMarker.bMarker = false;
  m_Dir.WriteFile("noplayer.stg4_000", StageFileImage(DATA_VERSION, {}, noPlayer));
  m_Dir.WriteFile("nomarker.stg4_000", StageFileImage(DATA_VERSION, {}, noMarker));
  for (const char* name : {"noplayer.stg4_000", "nomarker.stg4_000"}) {
    SCOPED_TRACE(name);
    for (int bClose : {1, 0}) {
      s_nCloses = 0;
      m_Boxes.Clear();
      EXPECT_EQ(LoadStageInGame(name, 0, &g_StageSettings, &g_PlayerCharaDef, bClose), 0);
      drain();
      EXPECT_EQ(m_Boxes.Boxes().size(), 1u);  // told either way
      EXPECT_EQ(s_nCloses, bClose);
    }
  }
  t4::platform::DestroyWindow(g_hWnd);
  g_hWnd = nullptr;
}

TEST_F(StageFileTest, EndMarkerIsCheckedFromVersion174) {
  StageTail noMarker;
  noMarker.bMarker = false;
  struct Case {
    int nVersion;
    bool bMarker;
    int nExpected;
  } cases[] = {{902, true, 1}, {174, false, 0}, {173, false, 1}, {172, false, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nVersion);
    std::string bytes = StageFileImage(c.nVersion, {}, c.bMarker ? StageTail{} : noMarker);
    // Version 173 carries a marker that is not checked: a wrong value passes.
    if (c.nVersion == 173) bytes += std::string("\x01\x02\x03\x04", 4);
    m_Dir.WriteFile("check.stg4_000", bytes);
    EXPECT_EQ(CheckStageFile("check.stg4_000"), c.nExpected);
  }
  EXPECT_EQ(CheckStageFile("absent.stg4_000"), 1);  // the load that follows reports it
}

}  // namespace
