#include "platform/system/detail/registry_store.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "platform/ascii.h"
#include "platform/system/registry.h"

namespace platform::detail {

namespace {

constexpr const char* kRoots[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

std::string parentOf(std::string_view path) {
  const auto slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string quote(std::string_view s) {
  std::string out = "\"";
  // Line breaks are written as \n and \r, so a value stays on its line and cannot add keys.
  for (const char c : s) {
    switch (c) {
      case '"':
      case '\\': out += '\\', out += c; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += c;
    }
  }
  return out + "\"";
}

// Reads a quoted text at the start of s; the rest after the closing quote is left in s.
std::optional<std::string> unquote(std::string_view& s) {
  if (s.empty() || s[0] != '"') return std::nullopt;
  std::string out;
  for (size_t i = 1; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size()) {
      ++i;
      out += s[i] == 'n' ? '\n' : s[i] == 'r' ? '\r' : s[i];
    } else if (s[i] == '"') {
      s.remove_prefix(i + 1);
      return out;
    } else {
      out += s[i];
    }
  }
  return std::nullopt;
}

std::optional<std::vector<BYTE>> hexBytes(std::string_view s) {
  std::vector<BYTE> out;
  while (!s.empty()) {
    if (s.size() < 2 || !std::isxdigit(static_cast<unsigned char>(s[0])) || !std::isxdigit(static_cast<unsigned char>(s[1])))
      return std::nullopt;
    out.push_back(BYTE(std::stoi(std::string(s.substr(0, 2)), nullptr, 16)));
    s.remove_prefix(2);
    if (!s.empty()) {
      if (s[0] != ',') return std::nullopt;
      s.remove_prefix(1);
    }
  }
  return out;
}

// One value line: NAME=KIND:DATA with NAME quoted or "@".
std::optional<RegistryValue> parseValue(std::string_view line) {
  RegistryValue v;
  if (line.starts_with("@")) {
    line.remove_prefix(1);
  } else {
    auto name = unquote(line);
    if (!name || name->empty()) return std::nullopt;
    v.name = *name;
  }
  if (!line.starts_with("=")) return std::nullopt;
  line.remove_prefix(1);
  if (line.starts_with("sz:")) {
    line.remove_prefix(3);
    auto text = unquote(line);
    if (!text || !line.empty()) return std::nullopt;
    v.type = REG_SZ;
    v.data.assign(text->begin(), text->end());
    v.data.push_back(0);
  } else if (line.starts_with("dword:")) {
    line.remove_prefix(6);
    if (line.size() != 8) return std::nullopt;
    auto bytes = hexBytes(std::string(line.substr(0, 2)) + "," + std::string(line.substr(2, 2)) + "," + std::string(line.substr(4, 2)) + "," +
                          std::string(line.substr(6, 2)));
    if (!bytes) return std::nullopt;
    v.type = REG_DWORD;
    v.data = {(*bytes)[3], (*bytes)[2], (*bytes)[1], (*bytes)[0]};  // the text is big-endian
  } else if (line.starts_with("hex(")) {
    const auto close = line.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    unsigned type = 0;
    for (const char c : line.substr(4, close - 4)) {
      if (!std::isdigit(static_cast<unsigned char>(c)) || type > 100000) return std::nullopt;
      type = type * 10 + unsigned(c - '0');
    }
    auto bytes = hexBytes(line.substr(close + 2));
    if (!bytes) return std::nullopt;
    v.type = type;
    v.data = std::move(*bytes);
  } else {
    return std::nullopt;
  }
  return v;
}

}  // namespace

std::string lowerCase(std::string_view s) { return ascii::lowered(s); }

RegistryStore::RegistryStore() {
  for (const char* root : kRoots) keys_[lowerCase(root)].path = root;
}

RegistryKey* RegistryStore::find(std::string_view path) {
  auto it = keys_.find(lowerCase(path));
  return it == keys_.end() ? nullptr : &it->second;
}

std::pair<RegistryKey*, bool> RegistryStore::create(std::string_view path) {
  if (RegistryKey* k = find(path)) return {k, false};
  const std::string parent = parentOf(path);
  if (parent.empty() || !create(parent).first) return {nullptr, false};
  RegistryKey& k = keys_[lowerCase(path)];
  k.path = std::string(path);
  return {&k, true};
}

bool RegistryStore::remove(std::string_view path) {
  if (parentOf(path).empty()) return false;  // the roots stay
  return keys_.erase(lowerCase(path)) > 0;
}

std::vector<const RegistryKey*> RegistryStore::children(std::string_view path) const {
  const std::string prefix = lowerCase(path) + "\\";
  std::vector<const RegistryKey*> out;
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.starts_with(prefix); ++it)
    if (it->first.find('\\', prefix.size()) == std::string::npos) out.push_back(&it->second);
  return out;
}

std::string RegistryStore::serialize() const {
  std::ostringstream out;
  for (const auto& [lower, key] : keys_) {
    if (key.values.empty() && !children(key.path).empty()) continue;  // implied by its subkeys
    if (parentOf(key.path).empty() && key.values.empty()) continue;   // an empty root
    out << '[' << key.path << "]\n";
    for (const auto& [lowerName, v] : key.values) {
      out << (v.name.empty() ? std::string("@") : quote(v.name)) << '=';
      if (v.type == REG_SZ && !v.data.empty() && v.data.back() == 0 &&
          std::find(v.data.begin(), v.data.end() - 1, BYTE(0)) == v.data.end() - 1) {
        out << "sz:" << quote(std::string(v.data.begin(), v.data.end() - 1));
      } else if (v.type == REG_DWORD && v.data.size() == 4) {
        char buf[9];
        std::snprintf(buf, sizeof buf, "%02x%02x%02x%02x", v.data[3], v.data[2], v.data[1], v.data[0]);
        out << "dword:" << buf;
      } else {
        out << "hex(" << v.type << "):";
        for (size_t i = 0; i < v.data.size(); ++i) {
          char buf[4];
          std::snprintf(buf, sizeof buf, i ? ",%02x" : "%02x", v.data[i]);
          out << buf;
        }
      }
      out << '\n';
    }
    out << '\n';
  }
  return out.str();
}

int RegistryStore::parse(std::string_view text) {
  *this = RegistryStore();
  int skipped = 0;
  RegistryKey* current = nullptr;
  std::istringstream in{std::string(text)};
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';') continue;
    if (line.front() == '[' && line.back() == ']') {
      const std::string path = line.substr(1, line.size() - 2);
      bool rooted = false;
      for (const char* root : kRoots) rooted |= lowerCase(path) == lowerCase(root) || lowerCase(path).starts_with(lowerCase(root) + "\\");
      current = rooted && path.find("\\\\") == std::string::npos && !path.ends_with("\\") ? create(path).first : nullptr;
      if (!current) ++skipped;
      continue;
    }
    auto v = current ? parseValue(line) : std::nullopt;
    if (!v) {
      ++skipped;
      continue;
    }
    current->values[lowerCase(v->name)] = std::move(*v);
  }
  return skipped;
}

}  // namespace platform::detail
