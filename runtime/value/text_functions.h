// The text functions LEFT, RIGHT, CENTER and SUB as pure calculations on lengths, so that the
// value stack can carry them out without copying where the result is a part of the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tamsil {

enum class Justify { Left = 0, Right = 1, Centre = 2 };

// A justified text: `lead` blanks, then `body` (a part of the original), then `trail` blanks.
struct JustifiedText {
  std::size_t lead = 0;
  std::string_view body;
  std::size_t trail = 0;
  std::size_t size() const { return lead + body.size() + trail; }
};

// The text justified in a width: width -1 is the text's own length; any other negative width
// gives the empty text. A mode outside 0..2 justifies left.
//   left:   the text without leading blanks, blanks after it; a text that is empty or starts
//           with a non-blank is only cut or padded;
//   right:  the text without trailing blanks, blanks before it; kept: its last `width` chars;
//   centre: the text without blanks either side, (width - n + 1) / 2 blanks before it; too long,
//           it loses (n - width + 1) / 2 characters on the left.
// A text that is all blanks is only cut or padded.
JustifiedText justifyText(std::string_view text, int mode, std::int32_t width);

// The part SUB(text, start, length) takes of a text of n characters: a negative start counts
// from the end (at most back to the first character), start 0 is the first character, a start
// beyond the end gives nothing; length -1 is the rest, any other negative length nothing.
struct TextRange {
  std::size_t offset = 0, count = 0;
};
TextRange subTextRange(std::size_t n, std::int32_t start, std::int32_t length);

}  // namespace tamsil
