// The shot list of the play scene and the shot pass of a physics sub-step.
#include "data/stage.h"
#include "data/stage_file.h"
#include "stage/chara_base.h"
#include "stage/chara_links.h"
#include "stage/scene_play.h"
#include "stage/shot.h"

void cScenePlay::AddShot(const cShot& shot) {
  m_Shots.push_back(shot);
  LinkLastShot();
}

void cScenePlay::AddShot(int id, cCharaBase* shooter, int kind, cEdShot& p, const FIREPARAM& f) {
  m_Shots.emplace_back().Setup(id, shooter, kind, p, f);
  LinkLastShot();
}

void cScenePlay::LinkLastShot() {
  ++m_nShotChanges;
  cShot& copy = m_Shots.back();
  m_ShotLayers.At(copy.m_nLayer).push_back(&copy);
  // The copy's pointers get their back links here, whoever built the shot, so that a character's
  // removal always clears them. Only shots that aim at or home on their target keep it.
  const int kind = copy.m_Def.m_cMoveType;
  if (copy.m_pTarget && copy.m_bShot && (kind == SHOT_MOVE_AIM_TARGET || kind == SHOT_MOVE_HOME_TARGET)) {
    const SHOTLINK link{&copy, SHOTLINK_TARGET};
    if (!HasShotLink(copy.m_pTarget->m_ShotLinks, link)) copy.m_pTarget->m_ShotLinks.push_back(link);
  } else {
    copy.m_pTarget = nullptr;
  }
  if (copy.m_pShooter) {
    const SHOTLINK link{&copy, SHOTLINK_SHOOTER};
    if (!HasShotLink(copy.m_pShooter->m_ShotLinks, link)) copy.m_pShooter->m_ShotLinks.push_back(link);
  }
}

cSafeList<cShot>::iterator cScenePlay::EraseShot(cSafeList<cShot>::iterator it) {
  cSafeList<cShot*>& layer = m_ShotLayers.At(it->m_nLayer);
  for (auto p = layer.begin(); p != layer.end(); ++p) {
    if (*p == &*it) {
      layer.erase(p);
      break;
    }
  }
  ++m_nShotChanges;
  return m_Shots.erase(it);
}

void cScenePlay::ShotPass() {
  for (auto it = m_Shots.begin(); it != m_Shots.end();) {
    cShot& s = *it;
    if (s.Update()) {
      it = EraseShot(it);
      continue;
    }
    s.ApplyGravity();
    s.StepY();
    s.StepX();
    // Shots only: a sword follows its holder and ends with it, wherever the holder stands.
    if (m_nSubStep == 1 && s.m_bShot && s.m_Def.OutOfAreaOption() &&
        s.IsOutOfArea(g_Stage.m_Areas[s.m_nSide == 0 ? STAGE_AREA_HERO_SHOT : STAGE_AREA_ENEMY_SHOT])) {
      it = EraseShot(it);
      continue;
    }
    if (s.HitBlocks()) {
      it = EraseShot(it);
      continue;
    }
    ++it;
  }
}
