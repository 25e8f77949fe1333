// The registry's contents and their file form. The file is text, one key per section:
//
//   [HKEY_CURRENT_USER\Software\Kestrel24]
//   "Name"=sz:"text with \"quotes\", \\ backslashes and \n line breaks"
//   @=sz:"the default value"
//   "Count"=dword:0000002a
//   "Blob"=hex(3):01,ff,20
//
// Types other than sz and dword are written as hex(TYPE). Reading never fails: lines that make no
// sense are skipped and counted, so a damaged file loses only what is damaged.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace platform::detail {

struct RegistryValue {
  std::string name;  // as created; empty for the default value
  DWORD type = 0;
  std::vector<BYTE> data;
};

struct RegistryKey {
  std::string path;                             // full path as created, "HKEY_CURRENT_USER\Software\X"
  std::map<std::string, RegistryValue> values;  // by lower-case name
};

class RegistryStore {
 public:
  // Keys by lower-case full path; the four roots always exist.
  RegistryStore();

  RegistryKey* find(std::string_view path);
  // Creates the key and its missing parents; returns it and whether it was new.
  std::pair<RegistryKey*, bool> create(std::string_view path);
  bool remove(std::string_view path);                                     // the key alone
  std::vector<const RegistryKey*> children(std::string_view path) const;  // direct subkeys in name order

  std::string serialize() const;
  // Replaces the contents with what text holds; returns how many lines were skipped.
  int parse(std::string_view text);

 private:
  std::map<std::string, RegistryKey> keys_;
};

std::string lowerCase(std::string_view s);

}  // namespace platform::detail
