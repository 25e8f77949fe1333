// The property name table: every name of the runtime's list resolves to its number, shared numbers
// included, with or without the "PROP:" prefix and in any case.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "runtime/window/property_names.h"

namespace tamsil::window {
namespace {

// The list as the runtime documents it: "NUMBER Name" or "NUMBER Name/Other", separated by ";".
constexpr const char* kList =
    "0x7A01 Down; 0x7A02 UpsideDown; 0x7A03 HeaderHeight; 0x7A04 Checked; 0x7A05 AutoPaper; 0x7A06 "
    "Single; 0x7A07 Parent; 0x7A08 Repeat; 0x7A09 EventsWaiting; 0x7A0A DDEmode; 0x7A0B Threading; "
    "0x7A0C TempNameFunc; 0x7A0F Delay; 0x7A10 BreakVar; 0x7A12 ListFEQ; 0x7A13 ButtonFEQ; 0x7A14 Flat; "
    "0x7A15 WallPaper; 0x7A16 Tiled; 0x7A17 Centered; 0x7A18 ChildIndex; 0x7A19 InToolBar; 0x7A1A "
    "PrintMode; 0x7A1B RejectCode; 0x7A1C VLBProc; 0x7A1D VLBVal; 0x7A1E TempImage; 0x7A20 "
    "TempPagePath/TempPath; 0x7A21 TempImagePath; 0x7A30 ColorDialogHook/LibHook; 0x7A31 FileDialogHook; "
    "0x7A32 FontDialogHook; 0x7A33 PrinterDialogHook; 0x7A34 HaltHook; 0x7A35 MessageHook; 0x7A36 "
    "StopHook; 0x7A37 AssertHook; 0x7A38 FatalErrorHook; 0x7A39 CharSet; 0x7A3A FontCharSet; 0x7A3B "
    "SystemPropHook; 0x7A3C AssertHook2; 0x7A3D InitAStringHook; 0x7A3E UnlockThreadHook; 0x7A3F "
    "LockThreadHook; 0x7A40 NoWidth; 0x7A41 NoHeight; 0x7A42 NextPageNo; 0x7A43 XOrigin; 0x7A44 YOrigin; "
    "0x7A45 Target; 0x7A46 Together; 0x7A47 Dock; 0x7A48 Docked; 0x7A49 BrokenTabs; 0x7A4A "
    "ImageInstance; 0x7A4B GlobalHelp; 0x7A4C Buffer; 0x7A4D clientx; 0x7A4E clienty; 0x7A4F "
    "clientwidth; 0x7A50 clientheight; 0x7A52 UseAddress; 0x7A54 FlushPageNumFunc; 0x7A55 WheelScroll; "
    "0x7A56 NextTabStop; 0x7A57 PrevTabStop; 0x7A58 PropVScroll; 0x7A59 DataPath; 0x7A5A Layout; 0x7A5B "
    "WindowsVersion; 0x7A5C Extend; 0x7A5E ThemeActive; 0x7A60 ThreadLockedHook; 0x7A61 FileDialogAHook; "
    "0x7A70 ColorHighByte; 0x7A71 ToolBar; 0x7A72 MenuBar; 0x7C00 Text; 0x7C01 Type; 0x7C02 Xpos; 0x7C03 "
    "Ypos; 0x7C04 Width; 0x7C05 Height; 0x7C06 Below/Center; 0x7C07 BelowSize/CenterOffSet; 0x7C08 Left; "
    "0x7C09 LeftOffSet; 0x7C0A Above/Decimal; 0x7C0B AboveSize/DecimalOffSet; 0x7C0C Right; 0x7C0D "
    "RightOffSet; 0x7C0E Class/VBXFile; 0x7C0F VBXName; 0x7C10 Font/FontName; 0x7C11 FontSize; 0x7C12 "
    "FontColor; 0x7C13 FontStyle; 0x7C14 Range/RangeLow; 0x7C15 RangeHigh; 0x7C17 VCRFeq; 0x7C19 Double; "
    "0x7C1A Resize; 0x7C1B NoFrame; 0x7C1D Thous; 0x7C1E Pixels/Points; 0x7C45 PageNo; 0x7C50 Page; "
    "0x7C51 Absolute; 0x7C52 Alone; 0x7C53 Preview; 0x7C54 FlushPreview; 0x7C55 First; 0x7C56 Last; "
    "0x7C59 Boxed; 0x7C5C Column; 0x7C5D Cursor; 0x7C5E Default; 0x7C5F Disable; 0x7C60 Drop; 0x7C61 "
    "Fill; 0x7C62 From; 0x7C63 Full; 0x7C64 Gray; 0x7C65 Hide; 0x7C67 HScroll; 0x7C68 Icon; 0x7C69 "
    "Iconize; 0x7C6C Landscape; 0x7C6D Mark; 0x7C6E Mask; 0x7C6F Maximize; 0x7C71 Meta; 0x7C72 Modal; "
    "0x7C74 NoBar; 0x7C75 NoMerge; 0x7C77 PageAfter/PageAfterNum; 0x7C78 PageBefore; 0x7C79 "
    "PageBeforeNum; 0x7C7A Password; 0x7C7B ReadOnly; 0x7C7D Reset; 0x7C7E Round; 0x7C7F Scroll; 0x7C80 "
    "Separate; 0x7C81 Skip; 0x7C83 Step; 0x7C84 System; 0x7C85 Format; 0x7C86 Timer; 0x7C87 Check; "
    "0x7C8B VScroll; 0x7C8C WithNext; 0x7C8D WithPrior; 0x7C8E Items; 0x7C8F SelStart/Selected; 0x7C90 "
    "SelEnd; 0x7C91 Auto; 0x7C92 ToolBox; 0x7C93 Palette; 0x7C94 ImageBits; 0x7C95 Thread; 0x7C96 "
    "Handle; 0x7C97 Active; 0x7C98 VBXEvent; 0x7C99 Follows; 0x7C9A AcceptAll; 0x7C9B Touched; 0x7C9E "
    "VScrollPos; 0x7C9F ClipBits; 0x7CA3 Vertical; 0x7CA4 Smooth; 0x7CA5 LFNSupport; 0x7CA6 Progress; "
    "0x7CA7 Visible; 0x7CA8 Enabled; 0x7CA9 Wizard; 0x7CAA ChoiceFEQ; 0x7CAB ClientHandle; 0x7CAC "
    "LineCount; 0x7CAD MinWidth; 0x7CAE MinHeight; 0x7CAF MaxWidth; 0x7CB0 MaxHeight; 0x7CB1 NoTips; "
    "0x7CB2 TipDelay; 0x7CB3 TipDisplay; 0x7CB4 WNDProc; 0x7CB5 ClientWNDProc; 0x7CB6 ImageBlob; 0x7CB7 "
    "Spread; 0x7CB9 Size; 0x7CBA ScreenText; 0x7CBB HScrollPos; 0x7CBC LazyDisplay; 0x7CBD DeferMove; "
    "0x7CBE AppInstance; 0x7CBF TrueValue/Value; 0x7CC0 FalseValue; 0x7CC1 DDETimeOut; 0x7CC2 TabRows; "
    "0x7CC3 NumTabs; 0x7CC4 LibVersion; 0x7CC5 ExeVersion; 0x7CC6 Create; 0x7CC7 SaveAs; 0x7CC8 Open; "
    "0x7CC9 Blob; 0x7CCA DoVerb; 0x7CCB SizeMode; 0x7CCC SelectInterface; 0x7CCD AddRef; 0x7CCE Release; "
    "0x7CCF Deactivate; 0x7CD0 Update; 0x7CD1 Paste; 0x7CD2 ReportException; 0x7CD3 PasteLink; 0x7CD4 "
    "Copy; 0x7CD5 CanPaste; 0x7CD6 CanPasteLink; 0x7CD7 WindowUI; 0x7CD8 DesignMode; 0x7CD9 Ctrl; 0x7CDA "
    "GrabHandles; 0x7CDC IsRadio; 0x7CDD LastEventName; 0x7CDE CLSID; 0x7CDF ProgID; 0x7CE2 Join; 0x7CE3 "
    "NoSheet; 0x7CE4 Bevel/BevelOuter; 0x7CE5 BevelInner; 0x7CE6 BevelStyle; 0x7CE7 LineWidth; 0x7CE9 "
    "Angle; 0x7CEA AutoSize; 0x7CEB Clip; 0x7CEC Stretch; 0x7CED Zoom; 0x7CEE Compatibility; 0x7CEF "
    "Design; 0x7CF0 Document; 0x7CF1 Link; 0x7CF2 Align; 0x7CF3 Cancel; 0x7CF4 TextAlign; 0x7CF5 Object; "
    "0x7CF8 Language; 0x7CF9 Interface; 0x7CFA Background/Color/FillColor; 0x7CFB SelectedColor; 0x7CFC "
    "SelectedFillColor; 0x7CFD LineHeight; 0x7CFE DropWidth; 0x7CFF AlwaysDrop; 0x7D00 Status; 0x7D01 "
    "StatusText; 0x7D02 DragID; 0x7D03 DropID; 0x7D04 VBXEventArg; 0x7D05 Edit; 0x7D06 Alrt; 0x7D07 "
    "IconList; 0x7D08 Line; 0x7D09 Tally; 0x7D0A Child; 0x7D0B NextField; 0x7D0C SnapWidth; 0x7D0D "
    "SnapHeight; 0x7D0E CustomColor"
    "; 0x0010 TipsFont/RTFCurrentFont; 0x0014 StatusFont";

struct Entry {
  std::string name;
  std::uint16_t number;
};

std::vector<Entry> documentedNames() {
  std::vector<Entry> out;
  std::stringstream in(kList);
  std::string item;
  while (std::getline(in, item, ';')) {
    std::stringstream fields(item);
    std::string number, names;
    fields >> number >> names;
    std::stringstream each(names);
    std::string name;
    while (std::getline(each, name, '/')) out.push_back({name, std::uint16_t(std::stoul(number, nullptr, 16))});
  }
  return out;
}

TEST(PropertyNamesTest, EveryDocumentedNameResolvesToItsNumberInEverySpelling) {
  const auto names = documentedNames();
  ASSERT_EQ(names.size(), 290u);
  EXPECT_EQ(propertyNames().size(), names.size());
  for (const Entry& e : names) {
    std::string lower = e.name, upper = e.name;
    for (char& c : lower) c = char(std::tolower((unsigned char)c));
    for (char& c : upper) c = char(std::toupper((unsigned char)c));
    for (const std::string& spelling : {e.name, lower, upper, "PROP:" + e.name, "prop:" + lower})
      EXPECT_EQ(propertyNumber(spelling), e.number) << spelling;
  }
}

TEST(PropertyNamesTest, SharedNumbersShowTheirFirstName) {
  EXPECT_EQ(propertyNumber("Below"), 0x7C06);
  EXPECT_EQ(propertyNumber("Center"), 0x7C06);
  EXPECT_EQ(propertyName(0x7C06), "Below");
  EXPECT_EQ(propertyName(0x7CFA), "Background");
  EXPECT_EQ(propertyNumber("FillColor"), 0x7CFA);
  EXPECT_EQ(propertyName(0x7C16), "");  // a gap in the numbering
}

TEST(PropertyNamesTest, OtherTextsAreNoPropertyNames) {
  for (const char* text : {"", "PROP:", "Widt", "Width ", " Width", "PROP:PROP:Width", "PROPWidth", "Xpos2"})
    EXPECT_EQ(propertyNumber(text), std::nullopt) << text;
}

TEST(PropertyNamesTest, IndexesStartAt7D00) {
  EXPECT_FALSE(takesIndex(0x7CFF));
  EXPECT_TRUE(takesIndex(0x7D00));
  EXPECT_TRUE(isRuntimeProperty(0x7000));
  EXPECT_FALSE(isRuntimeProperty(0x6FFF));
}

}  // namespace
}  // namespace tamsil::window
