#include "components/spread/model/metrics.h"

namespace spread {

double FixedMetrics::lineHeight(const TextFont& font) const { return font.size * pixelsPerPoint() * 1.25; }

double FixedMetrics::textWidth(const TextFont& font, std::string_view text) const {
  return double(text.size()) * font.size * pixelsPerPoint() * (font.bold ? 0.66 : 0.6);
}

std::vector<std::string> TextLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\n') continue;
    std::string_view line = text.substr(start, i - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    start = i + 1;
  }
  return lines;
}

std::vector<std::string> WrapText(const TextMetrics& m, const TextFont& font, std::string_view text, double width) {
  std::vector<std::string> out;
  const auto fits = [&](std::string_view s) { return m.textWidth(font, s) <= width; };
  for (const std::string& line : TextLines(text)) {
    std::string current;
    const size_t linesBefore = out.size();
    size_t i = 0;
    while (i < line.size()) {
      const size_t space = line.find(' ', i);
      const std::string word = line.substr(i, space == std::string::npos ? std::string::npos : space - i);
      i = space == std::string::npos ? line.size() : space + 1;
      const std::string joined = current.empty() ? word : current + " " + word;
      if (fits(joined)) {
        current = joined;
        continue;
      }
      if (!current.empty()) out.push_back(current), current.clear();
      // A word alone wider than the line: as many characters as fit on each line (at least one).
      std::string rest = word;
      while (!rest.empty() && !fits(rest)) {
        size_t n = 1;
        while (n < rest.size() && fits(std::string_view(rest).substr(0, n + 1))) ++n;
        out.push_back(rest.substr(0, n));
        rest.erase(0, n);
      }
      current = rest;
    }
    // The last piece of the line; an empty line is a line too.
    if (!current.empty() || out.size() == linesBefore) out.push_back(current);
  }
  return out;
}

}  // namespace spread
