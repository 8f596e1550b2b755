#include "app/scene_factory.h"

#include "core/report_log.h"
#include "stage/scene_play.h"

cScene* CreateScene(int nType) {
  if (nType == SCENE_PLAY) return new cScenePlay;
  // The menu scenes join as they are written; until then the frame only clears the screen.
  static int s_nLogged = -1;
  if (s_nLogged != nType) {
    WriteReportLog("scene %d is not available in this build", nType);
    s_nLogged = nType;
  }
  return nullptr;
}
