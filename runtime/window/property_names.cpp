#include "runtime/window/property_names.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_map>

namespace tamsil::window {

namespace {

// In number order, as propertyName's binary search needs; each number's first name comes first.
constexpr PropertyName kNames[] = {
#define RUNTIME_PROPERTY(name, number) {#name, prop::name, false},
#define RUNTIME_PROPERTY_SPELLED(name, text, number) {text, prop::name, false},
#define RUNTIME_PROPERTY_ALIAS(other, name) {#other, prop::name, true},
#include "runtime/window/property_list.inc"
#undef RUNTIME_PROPERTY
#undef RUNTIME_PROPERTY_SPELLED
#undef RUNTIME_PROPERTY_ALIAS
};
static_assert(std::is_sorted(std::begin(kNames), std::end(kNames),
                             [](const PropertyName& a, const PropertyName& b) { return a.number < b.number; }),
              "property_list.inc is in number order");

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// Built once, on first use, by whichever thread asks first (a function-local static).
const std::unordered_map<std::string, std::uint16_t>& byName() {
  static const auto map = [] {
    std::unordered_map<std::string, std::uint16_t> m;
    for (const PropertyName& p : kNames) m.emplace(upper(p.name), p.number);
    return m;
  }();
  return map;
}

}  // namespace

std::span<const PropertyName> propertyNames() { return kNames; }

std::optional<std::uint16_t> propertyNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "PROP:";
  std::string key = upper(name);
  if (std::string_view(key).starts_with(kPrefix)) key.erase(0, kPrefix.size());
  const auto& m = byName();
  const auto it = m.find(key);
  if (it == m.end()) return std::nullopt;
  return it->second;
}

std::string_view propertyName(std::uint16_t number) {
  const auto* p =
      std::lower_bound(std::begin(kNames), std::end(kNames), number, [](const PropertyName& n, std::uint16_t v) { return n.number < v; });
  return p != std::end(kNames) && p->number == number ? p->name : std::string_view();
}

}  // namespace tamsil::window
