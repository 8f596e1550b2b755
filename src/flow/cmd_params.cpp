// The changeable command parameters and the arrange entries that change them.
#include "flow/cmd_params.h"

#include <algorithm>
#include <limits>

#include "data/data_refs.h"
#include "data/database.h"
#include "data/ed_shot.h"
#include "data/flow_kinds.h"
#include "persist/save_data.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/scene_play.h"

cSafeVector<cSafeVector<cCmdParamInfo>> g_CmdParamTable;

void cCmdParamInfo::Set(const char* name, int32_t nMin, int32_t nMax) {
  m_strName = name ? name : "";
  m_nMin = nMin;
  m_nMax = nMax;
}

namespace {

constexpr int32_t BIG = std::numeric_limits<int32_t>::max();

// Where a changeable parameter lives.
enum : int8_t { AT_PARAM, AT_SOUND, AT_MOVE, AT_SHOT8, AT_SHOT16, AT_SHOT32, AT_FORM, AT_MOVETYPE };

struct cParamField {
  int8_t nAt = AT_PARAM;
  int8_t nIndex = 0;  // parameter number, or element of the formation / movement-type triple
  int16_t cEdMove::*pMove = nullptr;
  int8_t cEdShot::*pShot8 = nullptr;
  int16_t cEdShot::*pShot16 = nullptr;
  int32_t cEdShot::*pShot32 = nullptr;
};

cParamField P(int i) { return {AT_PARAM, static_cast<int8_t>(i)}; }
cParamField Sound() { return {AT_SOUND}; }
cParamField Mv(int16_t cEdMove::*m) { return {AT_MOVE, 0, m}; }
cParamField S8(int8_t cEdShot::*m) { return {AT_SHOT8, 0, nullptr, m}; }
cParamField S16(int16_t cEdShot::*m) { return {AT_SHOT16, 0, nullptr, nullptr, m}; }
cParamField S32(int32_t cEdShot::*m) { return {AT_SHOT32, 0, nullptr, nullptr, nullptr, m}; }
cParamField Form(int i) { return {AT_FORM, static_cast<int8_t>(i)}; }
cParamField MoveType(int i) { return {AT_MOVETYPE, static_cast<int8_t>(i)}; }

struct cParamRow {
  int nKind;
  const char* lpName;
  int32_t nMin;
  int32_t nMax;
  cParamField field;
};

// Every changeable parameter, by kind and in parameter order.
const cParamRow PARAM_ROWS[] = {
    {CMD_STRAIGHT_MOVE, "目標X", -16383, 16383, Mv(&cEdMove::m_sTargetX)},
    {CMD_STRAIGHT_MOVE, "目標X(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotX)},
    {CMD_STRAIGHT_MOVE, "目標Y", -16383, 16383, Mv(&cEdMove::m_sTargetY)},
    {CMD_STRAIGHT_MOVE, "目標Y(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotY)},
    {CMD_STRAIGHT_MOVE, "角度", -7200, 7200, Mv(&cEdMove::m_sAngle)},
    {CMD_STRAIGHT_MOVE, "分身値による増加角度", -7200, 7200, Mv(&cEdMove::m_sAnglePerClone)},
    {CMD_CHARGE_MOVE, "目標のズレX(bl)", -640, 640, Mv(&cEdMove::m_sTargetX)},
    {CMD_CHARGE_MOVE, "目標Xのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotX)},
    {CMD_CHARGE_MOVE, "目標のズレY(bl)", -640, 640, Mv(&cEdMove::m_sTargetY)},
    {CMD_CHARGE_MOVE, "目標Yのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotY)},
    {CMD_CHARGE_MOVE, "角度", -7200, 7200, Mv(&cEdMove::m_sAngle)},
    {CMD_CHARGE_MOVE, "分身値による増加角度", -7200, 7200, Mv(&cEdMove::m_sAnglePerClone)},
    {CMD_HOMING_MOVE, "誘導性能の悪さ", 0, 10, Mv(&cEdMove::m_sRadius)},
    {CMD_HOMING_MOVE, "分身値による増加誘導性能の悪さ", 0, 10, Mv(&cEdMove::m_sRadiusPerClone)},
    {CMD_HOMING_MOVE, "目標Xのズレ(bl)", -640, 640, Mv(&cEdMove::m_sTargetX)},
    {CMD_HOMING_MOVE, "目標Xのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotX)},
    {CMD_HOMING_MOVE, "目標Yのズレ(bl)", -640, 640, Mv(&cEdMove::m_sTargetY)},
    {CMD_HOMING_MOVE, "目標Yのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotY)},
    {CMD_TURN, "効果音", 1, 9999, Sound()},
    {CMD_JUMP, "効果音", 1, 9999, Sound()},
    {CMD_SHOT, "グラフィック", 1, 120, S16(&cEdShot::m_sGraphic)},
    {CMD_SHOT, "Z座標", 0, 7, S8(&cEdShot::m_cZ)},
    {CMD_SHOT, "フォーメーション固有1", 0, BIG, Form(0)},
    {CMD_SHOT, "フォーメーション固有2", 0, BIG, Form(1)},
    {CMD_SHOT, "フォーメーション固有3", 0, BIG, Form(2)},
    {CMD_SHOT, "発射数", 1, 127, S8(&cEdShot::m_cCount)},
    {CMD_SHOT, "発射数に対する分身数", 0, 20, S8(&cEdShot::m_cClones)},
    {CMD_SHOT, "角度のズレ", -7200, 7200, S16(&cEdShot::m_sAngleOfs)},
    {CMD_SHOT, "分身値による角度のズレ", -7200, 7200, S16(&cEdShot::m_sAngleOfsPerClone)},
    {CMD_SHOT, "分散角度", 0, 180, S16(&cEdShot::m_sSpread)},
    {CMD_SHOT, "発射位置のズレX(dot)", -640, 640, S16(&cEdShot::m_sOfsX)},
    {CMD_SHOT, "分身値による発射位置のズレX(dot)", -640, 640, S16(&cEdShot::m_sOfsXPerClone)},
    {CMD_SHOT, "発射位置のズレY(dot)", -640, 640, S16(&cEdShot::m_sOfsY)},
    {CMD_SHOT, "分身値による発射位置のズレY(dot)", -640, 640, S16(&cEdShot::m_sOfsYPerClone)},
    {CMD_SHOT, "効果音", 1, 9999, Sound()},
    {CMD_SHOT, "勢力", 0, 7, S8(&cEdShot::m_cFaction)},
    {CMD_SHOT, "移動タイプ固有1", 0, BIG, MoveType(0)},
    {CMD_SHOT, "移動タイプ固有2", 0, BIG, MoveType(1)},
    {CMD_SHOT, "移動タイプ固有3", 0, BIG, MoveType(2)},
    {CMD_SHOT, "速度", -200, 200, S16(&cEdShot::m_sSpeed)},
    {CMD_SHOT, "分身値による増加速度", -200, 200, S16(&cEdShot::m_sSpeedPerClone)},
    {CMD_SHOT, "加速度", -200, 200, S16(&cEdShot::m_sAccel)},
    {CMD_SHOT, "分身値による増加加速度", -200, 200, S16(&cEdShot::m_sAccelPerClone)},
    {CMD_SHOT, "飛距離(hbl)", 0, 64, S16(&cEdShot::m_sRange)},
    {CMD_SHOT, "分身値による増加飛距離", -40, 40, S16(&cEdShot::m_sRangePerClone)},
    {CMD_SHOT, "存在時間(1/10s)", 1, 999, S16(&cEdShot::m_sLife)},
    {CMD_SHOT, "分身値よる増加存在時間", -99, 99, S16(&cEdShot::m_sLifePerClone)},
    {CMD_SHOT, "消滅値", 1, 9, S8(&cEdShot::m_cCancelValue)},
    {CMD_SHOT, "威力", -999999, 999999, S32(&cEdShot::m_nPower)},
    {CMD_SHOT, "衝撃", -20, 20, S8(&cEdShot::m_cImpact)},
    {CMD_SHOT, "エフェクト", 1, 999, S16(&cEdShot::m_sEffect)},
    {CMD_SHOT, "取得アイテム", 1, 9999, S16(&cEdShot::m_sItem)},
    {CMD_SWORD, "勢力", 0, 7, S8(&cEdShot::m_cFaction)},
    {CMD_SWORD, "Z座標", 0, 7, S8(&cEdShot::m_cZ)},
    {CMD_SWORD, "威力", -999999, 999999, S32(&cEdShot::m_nPower)},
    {CMD_SWORD, "衝撃", -20, 20, S8(&cEdShot::m_cImpact)},
    {CMD_SWORD, "エフェクト", 1, 999, S16(&cEdShot::m_sEffect)},
    {CMD_SWORD, "取得アイテム", 1, 9999, S16(&cEdShot::m_sItem)},
    {CMD_SWORD, "効果音", 1, 9999, Sound()},
    {CMD_SUMMON_BLOCK, "ブロック", 1, 9999, S16(&cEdShot::m_sSummonIndex)},
    {CMD_SUMMON_BLOCK, "フォーメーション固有1", 0, BIG, Form(0)},
    {CMD_SUMMON_BLOCK, "フォーメーション固有2", 0, BIG, Form(1)},
    {CMD_SUMMON_BLOCK, "フォーメーション固有3", 0, BIG, Form(2)},
    {CMD_SUMMON_BLOCK, "数", 1, 127, S8(&cEdShot::m_cCount)},
    {CMD_SUMMON_BLOCK, "召喚位置のズレX(dot)", -640, 640, S16(&cEdShot::m_sOfsX)},
    {CMD_SUMMON_BLOCK, "召喚位置のズレY(dot)", -640, 640, S16(&cEdShot::m_sOfsY)},
    {CMD_SUMMON_BLOCK, "効果音", 1, 9999, Sound()},
    {CMD_SUMMON_CHARA, "キャラ", 1, 9999, S16(&cEdShot::m_sSummonIndex)},
    {CMD_SUMMON_CHARA, "存在時間(1/10s)", 1, 9999, S16(&cEdShot::m_sRange)},
    {CMD_SUMMON_CHARA, "勢力", 0, 7, S8(&cEdShot::m_cFaction)},
    {CMD_SUMMON_CHARA, "フォーメーション固有1", 0, BIG, Form(0)},
    {CMD_SUMMON_CHARA, "フォーメーション固有2", 0, BIG, Form(1)},
    {CMD_SUMMON_CHARA, "フォーメーション固有3", 0, BIG, Form(2)},
    {CMD_SUMMON_CHARA, "数", 1, 127, S8(&cEdShot::m_cCount)},
    {CMD_SUMMON_CHARA, "召喚位置のズレX(dot)", -640, 640, S16(&cEdShot::m_sOfsX)},
    {CMD_SUMMON_CHARA, "召喚位置のズレY(dot)", -640, 640, S16(&cEdShot::m_sOfsY)},
    {CMD_SUMMON_CHARA, "効果音", 1, 9999, Sound()},
    {CMD_SUMMON_ITEM, "アイテム", 1, 9999, S16(&cEdShot::m_sSummonIndex)},
    {CMD_SUMMON_ITEM, "存在時間(1/10s)", 1, 9999, S16(&cEdShot::m_sRange)},
    {CMD_SUMMON_ITEM, "フォーメーション固有1", 0, BIG, Form(0)},
    {CMD_SUMMON_ITEM, "フォーメーション固有2", 0, BIG, Form(1)},
    {CMD_SUMMON_ITEM, "フォーメーション固有3", 0, BIG, Form(2)},
    {CMD_SUMMON_ITEM, "数", 1, 127, S8(&cEdShot::m_cCount)},
    {CMD_SUMMON_ITEM, "召喚位置のズレX(dot)", -640, 640, S16(&cEdShot::m_sOfsX)},
    {CMD_SUMMON_ITEM, "召喚位置のズレY(dot)", -640, 640, S16(&cEdShot::m_sOfsY)},
    {CMD_SUMMON_ITEM, "効果音", 1, 9999, Sound()},
    {CMD_STAGE_CLEAR, "次のステージの番号", 1, 99, P(1)},
    {CMD_STAGE_CLEAR, "次のステージの初期位置X(bl)", 0, 999, P(6)},
    {CMD_STAGE_CLEAR, "次のステージの初期位置Y(bl)", 0, 999, P(7)},
    {CMD_STAGE_CLEAR, "クリア後のワールドマップの位置X", 0, 999, P(3)},
    {CMD_STAGE_CLEAR, "クリア後のワールドマップの位置Y", 0, 999, P(4)},
    {CMD_MESSAGE, "メッセージID", 0, 999, P(13)},
    {CMD_MESSAGE, "座標X", 0, 16383, P(1)},
    {CMD_MESSAGE, "座標Y", 0, 16383, P(2)},
    {CMD_MESSAGE, "表示位置のズレX(dot)", -999, 999, P(3)},
    {CMD_MESSAGE, "表示位置のズレY(dot)", -999, 999, P(4)},
    {CMD_WARP, "距離(hbl)", 0, 64, Mv(&cEdMove::m_sDistance)},
    {CMD_WARP, "分身値による増加距離(hbl)", -40, 40, Mv(&cEdMove::m_sDistancePerClone)},
    {CMD_WARP, "目標X", -16383, 16383, Mv(&cEdMove::m_sTargetX)},
    {CMD_WARP, "目標Y", -16383, 16383, Mv(&cEdMove::m_sTargetY)},
    {CMD_WARP, "目標Xのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotX)},
    {CMD_WARP, "目標Yのズレ(dot)", -640, 640, Mv(&cEdMove::m_sTargetDotY)},
    {CMD_SET_TARGET, "対象勢力", 0, 7, P(2)},
    {CMD_SET_TARGET, "対象キャラID", 0, 99, P(10)},
    {CMD_SET_TARGET, "キャラ変数と比較する数値", -999999, 999999, P(13)},
    {CMD_STATUS, "変数（左辺）", 1, 999, P(2)},
    {CMD_STATUS, "定数", -999999, 999999, P(7)},
    {CMD_STATUS, "乱数の最小値", -999999, 999999, P(8)},
    {CMD_STATUS, "乱数の最大値", -999999, 999999, P(9)},
    {CMD_STATUS, "変数（右辺）", 1, 999, P(11)},
    {CMD_VANISH, "対象勢力", 0, 7, P(1)},
    {CMD_GET_ITEM, "アイテム", 1, 9999, P(1)},
    {CMD_CHANGE_GRAPHIC, "グラフィック", 1, 119, P(1)},
    {CMD_CHANGE_GRAPHIC, "ズレ", -999, 999, P(2)},
    {CMD_EFFECT, "エフェクト", 1, 999, P(0)},
    {CMD_EFFECT, "座標X", 0, 16383, P(2)},
    {CMD_EFFECT, "座標Y", 0, 16383, P(3)},
    {CMD_EFFECT, "表示位置のズレX(dot)", -999, 999, P(4)},
    {CMD_EFFECT, "表示位置のズレY(dot)", -999, 999, P(5)},
    {CMD_EFFECT, "表示倍率(%)", 1, 1000, P(6)},
    {CMD_CHARA_EFFECT, "キャラエフェクト", 1, 999, P(0)},
    {CMD_SCREEN_EFFECT, "画面エフェクト", 1, 999, P(0)},
    {CMD_PICTURE, "ピクチャー", 1, 9999, P(0)},
    {CMD_PICTURE, "ピクチャーID", 0, 999, P(13)},
    {CMD_PICTURE, "座標X", 0, 16383, P(2)},
    {CMD_PICTURE, "座標Y", 0, 16383, P(3)},
    {CMD_PICTURE, "表示位置のズレX(dot)", -999, 999, P(4)},
    {CMD_PICTURE, "表示位置のズレY(dot)", -999, 999, P(5)},
    {CMD_PICTURE, "表示倍率(%)", 1, 1000, P(7)},
    {CMD_SCREEN_COLOR, "R", 0, 255, P(0)},
    {CMD_SCREEN_COLOR, "G", 0, 255, P(1)},
    {CMD_SCREEN_COLOR, "B", 0, 255, P(2)},
    {CMD_SCREEN_COLOR, "%", 0, 100, P(3)},
    {CMD_BACKGROUND, "背景番号", 1, 8, P(0)},
    {CMD_SOUND, "効果音", 1, 9999, P(0)},
    {CMD_BGM, "BGM", 1, 999, P(0)},
};

// The row of parameter `index` of `kind`, or null.
const cParamRow* FindRow(int kind, int index) {
  int seen = 0;
  for (const cParamRow& row : PARAM_ROWS) {
    if (row.nKind != kind) continue;
    if (seen++ == index) return &row;
  }
  return nullptr;
}

bool HasParams(int kind) { return FindRow(kind, 0) != nullptr; }

// The field's storage and width in bytes, or null when the command lacks its record.
void* FieldPlace(const cParamField& f, cFlowCommand& cmd, int* width) {
  *width = 2;
  switch (f.nAt) {
    case AT_PARAM:
      *width = 4;
      return f.nIndex < static_cast<int>(cmd.m_Params.size()) ? &cmd.m_Params.At(f.nIndex) : nullptr;
    case AT_SOUND: return &cmd.m_sSound;
    case AT_MOVE: return cmd.m_pMove ? &((*cmd.m_pMove).*f.pMove) : nullptr;
    default: break;
  }
  if (!cmd.m_pShot) return nullptr;
  cEdShot& shot = *cmd.m_pShot;
  switch (f.nAt) {
    case AT_SHOT8: *width = 1; return &(shot.*f.pShot8);
    case AT_SHOT16: return &(shot.*f.pShot16);
    case AT_SHOT32: *width = 4; return &(shot.*f.pShot32);
    case AT_FORM: return &shot.m_sFormParam[f.nIndex];
    case AT_MOVETYPE: return &shot.m_sMoveParam[f.nIndex];
    default: return nullptr;
  }
}

// Limits of a formation-specific or movement-type-specific value; false when the record's
// formation or movement type has no row in the descriptor table.
bool DescriptorLimits(const cSafeVector<cParamDesc>& table, int row, int32_t* lo, int32_t* hi) {
  if (row < 0 || row >= static_cast<int>(table.size())) return false;
  const cParamDesc& d = table.At(row);
  // A row without a label is a value the formation does not use: it can only be 0.
  *lo = d.m_strName.empty() ? 0 : d.m_sMin;
  *hi = d.m_strName.empty() ? 0 : d.m_sMax;
  return true;
}

// A variable the arrange entry names as its operand; false when there is none.
bool ReadOperand(int scope, int n, cCharaBase* chara, int32_t* out) {
  const cSafeVector<int32_t>* vars = nullptr;
  int lowest = 1;
  if (scope == 0) {
    vars = &g_SaveData.m_CommonVars;
  } else if (scope == 1) {
    if (!g_lpScenePlay) return false;
    vars = &g_lpScenePlay->m_StageVars;
  } else if (scope == 2) {
    if (!chara) return false;
    vars = &chara->m_Vars;
    lowest = 0;
  } else {
    return false;
  }
  if (n < lowest || n >= static_cast<int>(vars->size())) return false;
  *out = vars->At(n);
  return true;
}

// Whether `value` indexes a list of `count` entries; a count below 0 means the list is not
// known, which checks nothing.
bool Fits(int count, int32_t value) {
  return count < 0 || (count > 0 && static_cast<uint32_t>(value) < static_cast<uint32_t>(count));
}

int DatabaseCount(int list) {
  const cDataRefs* refs = GetDataRefs();
  return refs ? refs->GetDatabaseCount(list) : -1;
}

// Definitions of palette `palette` (0 common, 1 stage; others are not checked).
int PaletteCount(int palette, int list) {
  const cDataRefs* refs = GetDataRefs();
  if (!refs || (palette != PALETTE_COMMON && palette != PALETTE_STAGE)) return -1;
  return refs->GetPaletteCount(palette, list);
}

int VarCount(int scope, cCharaBase* chara) {
  if (scope == 0) return static_cast<int>(g_SaveData.m_CommonVars.size());
  if (scope == 1) return g_lpScenePlay ? static_cast<int>(g_lpScenePlay->m_StageVars.size()) : -1;
  if (scope == 2) return chara ? static_cast<int>(chara->m_Vars.size()) : -1;
  return -1;
}

int32_t ParamOr0(const cFlowCommand& cmd, int i) {
  return i < static_cast<int>(cmd.m_Params.size()) ? cmd.m_Params.At(i) : 0;
}

// The list a status command's variable number indexes: by the side's class, owner and kind.
int StatusVarCount(const cFlowCommand& cmd, int classParam, int classIsVar, int classIsStatus, int scopeParam,
                   int ownerParam, int kindParam, cCharaBase* chara) {
  const int cls = ParamOr0(cmd, classParam);
  if (cls == classIsVar) {
    const int scope = ParamOr0(cmd, scopeParam);
    return scope == 0 || scope == 1 ? VarCount(scope, chara) : -1;
  }
  if (cls == classIsStatus && ParamOr0(cmd, ownerParam) != 5 && ParamOr0(cmd, kindParam) == 0)
    return VarCount(2, chara);
  return -1;
}

// Whether the new value may be written: an index must name an existing entry of its list.
bool ReferenceOk(int kind, int index, const cFlowCommand& cmd, int32_t v, cCharaBase* chara) {
  const cEdShot* shot = cmd.m_pShot.get();
  auto item = [&] {
    const int palette = shot ? shot->m_cItemKind : 0;
    if (palette == 0) return false;
    return palette == 1 || palette == 2 ? Fits(PaletteCount(palette - 1, PALLIST_ITEM), v) : true;
  };
  switch (kind) {
    case CMD_TURN:
    case CMD_JUMP:
    case CMD_SOUND: return index != 0 || Fits(DatabaseCount(DBLIST_SOUND), v);
    case CMD_SHOT:
      if (index == 14) return Fits(DatabaseCount(DBLIST_SOUND), v);
      if (index == 30) return Fits(DatabaseCount(DBLIST_EFFECT), v);
      if (index == 31) return item();
      return true;
    case CMD_SWORD:
      if (index == 4) return Fits(DatabaseCount(DBLIST_EFFECT), v);
      if (index == 5) return item();
      if (index == 6) return Fits(DatabaseCount(DBLIST_SOUND), v);
      return true;
    case CMD_SUMMON_BLOCK:
    case CMD_SUMMON_CHARA:
    case CMD_SUMMON_ITEM: {
      const int soundIndex = kind == CMD_SUMMON_BLOCK ? 7 : (kind == CMD_SUMMON_CHARA ? 9 : 8);
      const int list =
          kind == CMD_SUMMON_BLOCK ? PALLIST_BLOCK : (kind == CMD_SUMMON_CHARA ? PALLIST_CHARA : PALLIST_ITEM);
      if (index == 0) return Fits(PaletteCount(shot ? shot->m_cSummonPalette : -1, list), v);
      if (index == soundIndex) return Fits(DatabaseCount(DBLIST_SOUND), v);
      return true;
    }
    case CMD_STATUS:
      if (index == 0) return Fits(StatusVarCount(cmd, 0, 1, 0, 1, 3, 4, chara), v);
      if (index == 4) return Fits(StatusVarCount(cmd, 6, 3, 2, 10, 12, 13, chara), v);
      return true;
    case CMD_GET_ITEM: return index != 0 || Fits(PaletteCount(ParamOr0(cmd, 0), PALLIST_ITEM), v);
    case CMD_CHANGE_GRAPHIC: return index != 0 || ParamOr0(cmd, 0) != 4 || Fits(DatabaseCount(DBLIST_CHARAEXC), v);
    case CMD_EFFECT: return index != 0 || Fits(DatabaseCount(DBLIST_EFFECT), v);
    case CMD_CHARA_EFFECT: return index != 0 || Fits(DatabaseCount(DBLIST_CHARAEFFECT), v);
    case CMD_SCREEN_EFFECT: return index != 0 || Fits(DatabaseCount(DBLIST_SCREFFECT), v);
    case CMD_PICTURE: return index != 0 || Fits(DatabaseCount(DBLIST_PICTURE), v);
    case CMD_BGM: return index != 0 || Fits(DatabaseCount(DBLIST_BGM), v);
    default: return true;
  }
}

}  // namespace

void InitCmdParamTable() {
  g_CmdParamTable.clear();
  g_CmdParamTable.resize(CMD_KIND_COUNT);
  for (const cParamRow& row : PARAM_ROWS) {
    cCmdParamInfo info;
    info.Set(row.lpName, row.nMin, row.nMax);
    g_CmdParamTable.At(row.nKind).push_back(info);
  }
}

bool GetCmdParam(int kind, int index, const cFlowCommand& cmd, int32_t* value) {
  const cParamRow* row = FindRow(kind, index);
  int width = 0;
  void* place = row ? FieldPlace(row->field, const_cast<cFlowCommand&>(cmd), &width) : nullptr;
  if (!place) return false;
  *value = width == 1 ? *static_cast<int8_t*>(place)
                      : (width == 2 ? *static_cast<int16_t*>(place) : *static_cast<int32_t*>(place));
  return true;
}

bool SetCmdParam(int kind, int index, cFlowCommand& cmd, int32_t value) {
  const cParamRow* row = FindRow(kind, index);
  int width = 0;
  void* place = row ? FieldPlace(row->field, cmd, &width) : nullptr;
  if (!place) return false;
  if (width == 1)
    *static_cast<int8_t*>(place) = static_cast<int8_t>(value);
  else if (width == 2)
    *static_cast<int16_t*>(place) = static_cast<int16_t>(value);
  else
    *static_cast<int32_t*>(place) = value;
  return true;
}

void ApplyArrange(cFlowCommand& cmd, const ARRANGEENTRY& entry, cCharaBase* chara) {
  const int kind = cmd.m_cCategory == CMDCAT_ITEM ? cmd.m_cKind + ITEMCMD_KIND_OFFSET : cmd.m_cKind;
  if (entry.At(0) != kind || !HasParams(kind)) return;
  const int index = entry.At(1);
  int32_t value = 0;
  if (!GetCmdParam(kind, index, cmd, &value)) return;
  int32_t operand = 0;
  if (!ReadOperand(entry.At(3), entry.At(4), chara, &operand)) return;
  if (g_CmdParamTable.size() != CMD_KIND_COUNT) InitCmdParamTable();
  const cCmdParamInfo& info = g_CmdParamTable.At(kind).At(index);
  int32_t lo = info.m_nMin;
  int32_t hi = info.m_nMax;
  const cParamRow* row = FindRow(kind, index);
  if (row->field.nAt == AT_FORM &&
      !DescriptorLimits(g_ShotFormationParams, cmd.m_pShot->m_cFormation * 3 + row->field.nIndex, &lo, &hi))
    return;
  if (row->field.nAt == AT_MOVETYPE &&
      !DescriptorLimits(g_ShotMoveTypeParams, cmd.m_pShot->m_cMoveType * 3 + row->field.nIndex, &lo, &hi))
    return;
  OperateValue(&value, operand, entry.At(2), lo, hi);
  if (!ReferenceOk(kind, index, cmd, value, chara)) return;
  SetCmdParam(kind, index, cmd, value);
}

void ApplyFlowArranges(cFlowCommand& cmd, cCharaBase* chara, cFlowState* flow) {
  if (!flow) return;
  for (const ARRANGEENTRY& entry : flow->m_Arranges) ApplyArrange(cmd, entry, chara);
}

void ApplyItemArranges(cFlowCommand& cmd, cHero& hero) {
  for (const ARRANGEENTRY& entry : hero.m_PendingArranges) ApplyArrange(cmd, entry, &hero);
}

int32_t CmdParam(const cFlowCommand& command, int index) {
  return index >= 0 && index < static_cast<int>(command.m_Params.size()) ? command.m_Params.At(index) : 0;
}

int32_t TenthsToFrames(int64_t tenths) {
  constexpr int64_t LONGEST = std::numeric_limits<int32_t>::max() / FRAMES_PER_TENTH;
  return static_cast<int32_t>(std::clamp<int64_t>(tenths, -1, LONGEST) * FRAMES_PER_TENTH);
}
