#include "flow/status_table.h"

#include "data/chara_def.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

namespace {

constexpr cStatusLimits VALUE{-999999, 999999};
constexpr cStatusLimits POSITIVE{0, 999999};
constexpr cStatusLimits POSITION{-16384, 16384};

// Unlimited lives as the status rules read them.
constexpr int32_t LIVES_UNLIMITED_READ = 100;

}  // namespace

const cCharaStatusInfo g_CharaStatusTable[CSTAT_COUNT] = {
    /* variable      */ {STATUS_WIDTH_INT, VALUE, VALUE, VALUE},
    /* HP            */ {STATUS_WIDTH_INT, POSITIVE, POSITIVE, POSITIVE},
    /* SP            */ {STATUS_WIDTH_INT, POSITIVE, POSITIVE, POSITIVE},
    /* max HP        */ {STATUS_WIDTH_INT, POSITIVE, POSITIVE, {1, 999999}},
    /* max SP        */ {STATUS_WIDTH_INT, POSITIVE, POSITIVE, {1, 999999}},
    /* chara ID      */ {STATUS_WIDTH_BYTE, {0, 99}, {0, 99}, {0, 99}},
    /* X             */ {STATUS_WIDTH_INT, POSITION, POSITION, POSITION},
    /* Y             */ {STATUS_WIDTH_INT, POSITION, POSITION, POSITION},
    /* Z             */ {STATUS_WIDTH_BYTE, {0, 7}, {0, 7}, {0, 7}},
    /* mark          */ {STATUS_WIDTH_SHORT, {0, 119}, {0, 119}, {0, 119}},
    /* sight         */ {STATUS_WIDTH_BYTE, {0, 40}, {0, 40}, {0, 40}},
    /* body power    */ {STATUS_WIDTH_INT, POSITIVE, VALUE, VALUE},
    /* body impact   */ {STATUS_WIDTH_BYTE, {-20, 20}, {-20, 20}, {-20, 20}},
    /* defence       */ {STATUS_WIDTH_INT, POSITIVE, POSITIVE, POSITIVE},
    /* impact resist */ {STATUS_WIDTH_BYTE, {0, 20}, {0, 20}, {0, 20}},
    /* stopping      */ {STATUS_WIDTH_SHORT, {0, 200}, {0, 200}, {0, 200}},
    /* score         */ {STATUS_WIDTH_INT, POSITIVE, VALUE, VALUE},
};

const cSystemStatusInfo g_SystemStatusTable[SSTAT_COUNT] = {
    /* time     */ {{0, 999}},
    /* scroll X */ {{-480, 480}},
    /* scroll Y */ {{-480, 480}},
    /* score    */ {{0, 999999}},
    /* lives    */ {{0, 99}},
};

cStatusPlace CharaStatusPlace(cFlowStage& stage, cCharaBase* c, int kind, int nVar) {
  if (!c) return {};
  cCharaDef& def = stage.Def(c);
  switch (kind) {
    case CSTAT_VAR: {
      cSafeVector<int32_t>& vars = stage.Vars(c);
      if (vars.empty()) return {};
      return {&vars.At(nVar), STATUS_WIDTH_INT};
    }
    case CSTAT_HP: return {&stage.Hp(c), STATUS_WIDTH_INT};
    case CSTAT_SP: return {&stage.Sp(c), STATUS_WIDTH_INT};
    case CSTAT_MAX_HP: return {&def.m_nMaxHp, STATUS_WIDTH_INT};
    case CSTAT_MAX_SP: return {&def.m_nMaxSp, STATUS_WIDTH_INT};
    case CSTAT_CHARA_ID: return {&def.m_cCharaId, STATUS_WIDTH_BYTE};
    case CSTAT_Z: return {&def.m_cZOrder, STATUS_WIDTH_BYTE};
    case CSTAT_MARK: return {&def.m_sBadgeNo, STATUS_WIDTH_SHORT};
    case CSTAT_SIGHT: return {&def.m_cSightRange, STATUS_WIDTH_BYTE};
    case CSTAT_BODY_POWER: return {&def.m_nBodyPower, STATUS_WIDTH_INT};
    case CSTAT_BODY_IMPACT: return {&def.m_cBodyImpact, STATUS_WIDTH_BYTE};
    case CSTAT_DEFENCE: return {&def.m_nDefence, STATUS_WIDTH_INT};
    case CSTAT_IMPACT_RESIST: return {&def.m_cImpactResist, STATUS_WIDTH_BYTE};
    case CSTAT_STOPPING: return {&def.m_sStopping, STATUS_WIDTH_SHORT};
    case CSTAT_SCORE: return {&def.m_nScore, STATUS_WIDTH_INT};
    default: return {};
  }
}

int32_t ReadStatusPlace(const cStatusPlace& place) {
  if (!place.p) return 0;
  switch (place.nWidth) {
    case STATUS_WIDTH_BYTE: return *static_cast<int8_t*>(place.p);
    case STATUS_WIDTH_SHORT: return *static_cast<int16_t*>(place.p);
    default: return *static_cast<int32_t*>(place.p);
  }
}

void WriteStatusPlace(const cStatusPlace& place, int32_t value) {
  if (!place.p) return;
  switch (place.nWidth) {
    case STATUS_WIDTH_BYTE: *static_cast<int8_t*>(place.p) = static_cast<int8_t>(value); break;
    case STATUS_WIDTH_SHORT: *static_cast<int16_t*>(place.p) = static_cast<int16_t>(value); break;
    default: *static_cast<int32_t*>(place.p) = value; break;
  }
}

int32_t* SystemStatusPlace(cFlowStage& stage, int kind) {
  switch (kind) {
    case SSTAT_TIME: return &stage.TimeCounter();
    case SSTAT_SCROLL_X: return &g_Stage.m_nAutoScrollX;
    case SSTAT_SCROLL_Y: return &g_Stage.m_nAutoScrollY;
    case SSTAT_SCORE: return &g_SaveData.m_nStageScore;
    case SSTAT_LIVES: return &g_SaveData.m_nLives;
    default: return nullptr;
  }
}

int32_t ReadSystemStatusOperand(cFlowStage& stage, int kind, bool bRightSide) {
  int32_t* p = SystemStatusPlace(stage, kind);
  if (!p) return 0;
  if (kind == SSTAT_TIME && bRightSide && stage.NoTimeLimit()) return 0;
  if (kind == SSTAT_LIVES && *p == LIVES_INFINITE) {
    return g_SystemData.CompatLivesZero() ? 0 : LIVES_UNLIMITED_READ;
  }
  return *p;
}

void AfterSystemStatusChange(cFlowStage& stage, int kind) {
  if (kind == SSTAT_SCROLL_X) stage.SetAutoScroll(SCROLL_AXIS_X, g_Stage.m_nScrollModeX, g_Stage.m_nAutoScrollX);
  if (kind == SSTAT_SCROLL_Y) stage.SetAutoScroll(SCROLL_AXIS_Y, g_Stage.m_nScrollModeY, g_Stage.m_nAutoScrollY);
}
