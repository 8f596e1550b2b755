// The vanish command: the characters or shots of a group, the shots a character fired, and the
// line of summons that descends from it.
#include "flow/cmd_state.h"

#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "stage/chara_base.h"
#include "stage/chara_links.h"
#include "stage/scene_play.h"
#include "stage/shot.h"

namespace {

// The owner link a summon leaves on the character that summoned it.
constexpr int BACKLINK_OWNER = 4;

bool ContactRunning() { return g_lpScenePlay && g_lpScenePlay->m_bContactRunning; }

// Takes the shot out of its group list and destroys it; its destructor drops the links that
// still lead to it.
void DestroyShot(cScenePlay& scene, const cShot* shot) {
  for (auto it = scene.m_Shots.begin(); it != scene.m_Shots.end(); ++it) {
    if (&*it == shot) {
      scene.EraseShot(it);
      return;
    }
  }
}

void VanishGroupCharas(cCharaBase* c, int group, int offScreenToo) {
  if (!g_lpScenePlay) return;
  for (cCharaBase* o : g_lpScenePlay->m_CharaLayers.At(group))
    if (o->m_bActive && (offScreenToo || o->m_bOnScreen)) MarkVanished(*o, c);
}

void VanishGroupShots(int group, int offScreenToo) {
  if (!g_lpScenePlay) return;
  cScenePlay& scene = *g_lpScenePlay;
  cSafeList<cShot*>& shots = scene.m_ShotLayers.At(group);
  for (auto it = shots.begin(); it != shots.end();) {
    cShot* shot = *it;
    // The erase below takes the shot's own entry out of this list: step past it first.
    ++it;
    if (!shot->m_bActive || (!offScreenToo && !shot->m_bOnScreen)) continue;
    if (ContactRunning())
      shot->m_bVanish = 1;
    else
      DestroyShot(scene, shot);
  }
}

}  // namespace

void MarkVanished(cCharaBase& o, const cCharaBase* executing) {
  if (o.m_nSide == 0)
    o.m_nHp = 0;
  else
    o.m_bVanish = 1;
  if (&o != executing && g_lpScenePlay) g_lpScenePlay->m_bHpChanged = 1;
}

void VanishOwnShots(cCharaBase* x) {
  if (!x || !g_lpScenePlay) return;
  cSafeVector<SHOTLINK>& links = x->m_ShotLinks;
  size_t i = 0;
  while (i < links.size()) {
    const SHOTLINK link = links[i];
    if (link.nKind != SHOTLINK_SHOOTER || !link.pShot || !link.pShot->m_bActive) {
      ++i;
      continue;
    }
    if (ContactRunning()) {
      link.pShot->m_bVanish = 1;
      ++i;
      continue;
    }
    links.erase(links.begin() + static_cast<std::ptrdiff_t>(i));
    const size_t left = links.size();
    DestroyShot(*g_lpScenePlay, link.pShot);
    // The shot may also have aimed at x: its destructor then took another link of x.
    if (links.size() != left) i = 0;
  }
}

void VanishDescendants(cCharaBase* x, int depth, int alsoShots) {
  if (!x || depth > VANISH_DEPTH_LIMIT) return;
  for (size_t i = 0; i < x->m_BackLinks.size(); ++i) {
    const TARGETLINK link = x->m_BackLinks[i];
    cCharaBase* y = link.pChara;
    if (link.nSlot != BACKLINK_OWNER || !y || !y->m_bActive) continue;
    if (alsoShots) VanishOwnShots(y);
    VanishDescendants(y, depth + 1, alsoShots);
    MarkVanished(*y, x);
  }
}

void ExecVanish(cCharaBase* c, cFlowCommand* cmd) {
  if (!c || !cmd || static_cast<int>(cmd->m_Params.size()) < GetCmdParamCount(CMDCAT_FLOW, CMD_VANISH)) return;
  const cSafeVector<int32_t>& p = cmd->m_Params;
  switch (p.At(0)) {
    case VANISH_GROUP_CHARAS: VanishGroupCharas(c, p.At(1), p.At(2)); break;
    case VANISH_GROUP_SHOTS: VanishGroupShots(p.At(1), p.At(2)); break;
    case VANISH_OWN_SHOTS: VanishOwnShots(c); break;
    case VANISH_DESCENDANTS: VanishDescendants(c, 0, 0); break;
    case VANISH_ALL_OF_LINE:
      VanishOwnShots(c);
      VanishDescendants(c, 0, 1);
      break;
    case VANISH_DESCENDANTS_AND_SHOTS: VanishDescendants(c, 0, 1); break;
    default: break;
  }
}
