// The text operations the evaluator's functions share with the rest of the runtime: clipping,
// justification, sub-texts, repetition, case, substring and list search, text comparison and the
// text of a real. The evaluator calls only these, so they are the one place that ties it to the
// value stack.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tamsil::textops {

enum class Justify : int { Left = 0, Right = 1, Center = 2 };

std::string clip(std::string_view text);                                  // CLIP
std::string justify(std::string_view text, Justify mode, int64_t width);  // width -1: own length
std::string sub(std::string_view text, int64_t start, int64_t length);    // length -1: the rest
std::string repeat(std::string_view text, int64_t length);
std::string upper(std::string_view text);
std::string lower(std::string_view text);
// Position of pattern in text by the substring search (step 0: the pattern's length).
int64_t inString(std::string_view pattern, std::string_view text, int64_t step, int64_t start);
// 1-based position of value among list (text comparison), 0 when absent.
int64_t inList(std::string_view value, std::span<const std::string> list);
// The runtime's text comparison: blank-padded, by collation weight. Negative, 0 or positive.
int compare(std::string_view a, std::string_view b);
// A real with 15 significant digits, as the value stack writes it.
std::string realToText(double v);

}  // namespace tamsil::textops
