#include "components/spread/model/number_chars.h"

#include <charconv>

namespace spread {

char* FixedChars(char* out, double value, int places) {
  return std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::fixed, places).ptr;
}

char* ScientificChars(char* out, double value, int places) {
  char* const end = std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::scientific, places).ptr;
  for (char* p = out; p != end; ++p)  // the exponent's letter, and "INF" and "NAN" as printf has them
    if (*p >= 'a' && *p <= 'z') *p = char(*p - 'a' + 'A');
  return end;
}

char* GeneralChars(char* out, double value) { return std::to_chars(out, out + kNumberCharsSize, value, std::chars_format::general, 15).ptr; }

}  // namespace spread
