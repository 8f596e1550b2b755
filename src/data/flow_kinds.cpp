#include "data/flow_kinds.h"

#include <cmath>
#include <cstdint>
#include <limits>

const cSafeVector<cNamedInt> g_CmdKindTable = {
    {"", 0},
    {"ウエイト", 0},
    {"直線移動", 0},
    {"地上折り返し移動", 0},
    {"円移動", 0},
    {"突撃移動", 0},
    {"誘導移動", 0},
    {"画面外回避移動", 0},
    {"移動の無効化", 0},
    {"向き変更", 1},
    {"ジャンプ", 5},
    {"ショット", 0},
    {"ソード", 0},
    {"ブロック召喚", 0},
    {"キャラ召喚", 0},
    {"アイテム召喚", 0},
    {"フローの操作", 4},
    {"ステージクリア", 9},
    {"ゲームウエイト", 1},
    {"メッセージ", 19},
    {"ワープ", 0},
    {"ターゲットの設定", 16},
    {"ステータスの操作", 22},
    {"ステータスの操作2", 5},
    {"消滅", 3},
    {"アイテムの取得", 2},
    {"グラフィックの変更", 3},
    {"基本アニメセットの変更", 1},
    {"アニメの実行", 2},
    {"エフェクトの実行", 9},
    {"キャラエフェクトの実行", 3},
    {"画面エフェクトの実行", 3},
    {"ピクチャーの表示", 16},
    {"画面の色を変更", 8},
    {"背景の変更", 2},
    {"効果音の再生", 1},
    {"BGMの再生", 2},
    {"コードの実行", 0},
    {"アレンジ", 5},
    {"ループ", 2},
};

static cSafeVector<cNamedInt> MakeItemCmdKindTable() {
  cSafeVector<cNamedInt> table = {{"", 0}, {"フローの変更", 2}};
  for (int k = 2; k < ITEMCMD_KIND_COUNT; ++k) table.push_back(g_CmdKindTable.At(k + ITEMCMD_KIND_OFFSET));
  return table;
}

const cSafeVector<cNamedInt> g_ItemCmdKindTable = MakeItemCmdKindTable();

int GetCmdParamCount(int nCategory, int nKind) {
  const cSafeVector<cNamedInt>& table = nCategory == CMDCAT_ITEM ? g_ItemCmdKindTable : g_CmdKindTable;
  if (nCategory != CMDCAT_FLOW && nCategory != CMDCAT_ITEM) return -1;
  if (nKind < 0 || nKind >= static_cast<int>(table.size())) return -1;
  return table.At(nKind).m_nValue;
}

int CompareByOperator(int32_t a, int32_t b, int nOperator) {
  // 64-bit so that |INT_MIN| and INT_MIN mod -1 are ordinary values.
  int64_t la = a, lb = b;
  switch (nOperator) {
    case CMP_EQ: return a == b;
    case CMP_NE: return a != b;
    case CMP_GE: return a >= b;
    case CMP_LE: return a <= b;
    case CMP_GT: return a > b;
    case CMP_LT: return a < b;
    case CMP_DIVISIBLE: return lb == 0 || std::llabs(la) % lb == 0;
    case CMP_NOT_DIVISIBLE: return lb != 0 && std::llabs(la) % lb != 0;
    default: return 0;
  }
}

int64_t PercentRound(int64_t nBase, int64_t nPercent) {
  // |base x percent| stays below 2^62 for int32 operands, so the product is exact.
  const int64_t p = nBase * nPercent;
  double x = nPercent >= 0 ? static_cast<double>(p) * 0.01 : -(static_cast<double>(-p) * 0.01);
  x = x >= 0 ? x + 0.5 : x - 0.5;
  return static_cast<int64_t>(x);
}

void OperateValue(int32_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax) {
  // Worked in 64 bits: no operand pair traps or wraps; results outside int32 saturate, then the
  // clamp applies as it would to any other value.
  constexpr int64_t LO = std::numeric_limits<int32_t>::min();
  constexpr int64_t HI = std::numeric_limits<int32_t>::max();
  int64_t value = *v;
  int64_t operand = nOperand;
  switch (nOperation) {
    case CALC_SET: value = operand; break;
    case CALC_ADD: value += operand; break;
    case CALC_SUB: value -= operand; break;
    case CALC_MUL: {
      value *= operand;
      if (value > HI)
        value = nMax;
      else if (value < LO)
        value = nMin;
      break;
    }
    case CALC_DIV:
      if (operand != 0) value /= operand;
      break;
    case CALC_MOD:
      if (operand != 0) value %= operand;
      break;
    case CALC_PERCENT: value = PercentRound(value, operand); break;
    default: break;
  }
  if (value > HI) value = HI;
  if (value < LO) value = LO;
  if (value > nMax) value = nMax;
  if (value < nMin) value = nMin;
  *v = static_cast<int32_t>(value);
}
