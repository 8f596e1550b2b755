// The world-map menu: save the story to a slot, switch auto-save, back to the map, or to the
// title. It shares the world map's music.
#pragma once

#include <cstdint>

#include "app/menu_scene.h"

// World-map menu items the scene has actions for.
constexpr int MAP_MENU_ITEM_SLOTS = 4;

class cSceneMapMenu : public cMenuScene {
 public:
  cSceneMapMenu() : cMenuScene(SCENE_MAPMENU, 3) {}
  ~cSceneMapMenu() override;
  cSceneMapMenu(const cSceneMapMenu&) = delete;
  cSceneMapMenu& operator=(const cSceneMapMenu&) = delete;

  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;
  void Menu();
  void SaveSlot();
  void AutoSave();
  void Back();
  void ToTitle();
  void Draw();

  int32_t m_nItemCount = 1;
  int32_t m_Items[MAP_MENU_ITEM_SLOTS] = {};
  int32_t m_nSlotScroll = 0;
  int32_t m_nSlotRows = 0;

 protected:
  void RunState() override;

 private:
  // Back to the menu from a sub-state.
  void ReturnToMenu();
  void DrawSlotList();
};
