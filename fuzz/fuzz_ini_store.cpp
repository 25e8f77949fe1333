// An INI file is the user's and may be damaged, and the values a program stores may hold
// anything: opening a store on any file (which reads the sector list) must not fail, and a write
// either is refused and leaves the file as it was, or changes only its own entry and adds at most
// its own section. Input: the file's text, then the section, the entry name and the value, the
// four separated by 0x1F.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/ini/ini_store.h"
#include "platform/ascii.h"
#include "platform/system/profile.h"

namespace {

constexpr const char* kFile = "Fuzz.INI";

const std::filesystem::path& profileDir() {
  static const std::filesystem::path dir = [] {
    std::string templ = (std::filesystem::temp_directory_path() / "fuzz_ini_store.XXXXXX").string();
    if (!mkdtemp(templ.data())) std::abort();
    setenv("TAMSIL_PROFILE_DIR", templ.c_str(), 1);
    return std::filesystem::path(templ);
  }();
  return dir;
}

std::string fileText() {
  std::ifstream in(profileDir() / kFile, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::vector<std::string> names(const char* section) {
  std::vector<char> buffer(1 << 20);
  const std::uint32_t n = platform::GetPrivateProfileStringA(section, nullptr, "", buffer.data(), std::uint32_t(buffer.size()), kFile);
  std::vector<std::string> out;
  for (std::size_t at = 0; at < n; at += out.back().size() + 1) out.emplace_back(buffer.data() + at);
  return out;
}

// Every (section, key) the file holds with the value a read gives, by lower-case names.
std::map<std::pair<std::string, std::string>, std::string> contents() {
  std::map<std::pair<std::string, std::string>, std::string> out;
  for (const std::string& section : names(nullptr))
    for (const std::string& key : names(section.c_str())) {
      char value[1024];
      platform::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, kFile);
      out[{platform::ascii::lowered(section), platform::ascii::lowered(key)}] = value;
    }
  return out;
}

std::string trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return platform::ascii::lowered(s);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  std::string_view parts[4];
  for (int i = 0; i < 3; ++i) {
    const std::size_t cut = input.find('\x1f');
    if (cut == std::string_view::npos) return 0;
    parts[i] = input.substr(0, cut);
    input.remove_prefix(cut + 1);
  }
  parts[3] = input;
  const auto [text, section, name, value] = parts;
  std::ofstream(profileDir() / kFile, std::ios::binary | std::ios::trunc) << text;

  const std::string fileBefore = fileText();
  const auto before = contents();
  tamsil::framework::IniStore store;
  store.Open(kFile, tamsil::framework::StorageKind::IniFile);
  const bool written = store.Write(section, name, value);
  const auto after = contents();
  if (!written) {
    if (fileText() != fileBefore) std::abort();
    return 0;
  }
  // Every other entry reads as before; the only new one is the entry written.
  const std::pair<std::string, std::string> own{trimmed(section), trimmed(name)};
  for (const auto& [key, v] : before)
    if (key != own && (!after.count(key) || after.at(key) != v)) std::abort();
  for (const auto& [key, v] : after)
    if (key != own && !before.count(key)) std::abort();
  return 0;
}
