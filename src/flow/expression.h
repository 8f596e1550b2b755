// The expression language of the code-run command: a line such as "C1 = (my.hp + 5) * 2" that
// reads and assigns common, stage and character variables and statuses.
//
// Evaluation rewrites parentheses and rand(a, b) calls into their decimal values, then splits
// the flat text at blanks into tokens, reads every operand, and folds the operators in three
// passes (* / %, then + -, then =). Every script error shows an error box and makes the run fail;
// what was assigned before the error stays assigned.
#pragma once

#include <cstdint>
#include <string>

#include "flow/flow_stage.h"

// Deepest nesting of parentheses and rand calls that a text may have.
constexpr int EXPR_MAX_NESTING = 256;

// Runs the text for the executing character `e`: 1 on success, 0 when an error occurred. After a
// successful run a change of e's HP or SP starts its gauge.
int RunCode(cFlowStage& stage, const std::string& text, cCharaBase* e);

// The value of the text; *pbError is set when an error was reported.
int32_t EvalCode(cFlowStage& stage, const std::string& text, cCharaBase* e, bool* pbError);
