// The demo window's sheet fill (tests/support/sample_sheet.h) against the grid's model, in the
// same run: every write sent through the member table (name lookup, variant arguments converted
// as a dispatch interface converts them, the member's handler), against the same writes made
// directly on the model. Both start from a reset grid and load the same picture file.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "components/spread/members/addressed_book.h"
#include "components/spread/members/members.h"
#include "platform/com/wide_text.h"
#include "tests/support/sample_sheet.h"

namespace {

using namespace spread;
using platform::VARIANT;

const char* const kLabels[] = {"Date",        "Edit", "Currency", "Number",    "Percent", "PIC(Mask)",
                               "Static text", "Time", "Button",   "Combo Box", "Picture", "Check Box"};
const char kWrapText[] = "This is a static text celltype. The property TypeTextWordWrap is used for wrapping.";

// A small JPEG header for the picture cell, written once for the run.
const std::string& picturePath() {
  static const std::string path = [] {
    std::string p = (std::filesystem::temp_directory_path() / ("spread_bench_" + std::to_string(::getpid()) + ".jpg")).string();
    const unsigned char jpeg[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x0B, 0x08, 0x00, 30, 0x00, 40, 0x01, 0x01, 0x11, 0x00, 0xFF, 0xD9};
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(jpeg), sizeof jpeg);
    std::atexit([] { std::filesystem::remove(picturePath()); });
    return p;
  }();
  return path;
}

constexpr auto i2 = platform::VariantOfI2;
constexpr auto i4 = platform::VariantOfI4;
constexpr auto r8 = platform::VariantOfR8;

// What a wrapper call amounts to: the name looked up, the arguments built (a text as a new
// BSTR), the member invoked.
class Sender {
 public:
  explicit Sender(AddressedBook& book) : book_(book) {}
  void put(std::string_view name, VARIANT value) { send(name, platform::DISPATCH_PROPERTYPUT, {value}); }
  void putText(std::string_view name, std::string_view text) { put(name, bstr(text)); }
  void putAt(std::string_view name, std::int32_t index, VARIANT value) { send(name, platform::DISPATCH_PROPERTYPUT, {i4(index), value}); }
  double getAt(std::string_view name, std::int32_t index) { return send(name, platform::DISPATCH_PROPERTYGET, {i4(index)})->dblVal; }
  platform::Variant call(std::string_view name, std::initializer_list<VARIANT> args) {
    return send(name, platform::DISPATCH_PROPERTYGET, args);
  }
  static VARIANT bstr(std::string_view text) {
    VARIANT x;
    x.vt = platform::VT_BSTR;
    x.bstrVal = platform::Bstr(platform::ansiToWide(text)).release();
    return x;
  }
  void putById(DISPID id, VARIANT value) {
    if (InvokeMember(book_, *FindMember(id), platform::DISPATCH_PROPERTYPUT, std::span(&value, 1), nullptr, nullptr) != platform::S_OK)
      std::abort();
  }

 private:
  platform::Variant send(std::string_view name, platform::WORD flags, std::initializer_list<VARIANT> args) {
    platform::Variant result;
    const MemberInfo* m = FindMember(name);
    if (!m || InvokeMember(book_, *m, flags, std::span(args.begin(), args.size()), &result, nullptr) != platform::S_OK) std::abort();
    for (VARIANT v : args) platform::VariantClear(&v);
    return result;
  }
  AddressedBook& book_;
};

// The sample sheet's steps (tests/support/sample_sheet.h), each sent by name.
void fillThroughMembers(AddressedBook& book) {
  namespace sheet = kestrel::testing::sample_sheet;
  Sender s(book);
  for (const sheet::Step& step : sheet::kSteps) {
    switch (step.sent) {
      case sheet::Sent::Short: s.put(step.member, i2(std::int16_t(step.number))); break;
      case sheet::Sent::Long: s.put(step.member, i4(std::int32_t(step.number))); break;
      case sheet::Sent::Real: s.put(step.member, r8(step.number)); break;
      case sheet::Sent::RealAt: s.putAt(step.member, step.index, r8(step.number)); break;
      case sheet::Sent::Text: s.putText(step.member, step.text); break;
      case sheet::Sent::Picture: {
        s.put("CellType", i2(9));
        platform::Variant picture = s.call("LoadPicture", {Sender::bstr(picturePath()), i4(0)});
        s.putById(kCellPictureDispid, *picture.get());
        break;
      }
      case sheet::Sent::FittedRowHeight: s.putAt(step.member, step.index, r8(s.getAt("MaxTextRowHeight", step.index))); break;
    }
  }
}

// The same writes on the model's own interface.
void fillDirectly(AddressedBook& book) {
  const auto at = [&book](std::int32_t row, std::int32_t col) { book.setRow(row), book.setCol(col); };
  // The sample's writes are all valid: one refused means the model broke, and the timing is void.
  const auto style = [&book](auto change) {
    if (!book.changeStyle(book.sheet(), book.addressed(), change, nullptr)) std::abort();
  };
  const auto text = [&book](std::string_view t) {
    if (!book.writeText(book.sheet(), book.addressed(), t, nullptr)) std::abort();
  };
  const auto type = [&](CellType t) { style([t](Style& s) { s.cellType = std::int16_t(t); }); };
  Sheet& sheet = book.sheet();
  book.settings.appearanceStyle = 2;
  sheet.setMaxRows(13);
  sheet.setMaxCols(2);
  at(-1, 1);
  type(CellType::StaticText);
  for (int r = 1; r <= 12; ++r) {
    at(r, 1);
    text(kLabels[r - 1]);
  }
  at(1, 2);
  type(CellType::Date);
  style([](Style& s) { s.dateCentury = false; });
  style([](Style& s) { s.hAlign = 0; });
  style([](Style& s) { s.spin = false; });
  style([](Style& s) { s.dateFormat = 2; });
  style([](Style& s) { s.dateMin = *ParseMonthDayYear("01011900"); });
  style([](Style& s) { s.dateMax = *ParseMonthDayYear("12312199"); });
  text("12/23/96");
  at(2, 2);
  type(CellType::Edit);
  style([](Style& s) { s.editLen = 255; });
  text("Type in me");
  at(3, 2);
  type(CellType::Currency);
  style([](Style& s) { s.currencyMin = -9999.0; });
  style([](Style& s) { s.currencyMax = 9999.0; });
  text("1000.00");
  at(4, 2);
  type(CellType::Number);
  style([](Style& s) { s.numberMax = 9999.0; });
  style([](Style& s) { s.numberMin = -9999.0; });
  text("1234");
  at(5, 2);
  type(CellType::Percent);
  style([](Style& s) { s.percentMax = 100.0; });
  style([](Style& s) { s.percentMin = 0.1; });
  text(".25");
  at(6, 2);
  type(CellType::PicMask);
  style([](Style& s) { s.picMask = "(999) 999-9999"; });
  text("(123) 456-7890");
  at(7, 2);
  type(CellType::StaticText);
  text(kWrapText);
  style([](Style& s) { s.textWordWrap = true; });
  at(8, 2);
  type(CellType::Time);
  style([](Style& s) { s.time24Hour = false; });
  style([](Style& s) { s.timeSeconds = false; });
  style([](Style& s) { s.timeSeparator = 58; });
  text("01:23 am");
  at(9, 2);
  type(CellType::Button);
  style([](Style& s) { s.buttonText = "Press me"; });
  sheet.rowLineForWrite(8).size = 35.0;
  at(10, 2);
  type(CellType::ComboBox);
  style([](Style& s) { s.comboList = "Item1\tItem2\tItem3"; });
  at(11, 2);
  type(CellType::Picture);
  style([](Style& s) { s.pictCenter = true; });
  style([](Style& s) { s.pictStretch = true; });
  style([](Style& s) { s.pictMaintainScale = true; });
  type(CellType::Picture);
  std::shared_ptr<const Picture> picture = LoadPictureFile(picturePath(), 0);
  style([&picture](Style& s) { s.picture = picture; });
  sheet.rowLineForWrite(10).size = 45.0;
  at(12, 2);
  type(CellType::CheckBox);
  style([](Style& s) { s.checkText = "Check me"; });
  at(13, 2);
  type(CellType::OwnerDrawn);
  style([](Style& s) { s.ownerDrawStyle = 1; });
  sheet.rowLineForWrite(12).size = 15.0;
  text("Ellipse");
  book.settings.visibleCols = 2;
  book.settings.visibleRows = 13;
  book.settings.autoSize = 1;
  sheet.colLineForWrite(1).size = 12.0;
  sheet.colLineForWrite(2).size = 25.0;
  sheet.rowLineForWrite(7).size = 32.0;
  sheet.rowLineForWrite(11).size = book.maxTextRowHeight(book.sheet(), 11);
  book.settings.scrollBars = 0;
}

void BM_FillThroughMembers(benchmark::State& state) {
  AddressedBook book;
  for (auto _ : state) {
    book.reset();
    fillThroughMembers(book);
    benchmark::DoNotOptimize(book.sheet().cellCount());
  }
}
BENCHMARK(BM_FillThroughMembers);

void BM_FillDirectly(benchmark::State& state) {
  AddressedBook book;
  for (auto _ : state) {
    book.reset();
    fillDirectly(book);
    benchmark::DoNotOptimize(book.sheet().cellCount());
  }
}
BENCHMARK(BM_FillDirectly);

}  // namespace
