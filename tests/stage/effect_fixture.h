// A played stage for the effect, picture and presentation-command tests: the hero (with the
// flows a test gives it) and a walking character, no blocks drawn, backgrounds off, palette 16 a
// known colour. Effect and picture definitions are added with bitmaps written into the project.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/stage_file.h"
#include "flow/cmd_dispatch.h"
#include "stage/chara.h"
#include "stage/effect_states.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/bmp_writer.h"
#include "support/stage_harness.h"
#include "cmd_builders.h"
#include "draw_probe.h"

namespace t4::test {

class EffectStage : public ::testing::Test {
 protected:
  void Start(std::vector<cFlow> heroFlows = {}) {
    StartWith([&] { return heroFlows; });
  }
  // `makeFlows` runs once the project's database is loaded, so it can add the definitions that
  // its flows name.
  void StartWith(const std::function<std::vector<cFlow>()>& makeFlows) {
    hp.reset();  // one harness at a time
    hp = std::make_unique<StageHarness>();
    const std::vector<cFlow> heroFlows = makeFlows();
    cStage stage = StageFromRows({"....................", "..H.......w.........", "####################"});
    stage.m_nCollisionLevel = 11;
    for (cCharaDef& d : stage.m_CharaPlaces)
      if (d.m_cController == 0)
        for (const cFlow& f : heroFlows) d.m_Flows.push_back(f);
    hp->Start(stage);
    ASSERT_GE(hp->RunUntilState(PLAY_PLAY), 0);
    for (cMapCell& cell : g_MapGrid) cell.m_sGraphicNo = 0;
    for (cBackground& bg : g_Stage.m_Backgrounds) bg.m_nVisible = 0;
    g_Stage.m_nShowStatus = 0;
    SetPaletteRgb(PALETTE_EMPTY, EMPTY);
  }
  StageHarness& H() { return *hp; }
  cScenePlay& Scene() { return hp->Scene(); }
  cHero& Hero() { return hp->Hero(); }
  cChara& Other() { return *hp->Charas().at(0); }
  void Draw(int frozen) { Scene().Draw(1, frozen, 0, 0); }
  int ScrollX() { return static_cast<int>(Scene().m_ScrollX.m_dPos); }
  int ScrollY() { return static_cast<int>(Scene().m_ScrollY.m_dPos); }

  // Runs one command of `kind` for `chara` through the command table.
  void Exec(cCharaBase& chara, int kind, std::vector<int32_t> params, int8_t soundOnScreenOnly = 1) {
    cFlowCommand cmd = Command(kind, std::move(params));
    cmd.m_cSoundOnScreen = soundOnScreenOnly;
    cFlowCommandState state;
    state.m_pCommand = &cmd;
    ExecCommand(chara, state);
  }

  void WriteBmp(const std::string& file, int w, int h, std::vector<uint32_t> cellColours) {
    const int cell = w / static_cast<int>(cellColours.size());
    const BmpImage img = MakeRgbImage(w, h, 24, [&](int x, int) { return cellColours[static_cast<size_t>(x / cell)]; });
    std::ofstream(H().ProjectDir() / file, std::ios::binary) << EncodeBmp(img);
  }

  // An Effect.dat definition whose bitmap has one w x h cell per frame, each in its own colour,
  // shown for `tenths` each; the stage's effect surfaces are loaded again.
  int AddEffect(int w, int h, std::vector<uint32_t> cells, int tenths, int scalable = 0) {
    const int n = static_cast<int>(g_Database.m_Effects.size());
    const std::string file = "fx" + std::to_string(n) + ".bmp";
    WriteBmp(file, w * static_cast<int>(cells.size()), h, cells);
    cEffectDef def;
    def.m_strFile = file;
    def.m_nFrameWidth = w;
    def.m_nFrameHeight = h;
    def.m_nScaleWithAttacker = scalable;
    for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
      cEffectFrame f;
      f.m_nPattern = i;
      f.m_nTime = tenths;
      def.m_Frames.push_back(f);
    }
    g_Database.m_Effects.push_back(def);
    BuildEffectTables(g_EffectAnimeTable);
    Scene().LoadEffectBitmaps();
    return n;
  }

  int AddPicture(const std::string& file, int w, int h, uint32_t rgb) {
    WriteBmp(file, w, h, {rgb});
    cPictureDef def;
    def.m_strFile = file;
    g_Database.m_Pictures.push_back(def);
    return static_cast<int>(g_Database.m_Pictures.size()) - 1;
  }

  template <class DEF>
  static int AddParamDef(cSafeVector<DEF>& list, int kind, std::vector<int32_t> p) {
    DEF def;
    def.m_nKind = kind;
    for (size_t i = 0; i < p.size() && i < 5; ++i) def.m_nParam[i] = p[i];
    list.push_back(def);
    PrepareEffectStates();
    return static_cast<int>(list.size()) - 1;
  }
  static int AddCharaEffect(int kind, std::vector<int32_t> p) {
    return AddParamDef(g_Database.m_CharaEffects, kind, p);
  }
  static int AddScrEffect(int kind, std::vector<int32_t> p) { return AddParamDef(g_Database.m_ScrEffects, kind, p); }

  std::unique_ptr<StageHarness> hp;
};

}  // namespace t4::test
