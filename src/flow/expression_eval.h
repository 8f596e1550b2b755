// Inside the expression language: one evaluation of a code text for one character.
#pragma once

#include <cstdint>
#include <string>

#include "flow/flow_stage.h"

class cCodeEval {
 public:
  cCodeEval(cFlowStage& stage, cCharaBase* e) : m_stage(stage), m_pChara(e) {}

  // Resolves groups and function calls by rewriting, then evaluates the flat rest.
  int32_t Eval(const std::string& text, int depth);
  // A text without groups: tokens, then the three folding passes.
  int32_t EvalFlat(const std::string& text);

  bool HasError() const { return m_bError; }

 private:
  // Shows the error box and marks the run failed; returns 0 for the callers' convenience.
  int32_t Fail(const std::string& message);
  int32_t Fail() {
    m_bError = true;
    return 0;
  }
  // The rand call whose "(" stands at `open`: its value and the position after its ")"; false
  // when the evaluation of this text must stop.
  bool CallRand(const std::string& text, size_t open, int depth, int32_t* value, size_t* end);

  cFlowStage& m_stage;
  cCharaBase* m_pChara;
  bool m_bError = false;
};
