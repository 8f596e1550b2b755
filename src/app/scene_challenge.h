// The challenge select scene: the list of open challenge stages with their clear marks and best
// records, the total, the ranking of the stage under the cursor, and the start of a stage.
#pragma once

#include <cstdint>
#include <string>

#include "app/menu_scene.h"

class cSceneChallenge : public cMenuScene {
 public:
  cSceneChallenge() : cMenuScene(SCENE_CHALLENGE, 15) {}
  ~cSceneChallenge() override;
  cSceneChallenge(const cSceneChallenge&) = delete;
  cSceneChallenge& operator=(const cSceneChallenge&) = delete;

  void Enter() override;
  void FadeIn() override;
  void FadeOut() override;
  void Select();

  void CountStages();
  void SetCurrentStage(int n);
  void CreateListPicture();
  void RenderList(DDSURFACEDATA* lpPicture);
  void Draw();

  int32_t m_nScroll = 0;
  int32_t m_nListCount = 0;
  int32_t m_nVisibleRows = 0;

 protected:
  void RunState() override;

 private:
  void StartStage(int n);
  void RenderAgain();
};

// The file of challenge stage n (from 1): data\stg4\c01-1.stg4 for the first.
std::string ChallengeStageFile(int n);
