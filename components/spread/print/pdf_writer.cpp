#include "components/spread/print/pdf_writer.h"

#include <cstdio>

namespace spread::files {
namespace {

// Helvetica's advance widths (thousandths of the size) for the characters 32 to 126.
constexpr std::uint16_t kWidths[95] = {278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
                                       556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
                                       611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
                                       667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
                                       222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};

std::string Num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.2f", v);
  return b;
}

std::string PdfString(std::string_view s) {
  std::string out = "(";
  for (const char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '(' || c == ')' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 32 || u > 126) {
      char b[8];
      std::snprintf(b, sizeof b, "\\%03o", u);
      out += b;
    } else {
      out += c;
    }
  }
  return out + ")";
}

}  // namespace

double HelveticaWidth(std::string_view ansi, bool bold, double size) {
  double units = 0;
  for (const char c : ansi) {
    const auto u = static_cast<unsigned char>(c);
    units += u >= 32 && u <= 126 ? kWidths[u - 32] : 556;
  }
  return units * size / 1000 * (bold ? 1.06 : 1.0);
}

std::string PdfWriter::colour(std::uint32_t rgb, bool fill) const {
  return Num((rgb & 0xFF) / 255.0) + " " + Num(((rgb >> 8) & 0xFF) / 255.0) + " " + Num(((rgb >> 16) & 0xFF) / 255.0) +
         (fill ? " rg\n" : " RG\n");
}

void PdfWriter::beginPage(double width, double height) {
  width_ = width;
  height_ = height;
  content_.clear();
}

void PdfWriter::fillRect(double x, double y, double w, double h, std::uint32_t rgb) {
  content_ += colour(rgb, true) + Num(x) + " " + Num(height_ - y - h) + " " + Num(w) + " " + Num(h) + " re f\n";
}

void PdfWriter::line(double x1, double y1, double x2, double y2, std::uint32_t rgb, double lineWidth) {
  content_ +=
      Num(lineWidth) + " w " + colour(rgb, false) + Num(x1) + " " + Num(height_ - y1) + " m " + Num(x2) + " " + Num(height_ - y2) + " l S\n";
}

void PdfWriter::text(double x, double y, std::string_view ansi, bool bold, double size, std::uint32_t rgb, double clipX, double clipY,
                     double clipW, double clipH) {
  if (ansi.empty()) return;
  content_ += "q\n";
  if (clipW > 0) content_ += Num(clipX) + " " + Num(height_ - clipY - clipH) + " " + Num(clipW) + " " + Num(clipH) + " re W n\n";
  content_ += colour(rgb, true) + "BT /" + (bold ? "F2 " : "F1 ") + Num(size) + " Tf " + Num(x) + " " + Num(height_ - y) + " Td " +
              PdfString(ansi) + " Tj ET\nQ\n";
}

double PdfWriter::textWidth(std::string_view ansi, bool bold, double size) const { return HelveticaWidth(ansi, bold, size); }

void PdfWriter::endPage() { pages_.push_back(Page{width_, height_, std::move(content_)}); }

std::string PdfWriter::finish(std::string_view title) {
  // Objects: 1 catalog, 2 page tree, 3 and 4 the fonts, 5 the document information, then a page
  // and its content stream for each page.
  std::string out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<std::size_t> offsets;
  const auto object = [&](const std::string& body) {
    offsets.push_back(out.size());
    out += std::to_string(offsets.size()) + " 0 obj\n" + body + "\nendobj\n";
  };
  std::string kids;
  for (size_t i = 0; i < pages_.size(); ++i) kids += std::to_string(6 + 2 * i) + " 0 R ";
  object("<< /Type /Catalog /Pages 2 0 R >>");
  object("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages_.size()) + " >>");
  object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
  object("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
  object("<< /Title " + PdfString(title) + " /Producer (Kestrel24) >>");
  for (size_t i = 0; i < pages_.size(); ++i) {
    const Page& p = pages_[i];
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + Num(p.width) + " " + Num(p.height) +
           "] /Resources << /Font << /F1 3 0 R /F2 4 0 R >> >> /Contents " + std::to_string(7 + 2 * i) + " 0 R >>");
    object("<< /Length " + std::to_string(p.content.size()) + " >>\nstream\n" + p.content + "\nendstream");
  }
  const std::size_t xref = out.size();
  out += "xref\n0 " + std::to_string(offsets.size() + 1) + "\n0000000000 65535 f \n";
  for (const std::size_t o : offsets) {
    char b[24];
    std::snprintf(b, sizeof b, "%010zu 00000 n \n", o);
    out += b;
  }
  out += "trailer\n<< /Size " + std::to_string(offsets.size() + 1) + " /Root 1 0 R /Info 5 0 R >>\nstartxref\n" + std::to_string(xref) +
         "\n%%EOF\n";
  return out;
}

}  // namespace spread::files
