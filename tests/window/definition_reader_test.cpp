// The container reader against the writer (every record kind, every slot), against the seven
// embedded definitions, and against damaged containers, which must give the right fault.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/system/resource.h"
#include "runtime/window/definition_tree.h"
#include "runtime/window/definition_writer.h"
#include "runtime/window/little_endian.h"

namespace tamsil::window {
namespace {

std::span<const std::uint8_t> embedded(const char* name) {
  using namespace platform;
  HRSRC res = FindResourceA(nullptr, name, "DABDUMP");
  if (!res) return {};
  return {static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, res))), SizeofResource(nullptr, res)};
}

// A decoded container that owns its definition buffer.
struct Decoded {
  explicit Decoded(std::span<const std::uint8_t> bytes) : buffer(bufferOf(bytes)), reader(buffer) {}
  static DefinitionBuffer bufferOf(std::span<const std::uint8_t> bytes) {
    auto c = parseContainer(bytes);
    return c ? makeDefinitionBuffer(c->body) : DefinitionBuffer{};
  }
  DefinitionBuffer buffer;
  DefinitionReader reader;
};

// ---- every kind the writer knows reads back with every slot intact ----

class EveryKind : public ::testing::TestWithParam<RecordLayout> {};

TEST_P(EveryKind, WriterAndReaderAgreeOnEverySlot) {
  const RecordLayout& layout = *layoutOf(std::uint8_t(GetParam().kind));
  RecordDef c;
  c.layout = &layout;
  c.attributes = 0x12345678;
  c.field = -7;
  c.action = 14;
  for (std::size_t s = 0; s < kTextSlotCount; ++s) c.texts[s] = "slot" + std::to_string(s);
  c.pos = {1, -2, 300, kDefaultPosition};
  c.font = FontDef{"Arial", 7, 2, 0x00FFFFFF, 700};
  c.colours = ColorTriple{{1, 2, 3}};
  c.var = VariableBinding{7, 4};
  c.blockA = {"alt", "~msg", "~Help", 0x55, {13, 38, 40}};
  RecordDef w;
  w.layout = layoutOf(std::uint8_t(Kind::Window));
  w.children.push_back(c);
  const std::vector<std::uint8_t> bytes = writeContainer({"M", {w}});
  Decoded d(bytes);
  auto tree = readWindowTree(d.reader, *d.reader.firstWindow());
  ASSERT_TRUE(tree) << tree.error().message;
  const DefinitionRecord& r = layout.kind == Kind::MenuBar ? tree->menuBar->record : tree->controls.at(0).record;
  EXPECT_EQ(r.kind, std::uint8_t(layout.kind));
  EXPECT_EQ(r.bytes.size(), layout.length);
  for (const SlotAt& a : layout.slots) {
    SCOPED_TRACE("slot at " + std::to_string(a.offset));
    if (isTextSlot(a.slot)) {
      EXPECT_EQ(r.text(a.slot), "slot" + std::to_string(std::size_t(a.slot)));
    }
    switch (a.slot) {
      case Slot::Attributes: EXPECT_EQ(r.attributes, 0x12345678u); break;
      case Slot::Field: EXPECT_EQ(r.field, -7); break;
      case Slot::Action: EXPECT_EQ(r.action, 14u); break;
      case Slot::Pos: EXPECT_EQ(r.pos, (Position{1, -2, 300, kDefaultPosition})); break;
      case Slot::Font:
        ASSERT_TRUE(r.font);
        EXPECT_EQ(r.font->face, "Arial");
        EXPECT_EQ(r.font->size, 7);
        EXPECT_EQ(r.font->charset, 2);
        EXPECT_EQ(r.font->colour, 0x00FFFFFFu);
        EXPECT_EQ(r.font->weight, 700u);
        break;
      case Slot::Colours: EXPECT_EQ(r.colours, (ColorTriple{{1, 2, 3}})); break;
      case Slot::Var:
        ASSERT_TRUE(r.var);
        EXPECT_EQ(r.var->type, 7);
        EXPECT_EQ(r.var->size, 4);
        break;
      case Slot::BlockA:
        EXPECT_EQ(r.blockA.altMessage, "alt");
        EXPECT_EQ(r.blockA.message, "~msg");
        EXPECT_EQ(r.blockA.help, "~Help");
        EXPECT_EQ(r.blockA.attributes, 0x55u);
        EXPECT_EQ(r.blockA.alertKeys, (std::vector<std::uint32_t>{13, 38, 40}));
        break;
      default: break;
    }
  }
  if (layout.hasFill) {
    EXPECT_EQ(loadU32(r.bytes.data() + layout.fillOffset), 0xFFFFFFFFu);
  }
}

std::vector<RecordLayout> controlLayouts() {
  std::vector<RecordLayout> out;
  for (const RecordLayout& l : allLayouts())
    if (!l.isWindow) out.push_back(l);
  return out;
}
INSTANTIATE_TEST_SUITE_P(Kinds, EveryKind, ::testing::ValuesIn(controlLayouts()), [](const auto& p) { return std::string(p.param.keyword); });

// ---- the seven embedded definitions ----

struct Expected {
  const char* resource;
  const char* module;
  std::vector<std::string> labels;
  std::int32_t lowest, highest;  // of the first window
};

class EmbeddedDefinition : public ::testing::TestWithParam<Expected> {};

TEST_P(EmbeddedDefinition, IsWellFormedWithItsWindows) {
  const Expected& e = GetParam();
  const std::span<const std::uint8_t> bytes = embedded(e.resource);
  ASSERT_FALSE(bytes.empty());
  ASSERT_TRUE(checkContainer(bytes));
  EXPECT_EQ(parseContainer(bytes)->moduleName, e.module);
  Decoded d(bytes);
  auto windows = d.reader.windowOffsets();
  ASSERT_TRUE(windows);
  std::vector<std::string> labels;
  for (std::uint32_t at : *windows) labels.emplace_back(*d.reader.window(at)->text(Slot::Label));
  EXPECT_EQ(labels, e.labels);
  auto tree = readWindowTree(d.reader, windows->at(0));
  EXPECT_EQ(tree->lowestField, e.lowest);
  EXPECT_EQ(tree->highestField, e.highest);
}

INSTANTIATE_TEST_SUITE_P(Program, EmbeddedDefinition,
                         ::testing::Values(Expected{"KESTR001_RSC", "Kestrel24$Kestr001", {"P1$WINDOW"}, 1, 21},
                                           Expected{"FWERROR_RSC", "FWERROR", {"$WINDOW"}, 100, 300},
                                           Expected{"FWEIP_RSC", "FWEIP", {"$TXTWINDOW"}, 1000, 1002},
                                           Expected{"FWPOPUP_RSC", "FWPOPUP", {"$WINDOW"}, 1000, 1001},
                                           Expected{"FWQUERY_RSC", "FWQUERY", {"$WINDOW", "$MULTIWINDOW"}, 1000, 1009},
                                           Expected{"FWUTIL_RSC", "FWUTIL", {"P91$SCREEN"}, 1000, 1008},
                                           Expected{"ASCMEON_RSC", "ASCMEON", {"P3$BUILDERWINDOW"}, 1, 11}),
                         [](const auto& p) { return std::string(p.param.resource); });

TEST(EmbeddedDefinition, ErrorWindowHasItsHiddenControls) {
  Decoded d(embedded("FWERROR_RSC"));
  auto tree = readWindowTree(d.reader, *d.reader.firstWindow());
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->window.text(Slot::Title), "Error");
  EXPECT_EQ(tree->window.attributes, 0x10u);
  std::vector<std::int32_t> fields;
  for (const RecordNode& n : tree->controls) {
    fields.push_back(n.record.field);
    EXPECT_TRUE(n.record.attributes & kControlHidden) << n.record.field;
    if (n.record.kind == std::uint8_t(Kind::Button)) {
      EXPECT_EQ(n.record.text(Slot::Text), "Button " + std::to_string(n.record.field - 99));
    }
    if (n.record.kind == std::uint8_t(Kind::List)) {
      EXPECT_EQ(n.record.text(Slot::Format), "217L(2)|M~Message~S(255)@s255@42L(2)|M~Category~L(1)@s255@");
      EXPECT_EQ(loadU32(n.record.bytes.data() + 0x69), 0xFFFFFFFFu);
    }
  }
  EXPECT_EQ(fields, (std::vector<std::int32_t>{300, 200, 100, 101, 102, 103, 104, 105, 106, 107}));
}

TEST(EmbeddedDefinition, DriverStringBuilderBindsBytesAndAnUnsignedWord) {
  Decoded d(embedded("ASCMEON_RSC"));
  auto tree = readWindowTree(d.reader, *d.reader.firstWindow());
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->window.text(Slot::Title), "ASCII Driver String Builder");
  std::vector<std::string> texts;
  for (const RecordNode& n : tree->controls) {
    const DefinitionRecord& r = n.record;
    if (r.kind == std::uint8_t(Kind::Check) || r.kind == std::uint8_t(Kind::Prompt)) texts.emplace_back(*r.text(Slot::Text));
    if (r.kind == std::uint8_t(Kind::Check)) {
      EXPECT_EQ(r.var->type, 1);
    }
    if (r.field == 5) {
      EXPECT_EQ(std::pair(r.var->type, r.var->size), (std::pair<std::uint8_t, std::uint8_t>(7, 4)));
    }
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Ctrl-&Z is End of File Marker", "Clip &Strings", "&Quick Scan",
                                             "&Buffers:", "&TAB Conversion:", "&End of Record Marker:"}));
}

// ---- damaged containers ----

// A small module: a window with an alert-keyed button and a group holding an entry.
RecordDef makeDef(Kind kind) {
  RecordDef r;
  r.layout = layoutOf(std::uint8_t(kind));
  return r;
}

std::vector<std::uint8_t> sampleContainer() {
  RecordDef entry = makeDef(Kind::Entry);
  entry.field = 3;
  RecordDef group = makeDef(Kind::Group);
  group.field = 2;
  group.children.push_back(entry);
  RecordDef button = makeDef(Kind::Button);
  button.field = 1;
  button.blockA.alertKeys = {13, 27};
  RecordDef bar = makeDef(Kind::MenuBar);
  RecordDef w = makeDef(Kind::Window);
  w.texts[std::size_t(Slot::Label)] = "P1$WINDOW";
  w.texts[std::size_t(Slot::Title)] = "Title";
  w.children = {bar, button, group};
  return writeContainer({"MOD", {w}});
}

// Where things are in the sample, found with the reader on the intact container.
struct Sample {
  std::vector<std::uint8_t> bytes = sampleContainer();
  std::size_t bodyStart = 4;  // "MOD" and its NUL
  std::uint32_t window = 0, button = 0, group = 0, entry = 0, alerts = 0;

  Sample() {
    Decoded d(bytes);
    window = *d.reader.firstWindow();
    auto tree = readWindowTree(d.reader, window);
    button = tree->controls[0].record.offset;
    group = tree->controls[1].record.offset;
    entry = tree->controls[1].children[0].record.offset;
    alerts = loadU32(tree->controls[0].record.bytes.data() + 0x25 + kBlockAlertKeys);
  }
  std::uint32_t end() const { return std::uint32_t(bytes.size() - bodyStart + kBodyBias); }
  void put(std::uint32_t offset, std::uint32_t v) { storeU32(&bytes.at(bodyStart + offset - kBodyBias), v); }
  void put8(std::uint32_t offset, std::uint8_t v) { bytes.at(bodyStart + offset - kBodyBias) = v; }
};

struct Damage {
  const char* name;
  std::function<void(Sample&)> apply;
  DefinitionFault fault;
};

class DamagedContainer : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedContainer, GivesTheRightFault) {
  Sample s;
  GetParam().apply(s);
  auto r = checkContainer(s.bytes);
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().fault, GetParam().fault) << r.error().message;
  EXPECT_FALSE(r.error().message.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, DamagedContainer,
    ::testing::Values(
        Damage{"ModuleNameWithoutNul",
               [](Sample& s) {
                 s.bytes = {'M', 'O', 'D'};
               },
               DefinitionFault::Truncated},
        Damage{"BodyShorterThanFirstWindowWord", [](Sample& s) { s.bytes.resize(s.bodyStart + 3); }, DefinitionFault::Truncated},
        Damage{"FirstWindowBeyondTheEnd", [](Sample& s) { s.put(kFirstWindowWord, s.end() + 100); }, DefinitionFault::OffsetOutOfRange},
        Damage{"FirstWindowInThePaddingBeforeTheBody", [](Sample& s) { s.put(kFirstWindowWord, 1); }, DefinitionFault::OffsetOutOfRange},
        Damage{"OffsetAtTheTopOfTheRange", [](Sample& s) { s.put(s.window + 0x29, 0xFFFFFFFF); }, DefinitionFault::OffsetOutOfRange},
        Damage{"RecordCutByTheEnd",
               [](Sample& s) {
                 s.put8(s.end() - 10, 0x09);  // a button's 96 bytes cannot fit in the last 10
                 s.put(s.entry + 0x01, s.end() - 10);
               },
               DefinitionFault::OffsetOutOfRange},
        Damage{"ControlOfUnknownKind", [](Sample& s) { s.put8(s.button, 0x30); }, DefinitionFault::UnknownKind},
        Damage{"ControlWhereTheWindowBelongs", [](Sample& s) { s.put(kFirstWindowWord, s.button); }, DefinitionFault::WrongKind},
        Damage{"ControlChainLeadsBackToTheWindow", [](Sample& s) { s.put(s.button + 0x01, s.window); }, DefinitionFault::Cycle},
        Damage{"MenuBarOffsetNamesAButton", [](Sample& s) { s.put(s.window + 0x5E, s.button); }, DefinitionFault::WrongKind},
        Damage{"WindowChainReturnsToItself", [](Sample& s) { s.put(s.window + 0x01, s.window); }, DefinitionFault::Cycle},
        Damage{"ControlChainReturnsToItsStart", [](Sample& s) { s.put(s.group + 0x01, s.button); }, DefinitionFault::Cycle},
        Damage{"ChildIsItsOwnParent", [](Sample& s) { s.put(s.group + 0x49, s.group); }, DefinitionFault::Cycle},
        Damage{"AlertKeyListLoops", [](Sample& s) { s.put(s.alerts + 4, s.alerts); }, DefinitionFault::Cycle},
        Damage{"StringWithoutNul",
               [](Sample& s) {
                 s.put8(s.end() - 1, 'x');  // an unnamed byte at the very end of the last record
                 s.put(s.window + 0x29, s.end() - 1);
               },
               DefinitionFault::UnterminatedString}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(DamagedContainer, EveryTruncationOfEveryEmbeddedDefinitionIsRefused) {
  for (const char* name : {"KESTR001_RSC", "FWERROR_RSC", "FWEIP_RSC", "FWPOPUP_RSC", "FWQUERY_RSC", "FWUTIL_RSC", "ASCMEON_RSC"}) {
    const std::span<const std::uint8_t> bytes = embedded(name);
    ASSERT_TRUE(checkContainer(bytes)) << name;
    for (std::size_t n = 0; n < bytes.size(); ++n) ASSERT_FALSE(checkContainer(bytes.first(n))) << name << " cut to " << n << " bytes";
  }
}

TEST(DamagedContainer, NestingDeeperThanTheBoundIsRefused) {
  RecordDef inner = makeDef(Kind::Group);
  for (int i = 0; i < kMaxNesting + 1; ++i) {
    RecordDef outer = makeDef(Kind::Group);
    outer.children.push_back(std::move(inner));
    inner = std::move(outer);
  }
  RecordDef w = makeDef(Kind::Window);
  w.children.push_back(std::move(inner));
  auto r = checkContainer(writeContainer({"M", {w}}));
  ASSERT_FALSE(r);
  EXPECT_EQ(r.error().fault, DefinitionFault::TooDeep);
}

TEST(DefinitionReader, FindsWindowsByLabelWithoutCaseAndReportsAnAbsentOne) {
  Sample s;
  Decoded d(s.bytes);
  EXPECT_EQ(*d.reader.findWindow("p1$window"), s.window);
  auto absent = d.reader.findWindow("P9$NOWHERE");
  ASSERT_FALSE(absent);
  EXPECT_EQ(absent.error().fault, DefinitionFault::LabelNotFound);
}

TEST(DefinitionReader, KindsWithoutASettledLayoutKeepTheirHeader) {
  Sample s;
  s.put8(s.button, 0x21);
  ASSERT_TRUE(checkContainer(s.bytes));
  Decoded d(s.bytes);
  auto r = d.reader.record(s.button);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->kind, 0x21);
  EXPECT_EQ(r->field, 1);
  EXPECT_EQ(r->layout, &headerOnlyLayout());
  // A builder may still read it with the layout of a kind it resembles.
  EXPECT_EQ(d.reader.record(s.button, *layoutOf(std::uint8_t(Kind::Button)))->blockA.alertKeys, (std::vector<std::uint32_t>{13, 27}));
}

}  // namespace
}  // namespace tamsil::window
