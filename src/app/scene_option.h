// The options scene: palette variation, music on or off, sound volume, ranking registration mode
// and name. Palette and volume act at once; the music switch and the options file when the scene
// is left.
#pragma once

#include <cstdint>

#include "app/menu_scene.h"

// Options-menu items the scene has actions for.
constexpr int OPTION_ITEM_SLOTS = 6;

class cSceneOption : public cMenuScene {
 public:
  cSceneOption() : cMenuScene(SCENE_OPTION, 3) {}
  ~cSceneOption() override;
  cSceneOption(const cSceneOption&) = delete;
  cSceneOption& operator=(const cSceneOption&) = delete;

  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;
  void Menu();

  void CreateMenuPicture();
  void RenderMenu(DDSURFACEDATA* lpPicture);
  void Draw();
  static void ApplyMusicSwitch();

  int32_t m_nItemCount = 1;
  int32_t m_Items[OPTION_ITEM_SLOTS] = {};
  int32_t m_nEditItem = 0;
  int32_t m_nEditBefore = 0;
  int32_t* m_lpEditValue = nullptr;
  int32_t m_nEditMin = 0;
  int32_t m_nEditMax = 0;

 protected:
  void RunState() override;

 private:
  void ChooseItem();
  void EditValue();
  // The value of an item that acts at once (palette variation, volume) is applied.
  void ApplyEdit() const;
  void RenderAgain();
};
