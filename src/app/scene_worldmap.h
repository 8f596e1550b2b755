// The world map scene: the hero walks tile by tile over the story's world map; a point offers
// the first of its stage entries that the progress allows; a stage starts after a confirmation
// (or at once when its entry asks for it); button 2 opens the world-map menu.
#pragma once

#include <cstdint>

#include "app/menu_scene.h"
#include "stage/menu.h"

class cWorldMapPoint;
class cWorldMapStage;

class cSceneWorldMap : public cMenuScene {
 public:
  cSceneWorldMap() : cMenuScene(SCENE_WORLDMAP, 15) {}
  ~cSceneWorldMap() override;
  cSceneWorldMap(const cSceneWorldMap&) = delete;
  cSceneWorldMap& operator=(const cSceneWorldMap&) = delete;

  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;
  void Walk();
  void ConfirmStage();

  static cWorldMapStage* PickStage(const cWorldMapPoint* lpPoint);
  static bool IsCleared(const cWorldMapStage& entry);
  static int NeedsButton(const cWorldMapStage* lpEntry);
  void MoveHero(MENUCURSORSTATE& cursor, const cInput& input);
  void UpdateStageInfo();
  void PrepareStage();
  void RenderMap(DDSURFACEDATA* lpPicture);
  void Draw(bool bShowInfo);

  int32_t m_nOriginX = 0;
  int32_t m_nOriginY = 0;
  cWorldMapPoint* m_lpPoint = nullptr;
  cWorldMapStage* m_lpEntry = nullptr;
  int32_t m_nFacing = 0;
  MENUCURSORSTATE m_BeforeStep;
  MENUCURSORSTATE m_InfoAt;
  int32_t m_nBest = 0;
  // The stage file of the open confirmation was loaded.
  int32_t m_bStageLoaded = 0;
  // The automatic start at the walker's cell could not load its stage: until he steps off, the
  // point waits for button 1 instead of asking again every frame.
  int32_t m_bAutoStartFailed = 0;

 protected:
  void RunState() override;

 private:
  // Point and open entry at the hero's cell.
  void Locate();
  void SetHeroCell(int x, int y);
  void RankingButtons();
  void DrawRankingPicture();
  void DrawInfo();
  bool StandsOnStage() const;
  // Loads the open entry's stage file; false after telling the player why it cannot be played.
  bool LoadEntryStage() const;
};
