#include "runtime/window/property_names.h"

#include <string>
#include <unordered_map>

namespace tamsil::window {

namespace {

// The names of the runtime's properties, then the three font selectors (small numbers that pick
// the tool-tip, rich-text and status-bar fonts as the index of a font property).
constexpr PropertyName kNames[] = {
    {"Down", 0x7A01}, {"UpsideDown", 0x7A02}, {"HeaderHeight", 0x7A03}, {"Checked", 0x7A04},
    {"AutoPaper", 0x7A05}, {"Single", 0x7A06}, {"Parent", 0x7A07}, {"Repeat", 0x7A08},
    {"EventsWaiting", 0x7A09}, {"DDEmode", 0x7A0A}, {"Threading", 0x7A0B}, {"TempNameFunc", 0x7A0C},
    {"Delay", 0x7A0F}, {"BreakVar", 0x7A10}, {"ListFEQ", 0x7A12}, {"ButtonFEQ", 0x7A13}, {"Flat", 0x7A14},
    {"WallPaper", 0x7A15}, {"Tiled", 0x7A16}, {"Centered", 0x7A17}, {"ChildIndex", 0x7A18},
    {"InToolBar", 0x7A19}, {"PrintMode", 0x7A1A}, {"RejectCode", 0x7A1B}, {"VLBProc", 0x7A1C},
    {"VLBVal", 0x7A1D}, {"TempImage", 0x7A1E}, {"TempPagePath", 0x7A20}, {"TempPath", 0x7A20},
    {"TempImagePath", 0x7A21}, {"ColorDialogHook", 0x7A30}, {"LibHook", 0x7A30}, {"FileDialogHook", 0x7A31},
    {"FontDialogHook", 0x7A32}, {"PrinterDialogHook", 0x7A33}, {"HaltHook", 0x7A34}, {"MessageHook", 0x7A35},
    {"StopHook", 0x7A36}, {"AssertHook", 0x7A37}, {"FatalErrorHook", 0x7A38}, {"CharSet", 0x7A39},
    {"FontCharSet", 0x7A3A}, {"SystemPropHook", 0x7A3B}, {"AssertHook2", 0x7A3C},
    {"InitAStringHook", 0x7A3D}, {"UnlockThreadHook", 0x7A3E}, {"LockThreadHook", 0x7A3F},
    {"NoWidth", 0x7A40}, {"NoHeight", 0x7A41}, {"NextPageNo", 0x7A42}, {"XOrigin", 0x7A43},
    {"YOrigin", 0x7A44}, {"Target", 0x7A45}, {"Together", 0x7A46}, {"Dock", 0x7A47}, {"Docked", 0x7A48},
    {"BrokenTabs", 0x7A49}, {"ImageInstance", 0x7A4A}, {"GlobalHelp", 0x7A4B}, {"Buffer", 0x7A4C},
    {"clientx", 0x7A4D}, {"clienty", 0x7A4E}, {"clientwidth", 0x7A4F}, {"clientheight", 0x7A50},
    {"UseAddress", 0x7A52}, {"FlushPageNumFunc", 0x7A54}, {"WheelScroll", 0x7A55}, {"NextTabStop", 0x7A56},
    {"PrevTabStop", 0x7A57}, {"PropVScroll", 0x7A58}, {"DataPath", 0x7A59}, {"Layout", 0x7A5A},
    {"WindowsVersion", 0x7A5B}, {"Extend", 0x7A5C}, {"ThemeActive", 0x7A5E}, {"ThreadLockedHook", 0x7A60},
    {"FileDialogAHook", 0x7A61}, {"ColorHighByte", 0x7A70}, {"ToolBar", 0x7A71}, {"MenuBar", 0x7A72},
    {"Text", 0x7C00}, {"Type", 0x7C01}, {"Xpos", 0x7C02}, {"Ypos", 0x7C03}, {"Width", 0x7C04},
    {"Height", 0x7C05}, {"Below", 0x7C06}, {"Center", 0x7C06}, {"BelowSize", 0x7C07},
    {"CenterOffSet", 0x7C07}, {"Left", 0x7C08}, {"LeftOffSet", 0x7C09}, {"Above", 0x7C0A},
    {"Decimal", 0x7C0A}, {"AboveSize", 0x7C0B}, {"DecimalOffSet", 0x7C0B}, {"Right", 0x7C0C},
    {"RightOffSet", 0x7C0D}, {"Class", 0x7C0E}, {"VBXFile", 0x7C0E}, {"VBXName", 0x7C0F}, {"Font", 0x7C10},
    {"FontName", 0x7C10}, {"FontSize", 0x7C11}, {"FontColor", 0x7C12}, {"FontStyle", 0x7C13},
    {"Range", 0x7C14}, {"RangeLow", 0x7C14}, {"RangeHigh", 0x7C15}, {"VCRFeq", 0x7C17}, {"Double", 0x7C19},
    {"Resize", 0x7C1A}, {"NoFrame", 0x7C1B}, {"Thous", 0x7C1D}, {"Pixels", 0x7C1E}, {"Points", 0x7C1E},
    {"PageNo", 0x7C45}, {"Page", 0x7C50}, {"Absolute", 0x7C51}, {"Alone", 0x7C52}, {"Preview", 0x7C53},
    {"FlushPreview", 0x7C54}, {"First", 0x7C55}, {"Last", 0x7C56}, {"Boxed", 0x7C59}, {"Column", 0x7C5C},
    {"Cursor", 0x7C5D}, {"Default", 0x7C5E}, {"Disable", 0x7C5F}, {"Drop", 0x7C60}, {"Fill", 0x7C61},
    {"From", 0x7C62}, {"Full", 0x7C63}, {"Gray", 0x7C64}, {"Hide", 0x7C65}, {"HScroll", 0x7C67},
    {"Icon", 0x7C68}, {"Iconize", 0x7C69}, {"Landscape", 0x7C6C}, {"Mark", 0x7C6D}, {"Mask", 0x7C6E},
    {"Maximize", 0x7C6F}, {"Meta", 0x7C71}, {"Modal", 0x7C72}, {"NoBar", 0x7C74}, {"NoMerge", 0x7C75},
    {"PageAfter", 0x7C77}, {"PageAfterNum", 0x7C77}, {"PageBefore", 0x7C78}, {"PageBeforeNum", 0x7C79},
    {"Password", 0x7C7A}, {"ReadOnly", 0x7C7B}, {"Reset", 0x7C7D}, {"Round", 0x7C7E}, {"Scroll", 0x7C7F},
    {"Separate", 0x7C80}, {"Skip", 0x7C81}, {"Step", 0x7C83}, {"System", 0x7C84}, {"Format", 0x7C85},
    {"Timer", 0x7C86}, {"Check", 0x7C87}, {"VScroll", 0x7C8B}, {"WithNext", 0x7C8C}, {"WithPrior", 0x7C8D},
    {"Items", 0x7C8E}, {"SelStart", 0x7C8F}, {"Selected", 0x7C8F}, {"SelEnd", 0x7C90}, {"Auto", 0x7C91},
    {"ToolBox", 0x7C92}, {"Palette", 0x7C93}, {"ImageBits", 0x7C94}, {"Thread", 0x7C95}, {"Handle", 0x7C96},
    {"Active", 0x7C97}, {"VBXEvent", 0x7C98}, {"Follows", 0x7C99}, {"AcceptAll", 0x7C9A},
    {"Touched", 0x7C9B}, {"VScrollPos", 0x7C9E}, {"ClipBits", 0x7C9F}, {"Vertical", 0x7CA3},
    {"Smooth", 0x7CA4}, {"LFNSupport", 0x7CA5}, {"Progress", 0x7CA6}, {"Visible", 0x7CA7},
    {"Enabled", 0x7CA8}, {"Wizard", 0x7CA9}, {"ChoiceFEQ", 0x7CAA}, {"ClientHandle", 0x7CAB},
    {"LineCount", 0x7CAC}, {"MinWidth", 0x7CAD}, {"MinHeight", 0x7CAE}, {"MaxWidth", 0x7CAF},
    {"MaxHeight", 0x7CB0}, {"NoTips", 0x7CB1}, {"TipDelay", 0x7CB2}, {"TipDisplay", 0x7CB3},
    {"WNDProc", 0x7CB4}, {"ClientWNDProc", 0x7CB5}, {"ImageBlob", 0x7CB6}, {"Spread", 0x7CB7},
    {"Size", 0x7CB9}, {"ScreenText", 0x7CBA}, {"HScrollPos", 0x7CBB}, {"LazyDisplay", 0x7CBC},
    {"DeferMove", 0x7CBD}, {"AppInstance", 0x7CBE}, {"TrueValue", 0x7CBF}, {"Value", 0x7CBF},
    {"FalseValue", 0x7CC0}, {"DDETimeOut", 0x7CC1}, {"TabRows", 0x7CC2}, {"NumTabs", 0x7CC3},
    {"LibVersion", 0x7CC4}, {"ExeVersion", 0x7CC5}, {"Create", 0x7CC6}, {"SaveAs", 0x7CC7}, {"Open", 0x7CC8},
    {"Blob", 0x7CC9}, {"DoVerb", 0x7CCA}, {"SizeMode", 0x7CCB}, {"SelectInterface", 0x7CCC},
    {"AddRef", 0x7CCD}, {"Release", 0x7CCE}, {"Deactivate", 0x7CCF}, {"Update", 0x7CD0}, {"Paste", 0x7CD1},
    {"ReportException", 0x7CD2}, {"PasteLink", 0x7CD3}, {"Copy", 0x7CD4}, {"CanPaste", 0x7CD5},
    {"CanPasteLink", 0x7CD6}, {"WindowUI", 0x7CD7}, {"DesignMode", 0x7CD8}, {"Ctrl", 0x7CD9},
    {"GrabHandles", 0x7CDA}, {"IsRadio", 0x7CDC}, {"LastEventName", 0x7CDD}, {"CLSID", 0x7CDE},
    {"ProgID", 0x7CDF}, {"Join", 0x7CE2}, {"NoSheet", 0x7CE3}, {"Bevel", 0x7CE4}, {"BevelOuter", 0x7CE4},
    {"BevelInner", 0x7CE5}, {"BevelStyle", 0x7CE6}, {"LineWidth", 0x7CE7}, {"Angle", 0x7CE9},
    {"AutoSize", 0x7CEA}, {"Clip", 0x7CEB}, {"Stretch", 0x7CEC}, {"Zoom", 0x7CED}, {"Compatibility", 0x7CEE},
    {"Design", 0x7CEF}, {"Document", 0x7CF0}, {"Link", 0x7CF1}, {"Align", 0x7CF2}, {"Cancel", 0x7CF3},
    {"TextAlign", 0x7CF4}, {"Object", 0x7CF5}, {"Language", 0x7CF8}, {"Interface", 0x7CF9},
    {"Background", 0x7CFA}, {"Color", 0x7CFA}, {"FillColor", 0x7CFA}, {"SelectedColor", 0x7CFB},
    {"SelectedFillColor", 0x7CFC}, {"LineHeight", 0x7CFD}, {"DropWidth", 0x7CFE}, {"AlwaysDrop", 0x7CFF},
    {"Status", 0x7D00}, {"StatusText", 0x7D01}, {"DragID", 0x7D02}, {"DropID", 0x7D03},
    {"VBXEventArg", 0x7D04}, {"Edit", 0x7D05}, {"Alrt", 0x7D06}, {"IconList", 0x7D07}, {"Line", 0x7D08},
    {"Tally", 0x7D09}, {"Child", 0x7D0A}, {"NextField", 0x7D0B}, {"SnapWidth", 0x7D0C},
    {"SnapHeight", 0x7D0D}, {"CustomColor", 0x7D0E},
    {"TipsFont", 0x10}, {"RTFCurrentFont", 0x10}, {"StatusFont", 0x14},
};

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

// Built once, on first use, by whichever thread asks first (a function-local static).
const std::unordered_map<std::string, std::uint16_t>& byName() {
  static const auto map = [] {
    std::unordered_map<std::string, std::uint16_t> m;
    for (const PropertyName& p : kNames) m.emplace(upper(p.name), p.number);
    return m;
  }();
  return map;
}

}  // namespace

std::span<const PropertyName> propertyNames() { return kNames; }

std::optional<std::uint16_t> propertyNumber(std::string_view name) {
  constexpr std::string_view kPrefix = "PROP:";
  std::string key = upper(name);
  if (std::string_view(key).starts_with(kPrefix)) key.erase(0, kPrefix.size());
  const auto& m = byName();
  const auto it = m.find(key);
  if (it == m.end()) return std::nullopt;
  return it->second;
}

std::string_view propertyName(std::uint16_t number) {
  for (const PropertyName& p : kNames)
    if (p.number == number) return p.name;
  return {};
}

}  // namespace tamsil::window
