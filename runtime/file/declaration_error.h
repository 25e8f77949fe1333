// Checks of files declared at run time report through numbered messages, grouped by category
// and by side: side S checks the declaration itself, side D checks it against what the chosen
// driver supports. The message number is the group's base plus the message's index (from 1).
#pragma once

#include <string>
#include <string_view>

namespace tamsil::file {

enum class DeclarationCategory { System, File, Field, MemoBlob, Key, Component, Unknown };
enum class DeclarationSide { Self, Driver };  // written "S" and "D"

// "SYSTEM", "FILE", "FIELD", "MEMO/BLOB", "KEY", "COMPONENT", "UNKNOWN".
std::string_view categoryName(DeclarationCategory category);

// 100000 + 10000 * category (+ 100000 for side D); 0 for Unknown.
int declarationMessageNumber(DeclarationCategory category, DeclarationSide side, int index);

// The message's text (a TSLMSG override of its number first), "Unknown Error" past the group.
std::string declarationMessageText(DeclarationCategory category, DeclarationSide side, int index);

// The detail "CATEGORY : item : name : S00001". An empty item name is replaced by the name the
// message fixes for side D ("LABEL", "TYPE", "DIM", "SIZE", "MEMO/BLOB", "BINARY", "KEY"), else
// "UNKNOWN".
std::string declarationDetail(DeclarationCategory category, DeclarationSide side, int itemNumber, std::string_view itemName, int index);

// Posts 47 ("Invalid Record Declaration") with the detail as the error text, and the detail and
// the message text as the driver's error code and message (what FILEERRORCODE and FILEERROR
// read); returns 47 for the caller to return. Already posted: the caller must not post again.
int declarationError(DeclarationCategory category, DeclarationSide side, int itemNumber, std::string_view itemName, int index);

}  // namespace tamsil::file
