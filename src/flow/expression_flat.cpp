// The flat stage of the expression language: tokens, operands read up front, three folding passes.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "data/chara_def.h"
#include "flow/expression.h"
#include "flow/expression_eval.h"
#include "flow/operate.h"
#include "flow/status_position.h"
#include "flow/status_table.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

namespace {

const char* const g_ExprOpNames[] = {"=", "+", "-", "*", "/", "%", ""};
const int g_ExprOpPass[] = {2, 1, 1, 0, 0, 0};
enum : int { OP_ASSIGN = 0, OP_ADD, OP_SUB, OP_MUL, OP_DIV, OP_MOD };

const char* const g_ExprObjNames[] = {"my", "tg", "tg1", "tg2", "tg3", "tg4", "pl", "sys", ""};
enum : int { OBJ_MY = 0, OBJ_TG, OBJ_TG1, OBJ_TG4 = OBJ_TG1 + 3, OBJ_PL, OBJ_SYS };

const char* const g_ExprVarPrefixes[] = {"C", "S", ""};
const char* const g_ExprSysStatusNames[] = {"time", "scrlx", "scrly", "score", "life", ""};
const char* const g_ExprCharaStatusNames[] = {"v1",    "v2",    "v3",    "v4",    "v5",   "v6",    "v7",    "v8",
                                              "hp",    "sp",    "mhp",   "msp",   "cid",  "x_rel", "x_abs", "x_scr",
                                              "y_rel", "y_abs", "y_scr", "z",     "mark", "sight", "power", "imp",
                                              "def",   "impd",  "stop",  "getsc", ""};
enum : int {
  ES_V1 = 0,
  ES_V8 = 7,
  ES_HP = 8,
  ES_SP = 9,
  ES_MHP = 10,
  ES_MSP = 11,
  ES_CID = 12,
  ES_X_REL = 13,
  ES_X_SCR = 15,
  ES_Y_REL = 16,
  ES_Y_SCR = 18,
  ES_SIGHT = 21
};
// The status-table kind of each expression status from "cid" on.
const int g_ExprCharaKinds[] = {
    CSTAT_CHARA_ID, CSTAT_X,    CSTAT_X,     CSTAT_X,          CSTAT_Y,           CSTAT_Y,       CSTAT_Y,
    CSTAT_Z,        CSTAT_MARK, CSTAT_SIGHT, CSTAT_BODY_POWER, CSTAT_BODY_IMPACT, CSTAT_DEFENCE, CSTAT_IMPACT_RESIST,
    CSTAT_STOPPING, CSTAT_SCORE};

enum : int { TK_CONSTANT = 0, TK_VARIABLE, TK_CHARA_STATUS, TK_SYSTEM_STATUS, TK_OPERATOR };

struct cExprToken {
  int32_t nKind = TK_CONSTANT;
  int32_t nValue = 0;
  cStatusPlace place;  // where an assignment stores (null for constants, operators and positions)
  int32_t nMin = -999999;
  int32_t nMax = 999999;
  int32_t nIndex = 0;  // operator, character-status or system-status index
  cCharaBase* pOwner = nullptr;
};

int FindName(const char* const* table, const std::string& word) {
  for (int i = 0; table[i][0]; ++i) {
    if (word == table[i]) return i;
  }
  return -1;
}

// Leading digits with an optional sign, like atoi, but saturating instead of overflowing.
int32_t ParseInt(const char* s) {
  while (*s && std::isspace(static_cast<unsigned char>(*s))) ++s;
  bool negative = *s == '-';
  if (*s == '-' || *s == '+') ++s;
  int64_t value = 0;
  for (; *s >= '0' && *s <= '9'; ++s) {
    value = value * 10 + (*s - '0');
    if (value > int64_t{INT32_MAX} + 1) value = int64_t{INT32_MAX} + 1;
  }
  if (negative) value = -value;
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(value);
}

int32_t Wrap(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

std::string Format(const char* format, const std::string& arg) {
  char message[1024];
  std::snprintf(message, sizeof message, format, arg.c_str());
  return message;
}

// Stores an assigned value (already clamped to the token's range) and lets the stage follow.
void AssignToken(cFlowStage& stage, cCharaBase* e, const cExprToken& t, int32_t j) {
  if (t.nKind != TK_CHARA_STATUS) {
    WriteStatusPlace(t.place, j);
    if (t.nKind == TK_SYSTEM_STATUS) AfterSystemStatusChange(stage, t.nIndex);
    return;
  }
  const int st = t.nIndex;
  cCharaBase* c = t.pOwner;
  if (st >= ES_X_REL && st <= ES_X_SCR) {
    SetStatusX(stage, j, c, st - ES_X_REL);
    return;
  }
  if (st >= ES_Y_REL && st <= ES_Y_SCR) {
    const int point = g_SystemData.CompatExprYCentre() ? Y_POINT_CENTRE : Y_POINT_FOOT_WHEN_WALKING;
    SetStatusY(stage, j, c, st - ES_Y_REL, point);
    return;
  }
  WriteStatusPlace(t.place, j);
  switch (st) {
    case ES_HP:
      if (c != e && stage.Hp(c) < 1) stage.RequestHpCheck();
      break;
    case ES_MHP: ClampValue(&stage.Hp(c), 1, j); break;
    case ES_MSP: ClampValue(&stage.Sp(c), 1, j); break;
    case ES_SIGHT:
      if (stage.Side(c) == 0) stage.SetSightRadius(c, j * HBL_DOTS);
      break;
    default: break;
  }
}

}  // namespace

int32_t cCodeEval::EvalFlat(const std::string& text) {
  std::vector<cExprToken> tokens;
  std::string w;
  int obj = OBJ_MY;
  bool bJustPushed = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char ch = i < text.size() ? text[i] : '\0';
    if (ch != ' ' && ch != '\0') {
      if (ch != '.') {
        w += ch;
        continue;
      }
      int found = FindName(g_ExprObjNames, w);
      if (found >= 0)
        obj = found;
      else if (!bJustPushed)
        return Fail(Format("オブジェクト \"%s.\" が認識できません！", w));
      // An unknown prefix after a completed token is dropped and the object stays.
      w.clear();
      bJustPushed = false;
      continue;
    }
    if (w.empty()) continue;

    cExprToken token;
    if (int op = FindName(g_ExprOpNames, w); op >= 0) {
      token.nKind = TK_OPERATOR;
      token.nIndex = op;
    } else {
      cCharaBase* owner = nullptr;
      if (obj == OBJ_MY)
        owner = m_pChara;
      else if (obj >= OBJ_TG && obj <= OBJ_TG4) {
        owner = m_pChara ? m_stage.Target(m_pChara, obj == OBJ_TG ? 0 : obj - OBJ_TG1) : nullptr;
        if (!owner) return Fail();  // an empty target slot fails without a message
      } else if (obj == OBJ_PL) {
        owner = m_stage.Hero();
        if (!owner) return Fail();
      }
      if (FindName(g_ExprVarPrefixes, w.substr(0, 1)) >= 0) {
        cSafeVector<int32_t>& vars = w[0] == 'C' ? g_SaveData.m_CommonVars : m_stage.StageVars();
        int32_t n = ParseInt(w.c_str() + 1);
        if (n < 0 || n >= static_cast<int32_t>(vars.size())) return Fail(Format("変数 %s は範囲外です！", w));
        token.nKind = TK_VARIABLE;
        token.place = {&vars.At(n), STATUS_WIDTH_INT};
        token.nValue = vars.At(n);
      } else if (int st = FindName(g_ExprCharaStatusNames, w); st >= 0) {
        if (!owner) return Fail(Format("sys にキャラクターのステータス %s はありません！", w));
        token.nKind = TK_CHARA_STATUS;
        token.nIndex = st;
        token.pOwner = owner;
        int kind = st <= ES_V8 ? CSTAT_VAR : (st <= ES_MSP ? CSTAT_HP + (st - ES_HP) : g_ExprCharaKinds[st - ES_CID]);
        const cStatusLimits& range = g_CharaStatusTable[kind].expr;
        token.nMin = range.nMin;
        token.nMax = range.nMax;
        if (st == ES_HP) token.nMax = m_stage.Def(owner).m_nMaxHp;
        if (st == ES_SP) token.nMax = m_stage.Def(owner).m_nMaxSp;
        if (kind == CSTAT_X || kind == CSTAT_Y) {
          int mode = kind == CSTAT_X ? st - ES_X_REL : st - ES_Y_REL;
          int ok = kind == CSTAT_X ? GetStatusX(m_stage, &token.nValue, owner, mode, m_pChara)
                                   : GetStatusY(m_stage, &token.nValue, owner, mode, 0, m_pChara);
          if (!ok) return Fail();
        } else {
          int var = st - ES_V1 + 1;
          if (kind == CSTAT_VAR && (var >= static_cast<int>(m_stage.Vars(owner).size())))
            return Fail(Format("変数 %s は範囲外です！", w));
          token.place = CharaStatusPlace(m_stage, owner, kind, var);
          token.nValue = ReadStatusPlace(token.place);
        }
      } else if (int sys = FindName(g_ExprSysStatusNames, w); sys >= 0) {
        token.nKind = TK_SYSTEM_STATUS;
        token.nIndex = sys;
        token.place = {SystemStatusPlace(m_stage, sys), STATUS_WIDTH_INT};
        token.nValue = ReadSystemStatusOperand(m_stage, sys, false);
        token.nMin = g_SystemStatusTable[sys].limits.nMin;
        token.nMax = g_SystemStatusTable[sys].limits.nMax;
        // Unlimited lives stay unlimited whatever is assigned.
        if (sys == SSTAT_LIVES && g_SaveData.m_nLives == LIVES_INFINITE) token.nMin = token.nMax = LIVES_INFINITE;
      } else {
        token.nValue = ParseInt(w.c_str());
      }
    }
    // An operator token keeps the value 0: folded as the operand of a neighbouring operator, it
    // counts as 0.
    tokens.push_back(token);
    w.clear();
    obj = OBJ_MY;
    bJustPushed = true;
  }

  // An empty text has the value 0.
  int32_t result = tokens.empty() ? 0 : tokens.back().nValue;
  const bool bOldFold = g_SystemData.CompatExprFold() != 0;
  for (int pass = 0; pass < 3; ++pass) {
    for (;;) {
      size_t i = 0;
      while (i < tokens.size() && !(tokens[i].nKind == TK_OPERATOR && g_ExprOpPass[tokens[i].nIndex] == pass)) ++i;
      if (i == tokens.size()) break;
      const int op = tokens[i].nIndex;
      // The neighbours are whatever tokens stand there, operators included.
      const bool bLeft = i > 0;
      const bool bRight = i + 1 < tokens.size();
      if (op == OP_ASSIGN && (!bLeft || tokens[i - 1].nKind == TK_CONSTANT || tokens[i - 1].nKind == TK_OPERATOR))
        return Fail("代入先が不正です！");
      // A missing neighbour is reported and ends the run instead of reading outside the tokens.
      if (!bLeft || !bRight) return Fail(Format("演算子 %s の項がありません！", g_ExprOpNames[op]));
      cExprToken& left = tokens[i - 1];
      const int32_t a = left.nValue;
      const int32_t b = tokens[i + 1].nValue;
      int32_t j = 0;
      switch (op) {
        case OP_ADD: j = Wrap(int64_t{a} + b); break;
        case OP_SUB: j = Wrap(int64_t{a} - b); break;
        case OP_MUL: j = Wrap(int64_t{a} * b); break;
        case OP_DIV:
        case OP_MOD:
          if (b == 0) return Fail(Format("0除算が行われました！(%s)", text));
          // In 64 bits INT_MIN / -1 is an ordinary quotient that wraps back to INT_MIN.
          j = Wrap(op == OP_DIV ? int64_t{a} / b : int64_t{a} % b);
          break;
        default:
          j = b;
          ClampValue(&j, left.nMin, left.nMax);
          AssignToken(m_stage, m_pChara, left, j);
          break;
      }
      cExprToken folded;
      folded.nValue = j;
      // Old projects fold only the left operand and the operator; the right one stays behind.
      tokens.erase(tokens.begin() + static_cast<long>(i) - 1,
                   tokens.begin() + static_cast<long>(i) + (bOldFold ? 1 : 2));
      tokens.insert(tokens.begin() + static_cast<long>(i) - 1, folded);
      result = j;
    }
  }
  return result;
}
