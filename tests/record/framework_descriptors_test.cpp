// The framework's descriptors walk to the fields the framework names, in declaration order and
// with their types; class records agree with their descriptors; every descriptor survives a
// walk and a re-encoding unchanged.
#include "runtime/record/framework_descriptors.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "runtime/file/codes.h"
#include "runtime/record/descriptor_encoder.h"
#include "runtime/record/descriptor_walker.h"

namespace tamsil::record {
namespace {

using Names = std::vector<std::string>;

WalkedDescriptor walk(Descriptor d) {
  auto walked = walkDescriptor(d);
  EXPECT_TRUE(walked) << walked.error().message;
  return walked ? walked.value() : WalkedDescriptor{};
}

struct DescriptorCase {
  const char* what;
  const Descriptor* descriptor;
  Names names;  // qualified: a group's members as "GROUP.FIELD"
};
void PrintTo(const DescriptorCase& c, std::ostream* os) { *os << c.what; }

class FrameworkDescriptorTest : public ::testing::TestWithParam<DescriptorCase> {};

TEST_P(FrameworkDescriptorTest, WalksToItsFieldsInOrder) {
  const DescriptorCase& c = GetParam();
  const WalkedDescriptor d = walk(*c.descriptor);
  EXPECT_EQ(qualifiedNames(d), c.names);
  EXPECT_EQ(d.header.fieldCount, c.names.size());
  EXPECT_EQ(d.header.length, c.descriptor->size());
}

// Rebuilds the declarations a walk found and encodes them again: the walk lost nothing.
std::vector<FieldSpec> declarationsOf(const WalkedDescriptor& d) {
  std::vector<FieldSpec> fields;
  for (const WalkedField& f : d.fields) {
    FieldSpec s{f.type, f.name, f.type == FieldType::Group ? f.elementWidth : f.sizePart, f.members};
    if (f.hasExplicitOffset()) s.offset = f.relativeOffset;
    for (unsigned i = 0; i < f.dimensionCount; ++i) s.dimensions[i] = f.dimensions[i];
    fields.push_back(s);
  }
  return fields;
}

TEST_P(FrameworkDescriptorTest, EncodesAgainToTheSameBytes) {
  const DescriptorCase& c = GetParam();
  const WalkedDescriptor d = walk(*c.descriptor);
  const std::vector<std::uint8_t> again = encodeDescriptor(declarationsOf(d), d.header.dataSize);
  EXPECT_EQ(again, std::vector<std::uint8_t>(c.descriptor->begin(), c.descriptor->end()));
}

const Names kRect = {"XPOS", "YPOS", "WIDTH", "HEIGHT"};
Names grouped(const std::string& group, const Names& members) {
  Names out{group};
  for (const std::string& m : members) out.push_back(group + "." + m);
  return out;
}
Names operator+(Names a, const Names& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

INSTANTIATE_TEST_SUITE_P(
    Framework, FrameworkDescriptorTest,
    ::testing::Values(
        DescriptorCase{"ProcedureWindow",
                       &kProcedureWindowClass.fields,
                       {"AUTOREFRESH",
                        "AUTOTOOLBAR",
                        "BUTTONS",
                        "CL",
                        "CANCELACTION",
                        "CHANGEACTION",
                        "DEAD",
                        "DELETEACTION",
                        "BATCHPROCESSING",
                        "ERRORS",
                        "FILES",
                        "FILESOPENED",
                        "FIRSTFIELD",
                        "FORCEDRESET",
                        "HISTORY",
                        "HISTORYKEY",
                        "INITED",
                        "INSERTACTION",
                        "LASTINSERTEDPOSITION",
                        "OKCONTROL",
                        "SAVECONTROL",
                        "DISABLECANCELBUTTON",
                        "OPENED",
                        "ORIGINALREQUEST",
                        "RECORDSAVED",
                        "BEFORESAVEREQUEST",
                        "PRIMARY",
                        "REQUEST",
                        "RESETONGAINFOCUS",
                        "RESIZE",
                        "RESPONSE",
                        "SAVED",
                        "FORMVCR",
                        "TOOLBAR",
                        "TRANSLATOR",
                        "VCRREQUEST",
                        "MYWINDOW",
                        "OWNERWINDOW"}},
        DescriptorCase{"button", &kButtonEntry, {"CONTROL", "ACTION"}}, DescriptorCase{"component", &kComponentEntry, {"TYPE", "WC"}},
        DescriptorCase{"file", &kFileEntry, {"FILE", "SAVED"}}, DescriptorCase{"ToolbarRouter", &kToolbarRouterClass.fields, {"LIST"}},
        DescriptorCase{"toolbar target", &kToolbarTargetEntry, {"ID", "ITEM"}},
        DescriptorCase{"ErrorReporter",
                       &kErrorReporterClass.fields,
                       {"DEFAULTCATEGORY", "ERRORS", "ERRORLOG", "HISTORY", "PROCNAMES", "STDERRORLOG", "SILENT", "LOGERRORS",
                        "HISTORYTHRESHOLD", "HISTORYVIEWLEVEL", "HISTORYRESETONVIEW", "CRITSECT", "STATUS", "MSGSTYLE"}},
        DescriptorCase{"error", &kErrorEntry, {"ID", "MESSAGE", "TITLE", "FATALITY", "CATEGORY"}},
        DescriptorCase{"history", &kHistoryEntry, {"CATEGORY", "TXT", "ID"}},
        DescriptorCase{"procedure name", &kProcedureNameEntry, {"THREAD", "NAME"}},
        DescriptorCase{
            "ErrorContext", &kErrorContextRecord,
            Names{"FIELDNAME", "FILENAME", "KEYNAME", "MESSAGETEXT", "SAVEERROR", "SAVEERRORCODE", "SAVEFILEERROR", "SAVEFILEERRORCODE"} +
                grouped("ERRORBUFFER", {"ID", "MESSAGE", "TITLE", "FATALITY", "CATEGORY"}) + Names{"PREVERRORID"}},
        DescriptorCase{"ErrorLogFile", &kErrorLogFileClass.fields, {"ERRORLOGINTERFACE", "CRITSECT", "USAGE"}},
        DescriptorCase{"error log record", &kErrorLogRecord, {"TXT"}},
        DescriptorCase{"MessageWindow",
                       &kMessageWindowClass.fields,
                       {"BUTTONTYPES", "CAPTION", "ERR", "ICON", "HISTORYHANDLER", "MSGBUTTONS", "MSGBUTTONID", "MSGRVAL", "STYLE", "WIN"}},
        DescriptorCase{"ErrorHistoryView", &kErrorHistoryViewClass.fields, {"WINDOWCOMPONENT", "ERR", "HISTORY", "LBCOLUMNS", "WIN"}},
        DescriptorCase{"IniStore", &kIniStoreClass.fields, {"FILENAME", "SECTORS", "NVTYPE", "EXTRADATA", "CRITSECT"}},
        DescriptorCase{"sector", &kSectorEntry, {"FAMILY", "ITEM", "TYPE"}},
        DescriptorCase{"window position", &kWindowPositionRecord, {"X", "Y", "W", "H", "MAXIMIZED", "MINIMIZED", "GOT"}},
        DescriptorCase{"WindowResizer", &kWindowResizerClass.fields,
                       Names{"APPSTRATEGY", "AUTOTRANSPARENT"} + grouped("ORIGWIN", kRect + Names{"MAXIMIZED", "ICONIZED"}) +
                           Names{"CONTROLQUEUE", "DEFERMOVES"} + grouped("PREVIOUSWIN", kRect) + Names{"RESIZECALLED", "RESIZELIST"}},
        DescriptorCase{"control", &kControlEntry,
                       Names{"ID", "TYPE", "HASCHILDREN", "POSITIONALSTRATEGY", "RESIZESTRATEGY"} + grouped("POS", kRect) + Names{"PARENTID"}},
        DescriptorCase{"move", &kMoveEntry, Names{"PRIORITY", "CONTROLID", "TYPE"} + grouped("BEFORE", kRect) + grouped("AFTER", kRect)},
        DescriptorCase{"KeyNavigator", &kKeyNavigatorClass.fields, {"EXCLUDEDCONTROL", "NEXTTABSTOPCONTROLQ", "INITED"}},
        DescriptorCase{"excluded control", &kExcludedControlEntry, {"CONTROL"}},
        DescriptorCase{"tab stop pair", &kTabStopPairEntry, {"FROM", "TO"}}),
    [](const ::testing::TestParamInfo<DescriptorCase>& param) {
      std::string name = param.param.what;
      for (char& ch : name)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return name;
    });

TEST(ErrorReporterDescriptorTest, HasTheFourteenFieldsWithTheirTypes) {
  const WalkedDescriptor d = walk(kErrorReporterClass.fields);
  ASSERT_EQ(d.fields.size(), 14u);
  const WalkedField& first = d.fields[0];
  EXPECT_EQ(first.name, "DEFAULTCATEGORY");
  EXPECT_EQ(first.type, FieldType::Interned);
  EXPECT_TRUE(first.hasExplicitOffset());
  EXPECT_EQ(first.offset, 4u);
  const std::vector<FieldType> types = {
      FieldType::Interned,  FieldType::Reference, FieldType::Reference, FieldType::Reference, FieldType::Reference,
      FieldType::Reference, FieldType::Byte,      FieldType::Byte,      FieldType::Long,      FieldType::Long,
      FieldType::Byte,      FieldType::Reference, FieldType::Reference, FieldType::Short,
  };
  std::vector<std::uint32_t> offsets;
  for (std::size_t i = 0; i < d.fields.size(); ++i) {
    EXPECT_EQ(d.fields[i].type, types[i]) << d.fields[i].name;
    EXPECT_EQ(i > 0, !d.fields[i].hasExplicitOffset()) << d.fields[i].name;  // only the first states its offset
    offsets.push_back(d.fields[i].offset);
  }
  EXPECT_EQ(offsets, (std::vector<std::uint32_t>{4, 8, 12, 16, 20, 24, 28, 29, 30, 34, 38, 39, 43, 47}));
  EXPECT_EQ(d.header.dataSize, 49u);
}

TEST(FrameworkFieldTypesTest, StringsAndArraysHaveTheirSizes) {
  const WalkedDescriptor window = walk(kProcedureWindowClass.fields);
  const WalkedField& position = window.fields[18];
  EXPECT_EQ(position.name, "LASTINSERTEDPOSITION");
  EXPECT_EQ(position.type, FieldType::String);
  EXPECT_EQ(position.width(), 1024u);
  // The 1024 of its size part is written 0x24 0x00, right behind the type and the flags.
  EXPECT_EQ(kProcedureWindowClass.fields[position.entryAt + 2], 0x24);
  EXPECT_EQ(kProcedureWindowClass.fields[position.entryAt + 3], 0x00);

  const WalkedDescriptor context = walk(kErrorContextRecord);
  EXPECT_EQ(context.fields[0].type, FieldType::CString);
  EXPECT_EQ(context.fields[0].width(), 255u);
  EXPECT_EQ(kErrorContextRecord[context.fields[0].entryAt + 2], 0x20);
  EXPECT_EQ(kErrorContextRecord[context.fields[0].entryAt + 3], 0xFF);

  const WalkedDescriptor message = walk(kMessageWindowClass.fields);
  EXPECT_EQ(message.fields[6].name, "MSGBUTTONID");
  EXPECT_EQ(message.fields[6].elements, 8u);
  EXPECT_EQ(message.fields[6].width(), 32u);
  EXPECT_EQ(message.fields[1].sizePart, std::uint32_t(ReferenceToText));  // CAPTION: an owned text
}

struct ClassCase {
  const ClassRecord* cls;
  const char* name;
  std::uint32_t firstOffset;
};
void PrintTo(const ClassCase& c, std::ostream* os) { *os << c.name; }

class ClassRecordTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassRecordTest, AgreesWithItsDescriptor) {
  const ClassRecord& cls = *GetParam().cls;
  EXPECT_EQ(cls.reserved, 0u);
  ASSERT_NE(cls.typeInfo, nullptr);
  EXPECT_EQ(cls.typeInfo->name, GetParam().name);
  const WalkedDescriptor d = walk(cls.fields);
  EXPECT_EQ(cls.instanceSize, d.header.dataSize);
  ASSERT_FALSE(d.fields.empty());
  EXPECT_TRUE(d.fields[0].hasExplicitOffset());
  EXPECT_EQ(d.fields[0].offset, GetParam().firstOffset);
  const std::uint32_t base = cls.typeInfo->base ? cls.typeInfo->base->instanceSize : kFirstClassFieldOffset;
  EXPECT_EQ(d.fields[0].offset, base);
}

INSTANTIATE_TEST_SUITE_P(
    Framework, ClassRecordTest,
    ::testing::Values(ClassCase{&kProcedureWindowClass, "ProcedureWindow", 4}, ClassCase{&kToolbarRouterClass, "ToolbarRouter", 4},
                      ClassCase{&kErrorReporterClass, "ErrorReporter", 4}, ClassCase{&kErrorLogFileClass, "ErrorLogFile", 4},
                      ClassCase{&kMessageWindowClass, "MessageWindow", kProcedureWindowClass.instanceSize},
                      ClassCase{&kErrorHistoryViewClass, "ErrorHistoryView", 4}, ClassCase{&kIniStoreClass, "IniStore", 4},
                      ClassCase{&kWindowResizerClass, "WindowResizer", 4}, ClassCase{&kKeyNavigatorClass, "KeyNavigator", 4}));

TEST(ClassRecordTest, KnowsItsBaseAndItsSlots) {
  EXPECT_TRUE(derivesFrom(kMessageWindowClass, kProcedureWindowClass));
  EXPECT_TRUE(derivesFrom(kProcedureWindowClass, kProcedureWindowClass));
  EXPECT_FALSE(derivesFrom(kProcedureWindowClass, kMessageWindowClass));
  EXPECT_FALSE(derivesFrom(kErrorReporterClass, kProcedureWindowClass));
  EXPECT_EQ(operationSlot(kProcedureWindowClass, "HandleEvent"), 16);
  EXPECT_EQ(operationSlot(kProcedureWindowClass, "CompleteSaveInsert"), 29);
  EXPECT_EQ(operationSlot(kMessageWindowClass, "ShowIcon"), 30);
  EXPECT_EQ(operationSlot(kMessageWindowClass, "OnAccepted"), 13);
  EXPECT_EQ(operationSlot(kProcedureWindowClass, "ShowIcon"), -1);
  EXPECT_EQ(operationSlot(kErrorReporterClass, "OpenHistory"), 15);
  EXPECT_EQ(operationSlot(kIniStoreClass, "Flush"), 4);
  EXPECT_EQ(operationSlot(kWindowResizerClass, "ComputeRect"), 7);
}

TEST(FieldTypeCodesTest, ShareTheFileDriversDataTypeCodes) {
  EXPECT_EQ(int(FieldType::Byte), file::TypeByte);
  EXPECT_EQ(int(FieldType::Short), file::TypeShort);
  EXPECT_EQ(int(FieldType::UShort), file::TypeUShort);
  EXPECT_EQ(int(FieldType::Long), file::TypeLong);
  EXPECT_EQ(int(FieldType::ULong), file::TypeULong);
  EXPECT_EQ(int(FieldType::String), file::TypeString);
  EXPECT_EQ(int(FieldType::CString), file::TypeCString);
  EXPECT_EQ(int(FieldType::PString), file::TypePString);
  EXPECT_EQ(int(FieldType::Group), file::TypeGroup);
}

}  // namespace
}  // namespace tamsil::record
