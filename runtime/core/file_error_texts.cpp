#include "runtime/core/file_error_texts.h"

#include <iterator>

namespace tamsil {

namespace {

struct Message {
  int code;
  const char* text;
};

constexpr Message kFileMessages[] = {
    {2, "File Not Found"},
    {3, "Path Not Found"},
    {4, "Too Many Open Files"},
    {5, "Access Denied"},
    {7, "Memory Corrupted"},
    {8, "Insufficient Memory"},
    {15, "Bad drive"},
    {30, "Entry Not Found"},
    {32, "File Is Already Locked"},
    {33, "Record Not Available"},
    {35, "Record Not Found"},
    {36, "Invalid Data File"},
    {37, "File Not Open"},
    {38, "Invalid Key File"},
    {40, "Creates Duplicate Key"},
    {43, "Record Is Already Held"},
    {45, "Invalid Filename"},
    {46, "Key File Must Be Rebuilt"},
    {47, "Invalid Record Declaration"},
    {48, "Unable To Log Transaction"},
    {52, "File Already Open"},
    {53, "Invalid Tamsil File"},
    {54, "No Create Attribute"},
    {55, "File Must Be Shared"},
    {56, "LOGOUT Already Active"},
    {57, "Invalid Memo File"},
    {63, "Exclusive Access Required"},
    {64, "Sharing Violation"},
    {65, "Unable To ROLLBACK Transaction"},
    {73, "Memo File Missing"},
    {75, "Invalid Field Type Descriptor"},
    {76, "Invalid Index String"},
    {77, "Unable To Access Index"},
    {78, "Invalid Number Of Parameters"},
    {79, "Unsupported Data Type In File"},
    {80, "Unsupported File Driver Function"},
    {81, "Unknown Error Posted"},
    {88, "Invalid Key Length"},
    {89, "Record Changed By Another Station"},
    {90, "File System Error"},
    {91, "LOGOUT Not Active"},
    {92, "BUILD In Progress"},
    {93, "BUILD Cancelled"},
    {95, "Server Not Found"},
    {96, "Remote Object Not Found"},
    {97, "Stream Error"},
    {99, "Bad Error"},
    {100, "Trigger Error"},
};

// Operating-system errors 1..91 (messages 301..391). Numbers the platform does not use read as
// the last entry, "Unknown Error".
constexpr Message kOsMessages[] = {
    {1, "Invalid Function"},
    {2, "File Not Found"},
    {3, "Path Not Found"},
    {4, "Too Many Open Files"},
    {5, "Access Denied"},
    {6, "Invalid Handle"},
    {7, "Memory Control Blocks Destroyed"},
    {8, "Not Enough Memory"},
    {9, "Invalid Memory Block Address"},
    {10, "Invalid Environment"},
    {11, "Invalid Format"},
    {12, "Invalid Access Code"},
    {13, "Invalid Data"},
    {14, "Out Of Memory"},
    {15, "Invalid Drive"},
    {16, "Cannot Remove Current Directory"},
    {17, "Not Same Device"},
    {18, "No More Files"},
    {19, "Disk Write Protected"},
    {20, "Unknown Unit"},
    {21, "Drive Not Ready"},
    {22, "Unknown Command"},
    {23, "Data Error (CRC)"},
    {24, "Bad Request Structure Length"},
    {25, "Seek Error"},
    {26, "Unknown Media Type"},
    {27, "Sector Not Found"},
    {28, "Printer Out Of Paper"},
    {29, "Write Fault"},
    {30, "Read Fault"},
    {31, "General Failure"},
    {32, "Sharing Violation"},
    {33, "Lock Violation"},
    {34, "Invalid Disk Change"},
    {36, "Sharing Buffer Overflow"},
    {38, "End Of File"},
    {39, "Disk Full"},
    {50, "Request Not Supported"},
    {51, "Remote Computer Not Listening"},
    {52, "Duplicate Name On Network"},
    {53, "Network Path Not Found"},
    {54, "Network Busy"},
    {55, "Network Device Not Found"},
    {56, "Network Command Limit Reached"},
    {57, "Network Adapter Hardware Error"},
    {58, "Incorrect Network Response"},
    {59, "Unexpected Network Error"},
    {60, "Incompatible Remote Adapter"},
    {61, "Print Queue Full"},
    {62, "No Space For Print File"},
    {63, "Print File Deleted"},
    {64, "Network Name Deleted"},
    {65, "Network Access Denied"},
    {66, "Incorrect Network Device Type"},
    {67, "Network Name Not Found"},
    {68, "Network Name Limit Exceeded"},
    {69, "Network Session Limit Exceeded"},
    {70, "Sharing Paused"},
    {71, "Network Request Not Accepted"},
    {72, "Redirection Paused"},
    {80, "File Exists"},
    {82, "Cannot Make Directory Entry"},
    {83, "Fail On Interrupt 24"},
    {84, "Too Many Redirections"},
    {85, "Duplicate Redirection"},
    {86, "Invalid Password"},
    {87, "Invalid Parameter"},
    {88, "Network Write Fault"},
    {89, "No Process Slots"},
    {91, "Unknown Error"},
};

const char* find(const Message* begin, const Message* end, int code) {
  for (const Message* m = begin; m != end; ++m)
    if (m->code == code) return m->text;
  return nullptr;
}

}  // namespace

const char* FileErrorText(int code) {
  if (const char* text = find(std::begin(kFileMessages), std::end(kFileMessages), code)) return text;
  const int os = code - kOsErrorTextBase;
  if (os < 1 || os > kOsErrorTexts) return nullptr;
  const char* text = find(std::begin(kOsMessages), std::end(kOsMessages), os);
  return text ? text : "Unknown Error";
}

}  // namespace tamsil
