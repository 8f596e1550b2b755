// Warp and target-setting commands run by characters' flows in a played stage. Gravity 0 and one
// sub-step a frame, so a warped character stays where the warp put it.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "data/flow_kinds.h"
#include "flow/stage_binding.h"
#include "flow/status_position.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "play_constants.h"
#include "timed_command.h"

namespace t4::test {
namespace {

const double K = 1 / std::sqrt(2.0);

cFlowCommand Warp(const std::function<void(cEdMove&)>& set) {
  cFlowCommand c = TimedCommand(CMD_WARP, 0);
  c.m_pMove.reset(new cEdMove);
  c.m_pMove->m_cMode = 0;
  set(*c.m_pMove);
  return c;
}

cCharaDef& PlacedAt(cStage& stage, int x, int y) {
  for (cCharaDef& d : stage.m_CharaPlaces)
    if (d.m_sBlockX == x && d.m_sBlockY == y) return d;
  ADD_FAILURE() << "nothing placed at " << x << ", " << y;
  return stage.m_CharaPlaces.At(0);
}

// The hero at tile 1, a walker at (5, 2), a flier at (8, 2) and a wall at (10, 2).
cStage Field() {
  cStage stage = StageFromRows({
      "....................",
      "....................",
      ".H...w..f.#.........",
      "....................",
      "####################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_dGravity = 0;
  return stage;
}

class WarpTargetPlay : public ::testing::Test {
 protected:
  void Start(const cStage& stage) {
    h.reset();
    h = std::make_unique<StageHarness>();
    h->Start(stage);
    ASSERT_GE(h->RunUntilState(PLAY_PLAY), 0);
  }
  // The first character of that graphic, in placement order.
  cChara& At(int graphic) {
    for (cChara* c : h->Charas())
      if (c->m_Def.m_sGraphicNo == graphic) return *c;
    ADD_FAILURE() << "no character of graphic " << graphic;
    return *h->Charas().at(0);
  }
  std::unique_ptr<StageHarness> h;
};

constexpr int WALKER = 2;
constexpr int FLIER = 3;

double CentreX(const cCharaBase& c) { return c.m_rcScreen[0] + (c.m_nDrawWidth >> 1); }
double CentreY(const cCharaBase& c) { return c.m_rcScreen[1] + (c.m_nDrawHeight >> 1); }

TEST_F(WarpTargetPlay, WarpByDirectionAndDistance) {
  struct Case {
    const char* name;
    int who;
    int dir;
    int16_t distance;
    int32_t older;  // the older rule: a walker warps along the diagonals of its walk only
    int16_t held;
    double dx, dy;
  };
  const Case cases[] = {
      {"right 2 half blocks", FLIER, DIR_RIGHT, 2, 0, 0, 32, 0},
      {"up-left", FLIER, DIR_UP_LEFT, 2, 0, 0, -32 * K, -32 * K},
      {"into the wall: undone", WALKER, DIR_RIGHT, 10, 0, 0, 0, 0},
      {"out of the stage: undone", FLIER, DIR_UP, 8, 0, 0, 0, 0},
      {"walker, input up-left", WALKER, DIR_INPUT, 2, 0, INPUT_LEFT | INPUT_UP, -32 * K, -32 * K},
      {"walker, input up-left, older rule", WALKER, DIR_INPUT, 2, 1, INPUT_LEFT | INPUT_UP, -32, 0},
      {"walker, up-left, older rule", WALKER, DIR_UP_LEFT, 2, 1, 0, -32 * K, -32 * K},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = Field();
    PlacedAt(stage, c.who == FLIER ? 8 : 5, 2).m_Flows.push_back(Once({Warp([&c](cEdMove& m) {
      m.m_cDir = static_cast<int8_t>(c.dir);
      m.m_sDistance = c.distance;
    })}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    ScopedValue<int32_t> older(g_SystemData.m_bCompat721, c.older);
    cChara& mover = At(c.who);
    const double x0 = mover.m_dX;
    const double y0 = mover.m_dY;
    h->Frame(c.held);
    EXPECT_NEAR(mover.m_dX - x0, c.dx, 1e-9);
    EXPECT_NEAR(mover.m_dY - y0, c.dy, 1e-9);
    EXPECT_EQ(mover.m_dRight, mover.m_dX + mover.m_nHitWidth - 1);
  }
}

TEST_F(WarpTargetPlay, WarpBesideATarget) {
  // Target 1 is the hero; target 3 is empty.
  struct Case {
    const char* name;
    int mode;
    bool moves;
  };
  for (const Case& c : {Case{"beside target 1", 1, true}, Case{"beside an empty target 3", 3, false}}) {
    SCOPED_TRACE(c.name);
    cStage stage = Field();
    PlacedAt(stage, 8, 2).m_Flows.push_back(Once({Warp([&c](cEdMove& m) {
      m.m_cMode = static_cast<int8_t>(c.mode);
      m.m_cDir = DIR_RIGHT;
      m.m_sDistance = 3;
    })}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& flier = At(FLIER);
    const double x0 = flier.m_dX;
    h->Frame();
    if (c.moves) {
      // The drawn images centred on each other, then 48 dots to the right.
      EXPECT_EQ(CentreX(flier), CentreX(h->Hero()) + 48);
      EXPECT_EQ(CentreY(flier), CentreY(h->Hero()));
    } else {
      EXPECT_EQ(flier.m_dX, x0);
    }
  }
}

TEST_F(WarpTargetPlay, WarpToAPointOfTheStageOrTheScreen) {
  struct Case {
    const char* name;
    int coordMode;
    int16_t x, y;
    double centreX, centreY;  // the hit box's centre on the screen afterwards
    int pinned;
  };
  const Case cases[] = {
      // Stage tile (3, 1): the block's centre, 16 dots in.
      {"stage block", 1, 3, 1, 3 * 32 + 16, 1 * 32 + 16, 0},
      {"screen point", 2, 100, 50, 100, 50, 1},
      {"no such coordinate mode", 5, 3, 1, -1, -1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = Field();
    PlacedAt(stage, 8, 2).m_Flows.push_back(Once({Warp([&c](cEdMove& m) {
      m.m_cMode = 5;
      m.m_cCoordMode = static_cast<int8_t>(c.coordMode);
      m.m_sTargetX = c.x;
      m.m_sTargetY = c.y;
      m.m_cUnit = static_cast<int8_t>(c.coordMode == 2 ? 1 : 0);
    })}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& flier = At(FLIER);
    const double x0 = flier.m_dX;
    const double y0 = flier.m_dY;
    h->Frame();
    const double sx = ScrollX().m_dPos;
    const double sy = ScrollY().m_dPos;
    if (c.centreX < 0) {
      EXPECT_EQ(flier.m_dX, x0);
      EXPECT_EQ(flier.m_dY, y0);
    } else {
      EXPECT_EQ(std::trunc(flier.m_dX + flier.m_nHitWidth / 2 - sx), c.centreX);
      EXPECT_EQ(std::trunc(flier.m_dY + flier.m_nHitHeight / 2 - sy), c.centreY);
    }
    EXPECT_EQ(flier.m_bFixScreenX, c.pinned);
    EXPECT_EQ(flier.m_bFixScreenY, c.pinned);
    if (c.pinned) {
      EXPECT_EQ(flier.m_nFixScreenX, flier.m_rcScreen[0]);
      EXPECT_EQ(flier.m_nFixScreenY, flier.m_rcScreen[1]);
    }
  }
}

TEST_F(WarpTargetPlay, WarpIntoABlockOfTheStageIsUndone) {
  // Stage tile (10, 2) is the wall. (Fliers of this stage pass through blocks.)
  cStage stage = Field();
  PlacedAt(stage, 5, 2).m_Flows.push_back(Once({Warp([](cEdMove& m) {
    m.m_cMode = 5;
    m.m_cCoordMode = 1;
    m.m_sTargetX = 10;
    m.m_sTargetY = 2;
  })}));
  Start(stage);
  cChara& walker = At(WALKER);
  const double x0 = walker.m_dX;
  const double r0 = walker.m_dRight;
  h->Frame();
  EXPECT_EQ(walker.m_dX, x0);
  EXPECT_EQ(walker.m_dRight, r0);
  EXPECT_EQ(h->CloseRequests(), 0);
}

TEST_F(WarpTargetPlay, AWarpToAScreenPointPinsTheDrawingEvenWhenUndone) {
  // The wall's centre on the screen: the walker cannot stand there, and stays drawn where it is.
  cStage stage = Field();
  PlacedAt(stage, 5, 2).m_Flows.push_back(Once({Warp([](cEdMove& m) {
    m.m_cMode = 5;
    m.m_cCoordMode = 2;
    m.m_cUnit = 1;
    m.m_sTargetX = 10 * 32 + 16;
    m.m_sTargetY = 2 * 32 + 16;
  })}));
  Start(stage);
  cChara& walker = At(WALKER);
  const double x0 = walker.m_dX;
  const double y0 = walker.m_dY;
  h->Frame();
  EXPECT_EQ(walker.m_dX, x0);
  EXPECT_EQ(walker.m_dY, y0);
  EXPECT_EQ(walker.m_bFixScreenX, 1);
  EXPECT_EQ(walker.m_bFixScreenY, 1);
  EXPECT_EQ(walker.m_nFixScreenX, walker.m_rcScreen[0]);
  EXPECT_EQ(walker.m_nFixScreenY, walker.m_rcScreen[1]);
}

TEST_F(WarpTargetPlay, StatusPositionMovesOneAxisThroughTheWarp) {
  // Screen X 100 or screen Y 50 for the flier; the other axis stays.
  for (bool bY : {false, true}) {
    SCOPED_TRACE(bY ? "Y" : "X");
    Start(Field());
    ASSERT_FALSE(HasFatalFailure());
    cChara& flier = At(FLIER);
    const double x0 = flier.m_dX;
    const double y0 = flier.m_dY;
    if (bY)
      SetStatusY(StageFlowBinding(), 50, &flier, POS_MODE_SCREEN, Y_POINT_CENTRE);
    else
      SetStatusX(StageFlowBinding(), 100, &flier, POS_MODE_SCREEN);
    int32_t got = 0;
    if (bY) {
      GetStatusY(StageFlowBinding(), &got, &flier, POS_MODE_SCREEN, Y_POINT_CENTRE, nullptr);
      EXPECT_EQ(got, 50);
      EXPECT_EQ(flier.m_dX, x0);
    } else {
      GetStatusX(StageFlowBinding(), &got, &flier, POS_MODE_SCREEN, nullptr);
      EXPECT_EQ(got, 100);
      EXPECT_EQ(flier.m_dY, y0);
    }
  }
}

// A set-target command: slot, rule and what to do when nothing is found; `more` sets the others.
cFlowCommand SetTarget(int slot, int rule, int none, const std::function<void(cSafeVector<int32_t>&)>& more = {}) {
  cFlowCommand c = TimedCommand(CMD_SET_TARGET, 0);
  c.m_Params.At(0) = slot;
  c.m_Params.At(1) = rule;
  c.m_Params.At(15) = none;
  if (more) more(c.m_Params);
  return c;
}

int BackLinks(const cCharaBase& holder, const cCharaBase& of, int slot) {
  int n = 0;
  for (const TARGETLINK& l : holder.m_BackLinks) n += l.pChara == &of && l.nSlot == slot;
  return n;
}

TEST_F(WarpTargetPlay, TargetRulesFillTheSlot) {
  // The flier sets its slot 1. Factions: the walker 2 (3 tiles from the flier), the second flier
  // 3 (2 tiles away, character id 7).
  enum Expect { HERO, SELF, WALKER_C, FLIER2_C, NONE };
  struct Case {
    const char* name;
    cFlowCommand cmd;
    Expect expect;
  };
  auto nearest = [](int group, int everyGroup) {
    return [group, everyGroup](cSafeVector<int32_t>& p) {
      p.At(2) = group;
      p.At(3) = everyGroup;
      p.At(4) = 1;  // any active living character
      p.At(5) = 1;  // not itself
    };
  };
  const Case cases[] = {
      {"the hero", SetTarget(1, 0, 0), HERO},
      {"itself", SetTarget(1, 1, 0), SELF},
      {"nearest of group 2", SetTarget(1, 2, 0, nearest(2, 0)), WALKER_C},
      {"nearest of every group", SetTarget(1, 2, 0, nearest(2, 1)), FLIER2_C},
      {"by character id",
       SetTarget(1, 3, 0,
                 [](cSafeVector<int32_t>& p) {
                   p.At(3) = 1;
                   p.At(9) = 1;
                   p.At(10) = 7;
                 }),
       FLIER2_C},
      {"a copy of target 1", SetTarget(1, 7, 0), HERO},
      {"the last child of one who never summoned, cleared", SetTarget(0, 5, 0), NONE},
      {"the last child of one who never summoned, kept", SetTarget(0, 5, 1), HERO},
      {"nothing found, other value: no change", SetTarget(0, 5, 2), HERO},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = StageFromRows({
        "....................",
        "....................",
        ".H...w..f.f.........",
        "....................",
        "####################",
    });
    stage.m_nCollisionLevel = 11;
    stage.m_dGravity = 0;
    PlacedAt(stage, 5, 2).m_cLayer = 2;
    cCharaDef& second = PlacedAt(stage, 10, 2);
    second.m_cLayer = 3;
    second.m_cCharaId = 7;
    PlacedAt(stage, 8, 2).m_Flows.push_back(Once({c.cmd}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& setter = At(FLIER);
    const int slot = c.cmd.m_Params.At(0);
    h->Frame();
    cCharaBase* want = nullptr;
    switch (c.expect) {
      case HERO: want = &h->Hero(); break;
      case SELF: want = &setter; break;
      case WALKER_C: want = &At(WALKER); break;
      case FLIER2_C: want = h->Charas().back(); break;
      case NONE: break;
    }
    EXPECT_EQ(setter.m_Targets.At(slot), want);
    if (want) {
      EXPECT_EQ(BackLinks(*want, setter, slot), 1);
    }
    if (want != &h->Hero()) {
      EXPECT_EQ(BackLinks(h->Hero(), setter, slot), 0);
    }
    EXPECT_EQ(h->CloseRequests(), 0);
  }
}

TEST_F(WarpTargetPlay, TheSameTargetTwiceLeavesOneBackLink) {
  cStage stage = Field();
  PlacedAt(stage, 8, 2).m_Flows.push_back(Once({SetTarget(2, 0, 0), SetTarget(2, 0, 0)}));
  Start(stage);
  h->Frames(3);
  cChara& flier = At(FLIER);
  EXPECT_EQ(flier.m_Targets.At(2), &h->Hero());
  EXPECT_EQ(BackLinks(h->Hero(), flier, 2), 1);
}

TEST_F(WarpTargetPlay, ASlotOutsideTheFourIsReportedAndSlot0IsUsedForTheLinkToo) {
  // Slot 4 is the owner link's number: a back-link naming it would make the hero look like this
  // flier's parent, and outlive the flier.
  for (int bad : {4, 7, -1}) {
    SCOPED_TRACE(bad);
    cStage stage = Field();
    PlacedAt(stage, 8, 2).m_Flows.push_back(Once({SetTarget(bad, 0, 0)}));
    Start(stage);
    ASSERT_FALSE(HasFatalFailure());
    cChara& flier = At(FLIER);
    h->Frame();
    EXPECT_EQ(h->CloseRequests(), 1);
    EXPECT_EQ(flier.m_Targets.At(0), &h->Hero());
    EXPECT_EQ(BackLinks(h->Hero(), flier, 0), 1);
    EXPECT_EQ(BackLinks(h->Hero(), flier, bad), 0);
    // Gone from the stage, the flier leaves no link behind on the hero.
    flier.DetachLinks();
    for (const TARGETLINK& l : h->Hero().m_BackLinks) EXPECT_NE(l.pChara, &flier);
  }
}

}  // namespace
}  // namespace t4::test
