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
    if (text[i] == '(') ++depth;
    else if (text[i] == ')' && --depth == 0) return i;
  }
  return NOT_FOUND;
}

std::string Splice(const std::string& text, size_t from, size_t to, int32_t value) {
  return text.substr(0, from) + std::to_string(value) + text.substr(to);
}

bool IsBlankText(const std::string& text) { return text.find_first_not_of(' ') == NOT_FOUND; }

}  // namespace

int32_t cCodeEval::Fail(const std::string& message) {
  ErrorBoxf(message.c_str());
  return Fail();
}

int32_t cCodeEval::Eval(std::string text, int depth) {
  // Each level of parentheses or rand arguments is one level of recursion.
  if (depth > EXPR_MAX_NESTING) return Fail("括弧の入れ子が深すぎます！");
  size_t wordStart = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    const char ch = text[pos];
    if (ch == ' ') {
      wordStart = ++pos;
      continue;
    }
    if (ch != '(') {
      ++pos;
      continue;
    }
    if (pos == wordStart) {
      size_t close = FindClose(text, pos);
      if (close == NOT_FOUND) return Fail("\")\"が見つかりません！");
      int32_t value = Eval(text.substr(pos + 1, close - pos - 1), depth + 1);
      text = Splice(text, wordStart, close + 1, value);
      pos = wordStart;
      continue;
    }
    if (text.compare(wordStart, pos - wordStart, FUNC_RAND) == 0) {
      if (!ReplaceRand(text, wordStart, pos, depth)) return 0;
      pos = wordStart;
      continue;
    }
    ++pos;  // not a function: an ordinary character of the word
  }
  return EvalFlat(text);
}

bool cCodeEval::ReplaceRand(std::string& text, size_t wordStart, size_t open, int depth) {
  const std::string name = text.substr(wordStart, open - wordStart);
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
      text = Splice(text, wordStart, i + 1, RandRange(args[0], args[1]));
      return true;
    }
    if (ch == '(') ++nesting;
    else if (ch == ')') --nesting;
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
  // A code command left empty is a script mistake like any other, not a silent no-op.
  if (IsBlankText(text)) {
    ErrorBoxf("コードが空です！");
    return 0;
  }
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
