#include "wrapper/accessors.h"

#include <array>

namespace kestrel::wrapper {

namespace {

constexpr Accessor kAccessors[] = {
#define X(name, property, readProperty, type, shape, fallback, attachment) \
  {#name, property, readProperty, ValueType::type, Shape::shape, Default::fallback, Attachment::attachment},
#include "wrapper/accessor_list.inc"
#undef X
};

}  // namespace

std::span<const Accessor> Accessors() { return kAccessors; }

}  // namespace kestrel::wrapper
