#include "app/scene_factory.h"

#include "app/scene_challenge.h"
#include "app/scene_map_menu.h"
#include "app/scene_option.h"
#include "app/scene_title.h"
#include "app/scene_worldmap.h"
#include "stage/scene_play.h"

cScene* CreateScene(int nType) {
  switch (nType) {
    case SCENE_TITLE: return new cSceneTitle;
    case SCENE_WORLDMAP: return new cSceneWorldMap;
    case SCENE_MAPMENU: return new cSceneMapMenu;
    case SCENE_CHALLENGE: return new cSceneChallenge;
    case SCENE_PLAY: return new cScenePlay;
    case SCENE_OPTION: return new cSceneOption;
    default: return nullptr;
  }
}
