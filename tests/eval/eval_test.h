// Shared set-up of the evaluator tests: a runtime context for the test's thread (the evaluator,
// the value stack and the error state live in it).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "runtime/core/error_state.h"
#include "runtime/core/thread_context.h"
#include "runtime/eval/evaluator.h"

namespace tamsil::testing {

class EvalTest : public ::testing::Test {
 protected:
  ThreadContextScope context_;

  static int errorCode() { return currentErrorState().code; }
  static std::string errorText() {
    const std::string& t = currentErrorState().text;
    return t.substr(0, t.find_last_not_of(' ') + 1);
  }
  static std::string sql(std::string_view text, bool sort = false) {
    const auto tree = compileExpression(text);
    std::string out;
    if (tree) renderSql(*tree, out, sort);
    return out;
  }
};

}  // namespace tamsil::testing
