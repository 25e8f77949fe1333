// The expression evaluator: parses texts that exist only at run time (filters typed by a user,
// formulas kept in INI files) into trees, computes them, and renders them as SQL. Names in an
// expression are built-in functions, the operator keywords AND, OR, XOR and NOT, or program
// variables and procedures made visible with BIND.
//
// Each thread has its own evaluator (built-in table and binding scopes), kept in its
// ThreadContext; a thread without a context has none. Failures are posted to the thread's error
// state as 1010 to 1014, never over an error already posted.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/eval/binding.h"
#include "runtime/eval/tree.h"
#include "runtime/eval/value.h"

namespace tamsil {

// Parses and computes the text; the value as text, or empty text after posting an error.
std::string EVALUATE(std::string_view text);

// The two halves of EVALUATE, for callers that keep a compiled filter. A failed parse posts
// 1010 (or 1011 for an unknown name) and gives null; its partial tree is already freed.
// evaluateTree and renderSql use the calling thread's value stack, so they too need the thread's
// runtime context.
std::unique_ptr<Expression> compileExpression(std::string_view text);
Value evaluateTree(const Expression& tree);

// Writes the tree as SQL text. In a sort expression a top unary minus is written as " DESC".
void renderSql(const Expression& tree, std::string& out, bool sortExpression = false);

// Binding scopes. The evaluator starts with one open scope. PUSHBIND opens a scope (the flag is
// accepted and has no effect), POPBIND closes the most recent one, 1012 when none is open; BIND
// and Unbind with no scope open post 1014. Names are cut at the first character that cannot
// belong to a name and compare without case. Each returns false on failure. A thread without a
// runtime context has neither an evaluator nor an error state: everything fails quietly there.
bool PUSHBIND(bool flag = false);
bool POPBIND();
// A variable (or array) that validVariable refuses, or a procedure without a body or with more
// required than allowed arguments, is not bound.
bool BIND(std::string_view name, const BoundVariable& variable);
bool BIND(std::string_view name, StorageType type, const void* address, size_t size = 0);
bool BIND(std::string_view name, BoundProcedure procedure);
bool Unbind(std::string_view name);

inline bool BIND(std::string_view name, const int32_t& v) { return BIND(name, StorageType::Long, &v); }
inline bool BIND(std::string_view name, const double& v) { return BIND(name, StorageType::Real, &v); }

}  // namespace tamsil
