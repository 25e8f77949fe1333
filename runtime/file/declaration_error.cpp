#include "runtime/file/declaration_error.h"

#include <cstdio>
#include <span>

#include "runtime/core/error_state.h"
#include "runtime/file/errors.h"
#include "runtime/value/locale.h"

namespace tamsil::file {

namespace {

constexpr std::string_view kSystem[] = {"Internal Error:  Property cannot be set", "Dynamic File Support Not Found"};
constexpr std::string_view kFileS[] = {"No File Driver Specified", "File Driver could not be loaded", "The DLL is not a valid file driver",
                                       "File Driver not defined", "The record structure is greater than 4,194,304 bytes in size"};
constexpr std::string_view kMismatch[] = {"Component does not match physical file structure"};
constexpr std::string_view kFieldS[] = {"Not a Valid Tamsil Label",
                                        "Duplicate Label",
                                        "No Type Specified",
                                        "Type requires a size and no size specified",
                                        "The Group has more fields than has been defined",
                                        "More Decimal Places than specified size",
                                        "Size is too big",
                                        "Field Count not specified for a GROUP field",
                                        "Field must be over a field defined before the field",
                                        "The Group is greater than 4,194,304 bytes in size",
                                        "The Field is greater than 4,190,208 bytes in size",
                                        "Field is larger than the field that it is over",
                                        "Invalid Picture",
                                        "Field cannot be over a field inside another GROUP"};
constexpr std::string_view kFieldD[] = {"Component does not match physical file structure", "No Name or Label Specified",
                                        "Data type not supported", "Number of dimensions is greater than that supported by the file driver",
                                        "Field is larger than the maximum supported by the file driver"};
constexpr std::string_view kMemoS[] = {"Not a Valid Tamsil Label", "Duplicate Label", "No Size Specified for a MEMO"};
constexpr std::string_view kMemoD[] = {"Component does not match physical file structure",
                                       "No Name or Label Specified",
                                       "Too Many Memos defined",
                                       "Memo is larger than the maximum size supported by the file driver",
                                       "Driver does not support BLOBs",
                                       "Driver does not support MEMOs",
                                       "Driver does not support BINARY memos or blobs"};
constexpr std::string_view kKeyS[] = {"Not a Valid Tamsil Label", "Duplicate Label", "Type set to KEY, but no fields specified",
                                      "Key is defined as PRIMARY and DUP"};
constexpr std::string_view kKeyD[] = {"Component does not match physical file structure", "No Name or Label Specified",
                                      "Too Many Keys defined"};
constexpr std::string_view kComponentS[] = {"Component number is greater than the number of fields in the file structure",
                                            "Component is a dimmensioned field"};
constexpr std::string_view kComponentD[] = {"Component does not match physical file structure",
                                            "Driver does not support Descending Key Components",
                                            "Driver does not support mixed Ascending and Descending Key Components"};

struct Group {
  std::string_view name;
  std::span<const std::string_view> self, driver;
};

constexpr Group kGroups[] = {
    {"SYSTEM", kSystem, kSystem},  {"FILE", kFileS, kMismatch}, {"FIELD", kFieldS, kFieldD},
    {"MEMO/BLOB", kMemoS, kMemoD}, {"KEY", kKeyS, kKeyD},       {"COMPONENT", kComponentS, kComponentD},
    {"UNKNOWN", {}, {}},
};

// Names shown for an unnamed item on side D, by message text.
struct FixedName {
  std::string_view text, name;
};
constexpr FixedName kFixedNames[] = {
    {"No Name or Label Specified", "LABEL"},
    {"Data type not supported", "TYPE"},
    {"Driver does not support BLOBs", "TYPE"},
    {"Driver does not support MEMOs", "TYPE"},
    {"Number of dimensions is greater than that supported by the file driver", "DIM"},
    {"Field is larger than the maximum supported by the file driver", "SIZE"},
    {"Memo is larger than the maximum size supported by the file driver", "SIZE"},
    {"Too Many Memos defined", "MEMO/BLOB"},
    {"Driver does not support BINARY memos or blobs", "BINARY"},
    {"Too Many Keys defined", "KEY"},
};

const Group& group(DeclarationCategory c) { return kGroups[std::size_t(c)]; }

std::string_view builtInText(DeclarationCategory c, DeclarationSide side, int index) {
  const auto texts = side == DeclarationSide::Self ? group(c).self : group(c).driver;
  return index >= 1 && std::size_t(index) <= texts.size() ? texts[std::size_t(index - 1)] : "Unknown Error";
}

}  // namespace

std::string_view categoryName(DeclarationCategory category) { return group(category).name; }

int declarationMessageNumber(DeclarationCategory category, DeclarationSide side, int index) {
  if (category == DeclarationCategory::Unknown) return 0;
  return 100000 + 10000 * int(category) + (side == DeclarationSide::Driver ? 100000 : 0) + index;
}

std::string declarationMessageText(DeclarationCategory category, DeclarationSide side, int index) {
  if (const int number = declarationMessageNumber(category, side, index); number != 0)
    if (const auto text = messageOverride(number)) return std::string(*text);
  return std::string(builtInText(category, side, index));
}

std::string declarationDetail(DeclarationCategory category, DeclarationSide side, int itemNumber, std::string_view itemName, int index) {
  std::string name(itemName);
  if (name.empty()) {
    name = "UNKNOWN";
    if (side == DeclarationSide::Driver)
      for (const FixedName& f : kFixedNames)
        if (f.text == builtInText(category, side, index)) name = f.name;
  }
  const std::string_view category_ = categoryName(category);
  char tail[32];
  std::snprintf(tail, sizeof tail, "%s%05d", side == DeclarationSide::Self ? "S" : "D", index);
  return std::string(category_) + " : " + std::to_string(itemNumber) + " : " + name + " : " + tail;
}

int declarationError(DeclarationCategory category, DeclarationSide side, int itemNumber, std::string_view itemName, int index) {
  const std::string detail = declarationDetail(category, side, itemNumber, itemName, index);
  storeError(kErrorBadDeclaration, detail);
  storeDriverError(detail, declarationMessageText(category, side, index));
  return kErrorBadDeclaration;
}

}  // namespace tamsil::file
