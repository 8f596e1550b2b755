// Searching characters: the first by conditions, the latest linked one by conditions, and the
// nearest to a point.
#pragma once

#include "core/safe_containers.h"
#include "stage/chara_base.h"

class cStageObject;

// The first character of `list`, in list order, that is not dead and passes every filter that is
// on: its definition's character id, its variable `varNo` compared with `value` by `op` (0 ==,
// 1 !=, 2 >=, 3 <=, 4 >, 5 <, 6 divisible, 7 not divisible), not `excludedId`, not invincible kind
// 1 / kind 2, not a block character.
cCharaBase* FindCharaByCond(const cSafeList<cCharaBase*>& list, int byId, int charaId, int byVar, int varNo, int value,
                            int op, int excludeIdOn, int excludeInvincible1, int excludeInvincible2, int excludeBlock,
                            int excludedId);
// The most recently added link of `kind` (and of `faction` unless `anyFaction`) whose character
// passes the filters of FindCharaByCond.
cCharaBase* FindLinkedCharaByCond(const cSafeVector<TARGETLINK>& links, int kind, int faction, int anyFaction, int byId,
                                  int charaId, int byVar, int varNo, int value, int op, int excludeIdOn,
                                  int excludeInvincible1, int excludeInvincible2, int excludeBlock, int excludedId);
// The character of `list` whose screen centre is nearest to (x, y) by |dx| + |dy|; the first of
// equally near ones. Mode 1 any active living one, 2 only those on screen, 0 on screen first and
// off screen only when none is; other modes find nothing.
cCharaBase* FindNearestChara(double x, double y, const cSafeList<cCharaBase*>& list, int mode, int byId, int charaId,
                             int byVar, int varNo, int value, int op, int excludeIdOn, int excludeInvincible1,
                             int excludeInvincible2, int excludeBlock, int excludedId);
// The stage's default search: on screen only when the stage says so, passing by characters that
// shots pass through.
cCharaBase* FindNearestCharaDefault(double x, double y, const cSafeList<cCharaBase*>& list);
// The default search from an object's screen centre.
cCharaBase* FindNearestCharaToCentre(const cStageObject& obj, const cSafeList<cCharaBase*>& list);
// 1 when `v` compared with `value` by `op` holds (the comparisons of the conditions).
int CompareValue(int v, int value, int op);
