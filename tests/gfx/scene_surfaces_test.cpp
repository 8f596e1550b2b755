// The scene-owned surface containers after a loss of the blit mode's surfaces: pictures with a
// file are reloaded, the others are marked lost for their owners, system-memory ones keep their
// pixels, and a picture that cannot be reloaded fails the restore.
#include <filesystem>

#include "support/dd_fixture.h"
#include "gfx/scene_surfaces.h"

namespace t4::test {
namespace {

class SceneSurfacesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(f.Init({"dd32", false, 32, 0}));
    effectFile = f.Bmp("effect.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x123456u; }));
    pictureFile = f.Bmp("picture.bmp", MakeRgbImage(2, 2, 24, [](int, int) { return 0x654321u; }));
    // One record of each kind: from a file, drawn by its owner, and drawn into system memory.
    Off_Effect.emplace_back();
    g_EffectSlots.emplace_back();
    ASSERT_TRUE(f.Load(&Off_Effect.back(), effectFile));
    Off_Picture.emplace_back();
    g_PictureSlots.emplace_back();
    ASSERT_TRUE(f.Load(&Off_Picture.back(), pictureFile));
    ASSERT_TRUE(DDAddSurface(Off_Scene, g_SceneSlots, 4, 4, FALSE, 0, 0, nullptr));
    DDFillRect(&Off_Scene.back(), 0, 0, 4, 4, 0x00FF00);
    ASSERT_TRUE(DDAddSurfaceToList(Off_Msg, g_MsgSlots, 4, 4, FALSE, 1, 0, nullptr));
    DDFillRect(&Off_Msg.back(), 0, 0, 4, 4, 0x0000FF);
  }
  void TearDown() override {
    ReleaseSceneSurfaces();
    EXPECT_TRUE(Off_Effect.empty() && g_EffectSlots.empty() && Off_Picture.empty() && g_PictureSlots.empty());
    EXPECT_TRUE(Off_Scene.empty() && g_SceneSlots.empty() && Off_Msg.empty() && g_MsgSlots.empty());
  }

  DDFixture f;
  std::string effectFile, pictureFile;
};

TEST_F(SceneSurfacesTest, LostSurfacesAreReloadedOrMarkedForTheirOwners) {
  EXPECT_FALSE(DDIsPrimaryLost());
  g_lpDD->SimulateSurfaceLoss();
  EXPECT_TRUE(DDIsPrimaryLost());
  ASSERT_TRUE(DDRestore());
  ASSERT_EQ(RestoreSceneSurfaces(), 1);
  EXPECT_EQ(DDFixture::Pixel(&Off_Effect.back(), 1, 1), 0x123456u);
  EXPECT_EQ(DDFixture::Pixel(&Off_Picture.back(), 1, 1), 0x654321u);
  EXPECT_EQ(Off_Effect.back().bLost, 0);
  EXPECT_EQ(Off_Scene.back().bLost, 1) << "drawn by its scene: the scene must draw it again";
  EXPECT_EQ(Off_Msg.back().bLost, 0);
  EXPECT_EQ(DDFixture::Pixel(&Off_Msg.back(), 3, 3), 0x0000FFu) << "system memory keeps its pixels";
  // Nothing is lost any more: a second restore changes nothing.
  Off_Scene.back().bLost = 0;
  EXPECT_EQ(RestoreSceneSurfaces(), 1);
  EXPECT_EQ(Off_Scene.back().bLost, 0);
}

TEST_F(SceneSurfacesTest, PictureThatCannotBeReloadedFailsTheRestore) {
  std::filesystem::remove(pictureFile);
  g_lpDD->SimulateSurfaceLoss();
  ASSERT_TRUE(DDRestore());
  EXPECT_EQ(RestoreSceneSurfaces(), 0);
  // The order stops at the picture list: the effect before it is back, the scene picture after
  // it is not yet restored.
  EXPECT_EQ(DDFixture::Pixel(&Off_Effect.back(), 1, 1), 0x123456u);
  EXPECT_EQ(Off_Scene.back().bLost, 0);
}

}  // namespace
}  // namespace t4::test
