#include "runtime/window/event_codes.h"

namespace tamsil::window {

namespace {

struct Named {
  unsigned number;
  std::string_view name;
};

constexpr Named kEvents[] = {
    {0x01, "EVENT:Accepted"},     {0x02, "EVENT:NewSelection"}, {0x03, "EVENT:ScrollUp"},     {0x04, "EVENT:ScrollDown"},
    {0x05, "EVENT:PageUp"},       {0x06, "EVENT:PageDown"},     {0x07, "EVENT:ScrollTop"},    {0x08, "EVENT:ScrollBottom"},
    {0x09, "EVENT:Locate"},       {0x0A, "EVENT:MouseUp"},      {0x0B, "EVENT:MouseIn"},      {0x0C, "EVENT:MouseOut"},
    {0x0D, "EVENT:MouseMove"},    {0x0E, "EVENT:VBXevent"},     {0x0F, "EVENT:AlertKey"},     {0x10, "EVENT:PreAlert"},
    {0x11, "EVENT:Dragging"},     {0x12, "EVENT:Drag"},         {0x13, "EVENT:Drop"},         {0x14, "EVENT:ScrollDrag"},
    {0x15, "EVENT:TabChanging"},  {0x16, "EVENT:Expanding"},    {0x17, "EVENT:Contracting"},  {0x18, "EVENT:Expanded"},
    {0x19, "EVENT:Contracted"},   {0x1A, "EVENT:Rejected"},     {0x1B, "EVENT:DroppingDown"}, {0x1C, "EVENT:DroppedDown"},
    {0x1D, "EVENT:ScrollTrack"},  {0x1E, "EVENT:ColumnResize"}, {0x101, "EVENT:Selected"},    {0x102, "EVENT:Selecting"},
    {0x201, "EVENT:CloseWindow"}, {0x202, "EVENT:CloseDown"},   {0x203, "EVENT:OpenWindow"},  {0x204, "EVENT:OpenFailed"},
    {0x205, "EVENT:LoseFocus"},   {0x206, "EVENT:GainFocus"},   {0x208, "EVENT:Suspend"},     {0x209, "EVENT:Resume"},
    {0x20A, "EVENT:Notify"},      {0x20B, "EVENT:Timer"},       {0x20C, "EVENT:DDErequest"},  {0x20D, "EVENT:DDEadvise"},
    {0x20E, "EVENT:DDEdata"},     {0x20F, "EVENT:DDEexecute"},  {0x210, "EVENT:DDEpoke"},     {0x211, "EVENT:DDEclosed"},
    {0x220, "EVENT:Move"},        {0x221, "EVENT:Size"},        {0x222, "EVENT:Restore"},     {0x223, "EVENT:Maximize"},
    {0x224, "EVENT:Iconize"},     {0x225, "EVENT:Completed"},   {0x230, "EVENT:Moved"},       {0x231, "EVENT:Sized"},
    {0x232, "EVENT:Restored"},    {0x233, "EVENT:Maximized"},   {0x234, "EVENT:Iconized"},    {0x235, "EVENT:Docked"},
    {0x236, "EVENT:UnDocked"},    {0x240, "EVENT:BuildFile"},   {0x241, "EVENT:BuildKey"},    {0x242, "EVENT:BuildDone"},
};

constexpr Named kPrivate[] = {
    {0xB000, "QUERY_SHUTDOWN"},    {0xB001, "QUERY_SETUSE"},      {0xB002, "QUERY_SELECTED"},   {0xB003, "QUERY_COMMAND"},
    {0xB004, "QUERY_HOTCHANGE"},   {0xB005, "QUERY_HELP"},        {0xB006, "QUERY_QUIT"},       {0xB007, "QUERY_REPLY"},
    {0xB008, "QUERY_LOSEFOCUS"},   {0xB00B, "QUERY_DOCKQUERY"},   {0xB00C, "QUERY_COLOR"},      {0xB00E, "QUERY_HSCROLL"},
    {0xB010, "QUERY_NOTIFY"},      {0xB012, "QUERY_LOCATE"},      {0xB01D, "QUERY_EDITDONE"},   {0xB025, "QUERY_CONTINUETHREAD"},
    {0xB026, "QUERY_SETBARS"},     {0xB027, "QUERY_DIRTYBARS"},   {0xB028, "QUERY_MERGE"},      {0xB029, "QUERY_SAFEMAXIMIZE"},
    {0xB02A, "QUERY_SAFERESTORE"}, {0xB02B, "QUERY_MDIMAXIMIZE"}, {0xB02C, "QUERY_MDIRESTORE"}, {0xB02D, "QUERY_HOT"},
    {0xB02E, "QUERY_SIZEMOVE"},
};

std::string_view find(const auto& table, unsigned number) {
  for (const Named& n : table)
    if (n.number == number) return n.name;
  return {};
}

}  // namespace

std::string_view eventName(int code) { return code < 0 ? std::string_view() : find(kEvents, unsigned(code)); }

std::string_view privateMessageName(platform::UINT message) { return find(kPrivate, message); }

}  // namespace tamsil::window
