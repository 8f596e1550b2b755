#include "flow/expression.h"

#include <cstdio>
#include <vector>

#include "core/message_box.h"
#include "core/rand_range.h"
#include "flow/expression_eval.h"
#include "flow/operate.h"

namespace {

const char* const FUNC_RAND = "rand";
constexpr size_t NOT_FOUND = std::string::npos;

// The ")" that closes the "(" at `open`, counting nested pairs.
size_t FindClose(const std::string& text, size_t open) {
  int depth = 0;
  for (size_t i = open; i < text.size(); ++i) {
    if (text[i] == '(')
      ++depth;
    else if (text[i] == ')' && --depth == 0)
      return i;
  }
  return NOT_FOUND;
}

}  // namespace

int32_t cCodeEval::Fail(const std::string& message) {
  ErrorBoxf(message.c_str());
  return Fail();
}

int32_t cCodeEval::Eval(const std::string& text, int depth) {
  // Each level of parentheses or rand arguments is one level of recursion.
  if (depth > EXPR_MAX_NESTING) return Fail("括弧の入れ子が深すぎます！");
  // The text with every group and call replaced by its value, built in one pass: the digits of a
  // value are never a blank, a "(" or a function name, so reading them again changes nothing, and
  // a long text is not copied once per group.
  std::string flat;
  flat.reserve(text.size());
  size_t wordStart = 0;  // in `flat`
  size_t pos = 0;
  while (pos < text.size()) {
    const char ch = text[pos];
    if (ch != '(') {
      flat += ch;
      ++pos;
      if (ch == ' ') wordStart = flat.size();
      continue;
    }
    if (flat.size() == wordStart) {
      size_t close = FindClose(text, pos);
      if (close == NOT_FOUND) return Fail("\")\"が見つかりません！");
      flat += std::to_string(Eval(text.substr(pos + 1, close - pos - 1), depth + 1));
      pos = close + 1;
      continue;
    }
    if (flat.compare(wordStart, NOT_FOUND, FUNC_RAND) == 0) {
      int32_t value = 0;
      if (!CallRand(text, pos, depth, &value, &pos)) return 0;
      flat.resize(wordStart);
      flat += std::to_string(value);
      continue;
    }
    flat += ch;  // not a function: an ordinary character of the word
    ++pos;
  }
  return EvalFlat(flat);
}

bool cCodeEval::CallRand(const std::string& text, size_t open, int depth, int32_t* value, size_t* end) {
  const std::string name = FUNC_RAND;
  std::vector<int32_t> args;
  std::string arg;
  int nesting = 0;
  for (size_t i = open + 1; i < text.size(); ++i) {
    const char ch = text[i];
    if (nesting == 0 && (ch == ',' || ch == ')')) {
      if (!arg.empty()) args.push_back(Eval(arg, depth + 1));
      arg.clear();
      if (ch == ',') continue;
      if (args.size() != 2) {
        char message[256];
        std::snprintf(message, sizeof message, "関数 %s の引数が不正です！", name.c_str());
        Fail(message);
        return false;
      }
      *value = RandRange(args[0], args[1]);
      *end = i + 1;
      return true;
    }
    if (ch == '(')
      ++nesting;
    else if (ch == ')')
      --nesting;
    arg += ch;
  }
  char message[256];
  std::snprintf(message, sizeof message, "関数 %s で\")\"が見つかりません！", name.c_str());
  Fail(message);
  return false;
}

int32_t EvalCode(cFlowStage& stage, const std::string& text, cCharaBase* e, bool* pbError) {
  cCodeEval eval(stage, e);
  int32_t value = eval.Eval(text, 0);
  if (pbError) *pbError = eval.HasError();
  return value;
}

int RunCode(cFlowStage& stage, const std::string& text, cCharaBase* e) {
  // An empty or blank text has no tokens: it runs, does nothing and succeeds.
  const int32_t hp = e ? stage.Hp(e) : 0;
  const int32_t sp = e ? stage.Sp(e) : 0;
  bool bError = false;
  EvalCode(stage, text, e, &bError);
  if (bError) return 0;
  if (e) {
    if (stage.Hp(e) != hp) stage.StartHpGauge(e, SaturatedDelta(stage.Hp(e), hp));
    if (stage.Sp(e) != sp) stage.StartSpGauge(e, SaturatedDelta(stage.Sp(e), sp));
  }
  return 1;
}
