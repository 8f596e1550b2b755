// Pictures of the picture command: shown, replaced and removed by picture ID with their surfaces
// in step, timed, stuck to the stage or the screen, following a character, frozen, and a bitmap
// that cannot be loaded.
#include <string>

#include "gfx/scene_surfaces.h"
#include "platform/window/input_devices.h"
#include "persist/system_data.h"
#include "support/scoped_value.h"
#include "effect_fixture.h"
#include "message_fixture.h"

namespace t4::test {
namespace {

struct Pic {
  int n = 0, placement = 3, x = 0, y = 0;
  int mode = 1, tenths = 0, freeze = 0, fix = 0, hasId = 0, id = 0, oneFrame = 0, unit = 1, scale = 100;
  int front = 1;
  std::vector<int32_t> Params() const {
    return {n, placement, x, y, 0, 0, front, scale, mode, tenths, freeze, fix, hasId, id, oneFrame, unit};
  }
};

class EffectPictures : public EffectStage {
 protected:
  void SetUp() override {
    Start();
    ASSERT_FALSE(HasFatalFailure());
    Hero().m_Def.m_cTransparent = 1;
    Other().m_Def.m_cTransparent = 1;
    red = AddPicture("red.bmp", 20, 20, RED);
    redAgain = AddPicture("red.bmp", 20, 20, RED);
    blue = AddPicture("blue.bmp", 20, 20, BLUE);
  }
  void Show(const Pic& p) { Exec(Hero(), CMD_PICTURE, p.Params()); }
  // Pictures and surfaces in step, and the files of the surfaces in order.
  std::string Files() {
    EXPECT_EQ(Scene().m_Pictures.size(), Off_Picture.size());
    EXPECT_EQ(g_PictureSlots.size(), Off_Picture.size());
    std::string out;
    for (const DDSURFACEDATA& s : Off_Picture) out += std::string(s.szFile) + " ";
    return out;
  }
  int red = 0, redAgain = 0, blue = 0;
};

TEST_F(EffectPictures, ReplacedAndRemovedByPictureId) {
  Show({.n = red, .x = 10, .y = 10, .hasId = 1, .id = 7});
  Show({.n = blue, .x = 50, .y = 10});
  EXPECT_EQ(Files(), "red.bmp blue.bmp ");
  Draw(1);
  EXPECT_EQ(At(15, 15), RED);
  EXPECT_EQ(At(55, 15), BLUE);
  // The same file keeps its surface and its place in the drawing order.
  const DDSURFACEDATA* kept = &Off_Picture.front();
  Show({.n = redAgain, .x = 100, .y = 10, .hasId = 1, .id = 7});
  EXPECT_EQ(&Off_Picture.front(), kept);
  EXPECT_EQ(Scene().m_Pictures.front().m_nPicture, redAgain);
  // Another file takes the same place.
  Show({.n = blue, .x = 100, .y = 10, .hasId = 1, .id = 7});
  EXPECT_EQ(Files(), "blue.bmp blue.bmp ");
  EXPECT_EQ(Scene().m_Pictures.front().m_nX, 100);
  Draw(1);
  EXPECT_EQ(At(105, 15), BLUE);
  EXPECT_EQ(At(15, 15), EMPTY);
  // Number 0 with an ID removes that picture only; an ID nobody has changes nothing.
  Show({.n = 0, .hasId = 1, .id = 8});
  Show({.n = 0, .hasId = 1, .id = 7});
  EXPECT_EQ(Files(), "blue.bmp ");
  EXPECT_EQ(Scene().m_Pictures.front().m_nX, 50);
  Show({.n = red});
  Show({.n = 0});
  EXPECT_EQ(Files(), "");
  // A number that names no picture shows nothing.
  Show({.n = 999});
  Show({.n = -4});
  EXPECT_EQ(Files(), "");
}

TEST_F(EffectPictures, TimedPicturesAreDrawnForTheirFrames) {
  struct Case {
    Pic pic;
    const char* seen;
  } cases[] = {
      {{.n = red, .x = 10, .y = 10, .mode = 2, .tenths = 1}, "######."},
      {{.n = red, .x = 10, .y = 10, .mode = 2, .tenths = 5, .oneFrame = 1}, "#.."},
      {{.n = red, .x = 10, .y = 10, .mode = 0}, "###"},
  };
  for (const Case& k : cases) {
    Show({.n = 0});
    Show(k.pic);
    // Frozen frames do not count.
    Draw(1);
    std::string seen;
    for (size_t i = 0; i < std::string(k.seen).size(); ++i) {
      Draw(0);
      seen += At(15, 15) == RED ? '#' : '.';
    }
    EXPECT_EQ(seen, k.seen);
  }
  EXPECT_EQ(Files(), "red.bmp ");
}

TEST_F(EffectPictures, ScreenPlacementsStickToTheStageUnlessFixed) {
  Show({.n = red, .placement = 3, .x = 100, .y = 100, .fix = 0});
  Show({.n = blue, .placement = 3, .x = 200, .y = 100, .fix = 1});
  Draw(1);
  Scene().m_ScrollX.m_dPos += 40;
  Draw(1);
  EXPECT_EQ(At(65, 105), RED);
  EXPECT_EQ(At(105, 105), EMPTY);
  EXPECT_EQ(At(205, 105), BLUE);
  // Stage placements move with the view unless fixed; blocks are 32 dots from the grid border.
  Show({.n = 0});
  const double sx = Scene().m_ScrollX.m_dPos, sy = Scene().m_ScrollY.m_dPos;
  Show({.n = red, .placement = 5, .x = 12, .y = 11, .fix = 0, .unit = 0});
  Draw(1);
  const int x = 32 * 22 - static_cast<int>(sx), y = 32 * 21 - static_cast<int>(sy);
  ASSERT_GE(x, 0);
  ASSERT_GE(y, 0);
  EXPECT_EQ(At(x, y), RED);
  EXPECT_EQ(At(x - 1, y), EMPTY);
  // Placements outside the table draw nothing.
  Show({.n = 0});
  Show({.n = red, .placement = 9, .x = 10, .y = 10});
  Show({.n = blue, .placement = 4, .x = 10, .y = 10, .unit = 3});
  Draw(1);
  EXPECT_EQ(At(10, 10), EMPTY);
  EXPECT_EQ(At(0, 0), EMPTY);
}

TEST_F(EffectPictures, CharacterPlacementFollowsOnlyInOlderFiles) {
  for (int follow : {0, 1}) {
    SCOPED_TRACE(follow);
    ScopedValue<int32_t> compat(g_SystemData.m_bCompat833, follow);
    Show({.n = 0});
    Other().m_dX = Scene().m_ScrollX.m_dPos + 300;
    Other().m_dY = Scene().m_ScrollY.m_dPos + 200;
    Exec(Other(), CMD_PICTURE, Pic{.n = red, .placement = 1}.Params());
    const cPictureObj& p = Scene().m_Pictures.front();
    const int cx = 300 + (Other().m_nHitWidth >> 1) - 10, cy = 200 + (Other().m_nHitHeight >> 1) - 10;
    Draw(1);
    EXPECT_EQ(At(cx, cy), RED);
    EXPECT_EQ(At(cx - 1, cy), EMPTY);
    Other().m_dX += 50;
    Draw(1);
    EXPECT_EQ(At(cx + 50 * follow, cy), RED);
    EXPECT_EQ(At(cx + 50 * follow - 1, cy), EMPTY);
    // A character that is gone leaves the picture at its last centre.
    Other().m_nId += 1000;
    Draw(1);
    EXPECT_EQ(At(cx + 50 * follow, cy), RED);
    Other().m_nId -= 1000;
    EXPECT_EQ(p.m_nPicture, red);
  }
}

TEST_F(EffectPictures, FreezingPictureShowsItsTimeAndGoes) {
  Show({.n = blue, .x = 50, .y = 50});
  const int before = H().Presented();
  Show({.n = red, .x = 10, .y = 10, .mode = 2, .tenths = 1, .freeze = 1});
  EXPECT_EQ(H().Presented() - before, 6);
  EXPECT_EQ(Files(), "blue.bmp ");
}

// Shown until the stage ends, a freezing picture has no time of its own: it waits for button 1,
// whatever wait the scene held before.
TEST_F(EffectPictures, FreezingPictureUntilTheStageEndsWaitsForAPress) {
  ThreadedMainWindow window;
  Show({.n = blue, .x = 50, .y = 50});
  Scene().m_Wait.Set(WAIT_GAME, 0, -5, 0);
  const int before = H().Presented();
  H().OnPresent([before](int count, const platform::Frame&) {
    if (count - before == 15) platform::SetKeyDown('Z', true);
  });
  Show({.n = red, .x = 10, .y = 10, .mode = 1, .freeze = 1});
  H().OnPresent(nullptr);
  platform::SetKeyDown('Z', false);
  EXPECT_EQ(H().Presented() - before, 15);
  EXPECT_EQ(Files(), "blue.bmp ");
}

TEST_F(EffectPictures, BitmapThatCannotBeLoadedLeavesTheListsInStep) {
  cPictureDef missing;
  missing.m_strFile = "missing.bmp";
  g_Database.m_Pictures.push_back(missing);
  const int n = static_cast<int>(g_Database.m_Pictures.size()) - 1;
  Show({.n = red, .x = 10, .y = 10, .hasId = 1, .id = 3});
  Show({.n = blue, .x = 50, .y = 10});
  const int closes = H().CloseRequests();
  H().Boxes().Clear();
  Show({.n = n});
  Show({.n = n, .hasId = 1, .id = 3});
  H().Frame();
  EXPECT_EQ(H().Boxes().Boxes().size(), 2u);
  EXPECT_GT(H().CloseRequests(), closes);
  EXPECT_EQ(Files(), "blue.bmp ");
  Draw(1);
  EXPECT_EQ(At(55, 15), BLUE);
}

}  // namespace
}  // namespace t4::test

namespace t4::test {
namespace {

// A frame with a stretched effect over a scaled picture behind the characters and one in front:
// its hash is the same on every run and in every build type (taken once after looking at it:
// the hero under a 250% effect, a small effect, the half-size blue picture, the triple red one).
TEST_F(EffectPictures, FrameWithEffectsAndPicturesHashesTheSame) {
  Hero().m_Def.m_cTransparent = 0;
  Other().m_Def.m_cTransparent = 0;
  const int fx = AddEffect(24, 16, {GREEN, YELLOW}, 1);
  Show({.n = red, .placement = 0, .scale = 300, .front = 0});
  Show({.n = blue, .placement = 4, .x = 200, .y = 60, .scale = 50});
  Exec(Hero(), CMD_EFFECT, {fx, 1, 0, 0, 0, 0, 250, 0, 0});
  Exec(Hero(), CMD_EFFECT, {fx, 3, 20, 30, 4, 4, 100, 0, 1});
  for (int i = 0; i < 8; ++i) Draw(0);
  EXPECT_EQ(FrameHash("effects_and_pictures"), 266640783916660302ull);
}

}  // namespace
}  // namespace t4::test
