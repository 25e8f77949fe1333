#include "runtime/file/trace_format.h"

#include <cstdio>
#include <cstring>

#include "runtime/file/codes.h"

namespace tamsil::file {

namespace {

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool isStringType(int type) { return type == TypeString || type == TypeCString || type == TypePString; }

std::string quoted(std::string_view keyword, std::string_view value) { return std::string(keyword) + "('" + std::string(value) + "')"; }

// A fixed-size little-endian number out of the record.
template <class T>
T read(const std::byte* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

std::string elementText(int type, const std::byte* p, std::uint32_t size) {
  char buf[64];
  switch (type) {
    case TypeByte: return hexText({p, 1});
    case TypeShort: return std::to_string(read<std::int16_t>(p));
    case TypeUShort: return std::to_string(read<std::uint16_t>(p));
    case TypeLong: return std::to_string(read<std::int32_t>(p));
    case TypeULong: return std::to_string(read<std::uint32_t>(p));
    case TypeDate: return dateValueText(read<std::uint32_t>(p));
    case TypeTime: return timeValueText(read<std::uint32_t>(p));
    case TypeSReal: std::snprintf(buf, sizeof buf, "%g", double(read<float>(p))); return buf;
    case TypeReal: std::snprintf(buf, sizeof buf, "%.15g", read<double>(p)); return buf;
    case TypeString: return std::string(reinterpret_cast<const char*>(p), size);
    case TypeCString: {
      const auto* c = reinterpret_cast<const char*>(p);
      return std::string(c, strnlen(c, size));
    }
    case TypePString: {
      const std::uint32_t n = size ? std::min<std::uint32_t>(std::uint32_t(p[0]), size - 1) : 0;
      return std::string(reinterpret_cast<const char*>(p) + 1, n);
    }
    default: return hexText({p, size});
  }
}

// Bytes of one element in the record.
std::uint32_t elementBytes(const FieldDeclaration& f) {
  switch (f.type) {
    case TypeByte: return 1;
    case TypeShort:
    case TypeUShort: return 2;
    case TypeLong:
    case TypeULong:
    case TypeDate:
    case TypeTime:
    case TypeSReal: return 4;
    case TypeReal: return 8;
    default: return f.size;
  }
}

}  // namespace

std::string traceColumns(std::string_view label, std::string_view text) {
  std::string line(label);
  line.resize(std::max(line.size() + 1, kTraceValueColumn - 1), ' ');
  line.append(text);
  return line;
}

std::vector<std::string> declarationLines(const FileDeclaration& file) {
  std::vector<std::string> lines;
  std::string head = "FILE," + quoted("DRIVER", file.driver);
  if (!file.owner.empty()) head += ",OWNER(******)";
  if (!file.name.empty()) head += "," + quoted("NAME", file.name);
  if (file.create) head += ",CREATE";
  if (file.encrypt) head += ",ENCRYPT";
  if (file.reclaim) head += ",RECLAIM";
  if (file.thread) head += ",THREAD";
  lines.push_back(traceColumns(file.label, head));
  for (const KeyDeclaration& k : file.keys) {
    std::string text = k.index ? "INDEX(" : "KEY(";
    for (std::size_t i = 0; i < k.components.size(); ++i) {
      const int c = k.components[i];
      if (i) text += ',';
      text += c >= 0 && std::size_t(c) < file.fields.size() ? file.fields[std::size_t(c)].label : "?";
    }
    text += ')';
    if (k.opt) text += ",OPT";
    if (k.nocase) text += ",NOCASE";
    if (k.primary) text += ",PRIMARY";
    if (!k.name.empty()) text += "," + quoted("NAME", k.name);
    lines.push_back(traceColumns(k.label, text));
  }
  for (const MemoDeclaration& m : file.memos) {
    std::string text = m.blob ? "BLOB" : "MEMO(" + std::to_string(m.size) + ")";
    if (!m.name.empty()) text += "," + quoted("NAME", m.name);
    if (m.binary) text += ",BINARY";
    lines.push_back(traceColumns(m.label, text));
  }
  lines.push_back(traceColumns("", "RECORD"));
  char buf[64];
  for (const FieldDeclaration& f : file.fields) {
    std::string text(dataTypeName(f.type));
    if (f.type == TypeDecimal || f.type == TypePDecimal) {
      std::snprintf(buf, sizeof buf, "(%u,%u)", f.digits, f.places);
      text += buf;
    } else if (isStringType(f.type)) {
      if (!f.picture.empty()) text += "(@" + f.picture + ")";
      else text += "(" + std::to_string(f.size) + ")";
    }
    if (f.dim > 1) text += ", DIM(" + std::to_string(f.dim) + ")";
    if (!f.over.empty()) text += ", OVER(" + f.over + ")";
    if (!f.name.empty()) text += ", " + quoted("NAME", f.name);
    lines.push_back(traceColumns(f.label, text));
  }
  lines.push_back(traceColumns("", "END"));
  lines.push_back(traceColumns("", "END"));
  return lines;
}

std::string dateValueText(std::uint32_t packed) {
  const unsigned day = packed & 0xFF, month = (packed >> 8) & 0xFF, year = packed >> 16;
  char buf[64];
  if (day < 1 || day > 31 || month < 1 || month > 12) std::snprintf(buf, sizeof buf, "Invalid date (%ld)", long(std::int32_t(packed)));
  else std::snprintf(buf, sizeof buf, "%02u %s %u (%ld)", day, kMonths[month - 1], year, long(std::int32_t(packed)));
  return buf;
}

std::string timeValueText(std::uint32_t packed) {
  const unsigned h = packed >> 24, m = (packed >> 16) & 0xFF, s = (packed >> 8) & 0xFF, cs = packed & 0xFF;
  char buf[64];
  if (h >= 24 || m >= 60 || s >= 60) std::snprintf(buf, sizeof buf, "Invalid time (%ld)", long(std::int32_t(packed)));
  else std::snprintf(buf, sizeof buf, "%02u:%02u:%02u.%02u (%ld)", h, m, s, cs, long(std::int32_t(packed)));
  return buf;
}

std::string hexText(std::span<const std::byte> bytes) {
  std::string out;
  char buf[4];
  for (std::byte b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X", unsigned(b));
    out += buf;
  }
  if (bytes.size() == 1) out += 'H';
  return out;
}

std::string fieldValueText(const FieldDeclaration& f, std::span<const std::byte> record) {
  const std::uint64_t element = elementBytes(f);
  const std::uint64_t count = f.dim > 1 ? f.dim : 1;
  if (element == 0 || f.offset + element * count > record.size()) return "<outside record>";
  std::string text;
  for (std::uint64_t i = 0; i < count; ++i) {
    if (i) text += ", ";
    text += elementText(f.type, record.data() + f.offset + i * element, std::uint32_t(element));
  }
  return text;
}

std::vector<std::string> recordLines(const FileDeclaration& file, std::span<const std::byte> record) {
  std::vector<std::string> lines;
  for (const FieldDeclaration& f : file.fields)
    if (f.type != TypeGroup) lines.push_back(traceColumns(f.label, fieldValueText(f, record)));
  return lines;
}

std::vector<std::string> keyLines(const FileDeclaration& file, std::size_t key, std::span<const std::byte> record) {
  std::vector<std::string> lines;
  if (key >= file.keys.size()) return lines;
  for (int c : file.keys[key].components)
    if (c >= 0 && std::size_t(c) < file.fields.size())
      lines.push_back(traceColumns(file.fields[std::size_t(c)].label, fieldValueText(file.fields[std::size_t(c)], record)));
  return lines;
}

}  // namespace tamsil::file
