// The runtime's own allocations come from its heap: value stack texts, evaluator trees, window
// definition buffers.
#include <gtest/gtest.h>

#include <string>

#include "runtime/core/thread_context.h"
#include "runtime/eval/evaluator.h"
#include "runtime/eval/tree.h"
#include "runtime/heap/heap.h"
#include "runtime/value/value_stack.h"
#include "runtime/window/definition_reader.h"

namespace tamsil {
namespace {

TEST(RuntimeAllocations, ValueStackTextsAreHeapBlocks) {
  ThreadContextScope context;
  const std::string text(100, 'k');
  PushZeroText(text.c_str());
  PushZeroText(text.c_str());
  Concatenate();
  StackEntry joined = threadValueStack().Take();
  ASSERT_EQ(joined.storage, EntryStorage::Owned);
  EXPECT_GE(HeapBlockSize(joined.address), 200u);
  // Handed over by the caller and freed by the stack.
  auto* block = static_cast<char*>(Allocate(40));
  PushOwnedText(block, 40);
  EXPECT_EQ(threadValueStack().Take().address, block);
}

TEST(RuntimeAllocations, ExpressionTreesAreHeapBlocks) {
  ThreadContextScope context;
  const std::unique_ptr<Expression> tree = compileExpression("LEN('heap') + 2 * 3");
  ASSERT_TRUE(tree);
  EXPECT_GE(HeapBlockSize(tree.get()), sizeof(Expression));
  EXPECT_GE(HeapBlockSize(tree->nodes.data()), tree->nodes.size() * sizeof(Node));
  ASSERT_FALSE(tree->texts.empty());
  EXPECT_EQ(tree->texts[0], "heap");
}

TEST(RuntimeAllocations, DefinitionBuffersAreHeapBlocks) {
  const std::uint8_t body[300] = {1, 2, 3};
  const window::DefinitionBuffer buffer = window::makeDefinitionBuffer(body);
  EXPECT_GE(HeapBlockSize(buffer.data()), sizeof body + 2);
  EXPECT_EQ(buffer[2], 1);
}

TEST(RuntimeAllocations, ForeignAddressesAreNoHeapBlocks) {
  const std::string text(100, 'x');
  EXPECT_EQ(HeapBlockSize(text.data()), 0u);
  EXPECT_EQ(HeapBlockSize(&text), 0u);
}

}  // namespace
}  // namespace tamsil
