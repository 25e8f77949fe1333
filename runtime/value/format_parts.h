// The formatters of each picture family, called by format() once it knows how to read the value.
#pragma once

#include <cstdint>

#include "runtime/value/format.h"

namespace tamsil {

void formatText(std::string_view text, const CompiledPicture& picture, FormattedText& out);
void formatNumber(const DecimalDigits& value, const CompiledPicture& picture, FormattedText& out);
void formatDate(int64_t day, const CompiledPicture& picture, FormattedText& out);
void formatTime(int64_t time, const CompiledPicture& picture, FormattedText& out);

}  // namespace tamsil
