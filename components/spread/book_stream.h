// The grid's state inside a storage: the stream "OVSpreadBook" of the storage the container
// gives the control, written by Save and read by Load. It keeps everything a book holds but its
// event sink, its text metrics and a running edit: the settings, sort indicators, every sheet
// with its size, default sizes, view state, styles (shared ones written once), rows, columns,
// cells (value, style, note, formula), spans and selection, and what cell-level properties
// address. The records are those of records/book_records.h, read and written through
// records/book_walker.h; this file is their encoding (text records, one per line, texts
// length-prefixed), described in docs/spread.md.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/hresult.h"
#include "platform/com/storage.h"

namespace spread {

class AddressedBook;

inline constexpr const char16_t* kBookStreamName = u"OVSpreadBook";
// A stream that is not one this component wrote, or is cut short.
inline constexpr platform::HRESULT STG_E_INVALIDHEADER = platform::HRESULT(0x800300FBu);

// The book as the stream's bytes, and back. Writing walks the sheets through the addressed sheet
// and puts it back. ReadBook leaves the book as it was when the bytes are not a whole book of
// this format (false). Reading makes the saved sheet the active one, which raises SheetChanged:
// a caller that does not want the events detaches the book's sink first.
std::string WriteBook(AddressedBook& book);
bool ReadBook(AddressedBook& book, std::string_view bytes);

// Writes the stream into the storage (replacing one that is there).
platform::HRESULT SaveBook(AddressedBook& book, platform::IStorage* storage);
// Reads it back: STG_E_FILENOTFOUND without the stream, STG_E_INVALIDHEADER for one that is not a
// whole book; the book is left as it was then.
platform::HRESULT LoadBook(AddressedBook& book, platform::IStorage* storage);

}  // namespace spread
