// The title scene: the title picture and the title menu (new game, continue, challenge, free
// play, replay, options, quit), the story slot list of a new or continued game, and the hand-over
// to the world map, the challenge select, the play scene or the options.
#pragma once

#include <cstdint>

#include "app/menu_scene.h"

// Title-menu items the scene has actions for.
constexpr int TITLE_ITEM_SLOTS = 7;

class cSceneTitle : public cMenuScene {
 public:
  cSceneTitle() : cMenuScene(SCENE_TITLE, 3) {}
  ~cSceneTitle() override;
  cSceneTitle(const cSceneTitle&) = delete;
  cSceneTitle& operator=(const cSceneTitle&) = delete;

  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;

  void Menu();
  void NewGameSlot() { SlotList(true); }
  void ContinueSlot() { SlotList(false); }

  void CreateMenuPicture();
  void RenderMenuPicture(DDSURFACEDATA* lpPicture);
  void Draw();

  int32_t m_nItemCount = 1;
  int32_t m_Items[TITLE_ITEM_SLOTS] = {};
  int32_t m_nSlotScroll = 0;
  int32_t m_nSlotRows = 0;

  // Where the menu picture stands: the picture menu is centred on its item picture.
  int32_t m_nMenuX = 192;
  static constexpr int32_t MENU_Y = 240;
  static constexpr int32_t SLOT_LIST_X = 160;
  static constexpr int32_t SLOT_LIST_Y = 160;

 protected:
  void RunState() override;

 private:
  void SlotList(bool bNewGame);
};

// The progress of a new story game: reset records, the walker on the map's start, the lives of
// story mode.
void StartNewGame();
// Asks the main window for a stage file and waits for its answer; true when a stage was loaded.
bool OpenStageDialog();
