#include "runtime/value/codepage.h"

namespace tamsil {
namespace {

constexpr uint8_t kOemUpperHalf[128] = {
    0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5, 0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2,
    0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xA2, 0xA3, 0xA5, 0x50, 0x83, 0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAC, 0xAC, 0xBD,
    0xBC, 0xA1, 0xAB, 0xBB, 0x5F, 0x5F, 0x5F, 0x7C, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x7C, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B,
    0x2B, 0x2B, 0x2D, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x3D, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B, 0x2B,
    0x2B, 0x2B, 0x2B, 0x5F, 0x5F, 0x5F, 0x5F, 0x5F, 0x61, 0xDF, 0x47, 0x70, 0x53, 0x73, 0xB5, 0x74, 0x46, 0x54, 0x4F, 0x64, 0x38, 0x66,
    0x65, 0x6E, 0x3D, 0xB1, 0x3D, 0x3D, 0x28, 0x29, 0xF7, 0x3D, 0xB0, 0xB7, 0xB7, 0x76, 0x6E, 0xB2, 0x5F, 0xA0,
};

constexpr std::array<uint8_t, 256> kSortWeights = {
    0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  11,  12,  13,  14,  15,  16,  17,  18,  19,  20,  21,  22,  23,  24,  25,
    26,  27,  28,  29,  30,  31,  38,  39,  40,  41,  42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  115, 119, 121, 123,
    125, 126, 127, 128, 129, 130, 54,  55,  56,  57,  58,  59,  60,  132, 149, 151, 155, 159, 170, 172, 174, 176, 186, 188, 190, 192,
    195, 199, 216, 218, 220, 222, 227, 231, 241, 243, 245, 247, 252, 61,  62,  63,  64,  65,  66,  131, 148, 150, 154, 158, 168, 171,
    173, 175, 185, 187, 189, 191, 194, 198, 215, 217, 219, 221, 226, 230, 240, 242, 244, 246, 251, 67,  68,  69,  70,  32,  71,  33,
    72,  169, 73,  74,  75,  76,  77,  78,  224, 79,  214, 34,  254, 35,  36,  80,  81,  82,  83,  84,  85,  86,  87,  88,  223, 89,
    213, 37,  253, 250, 90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  133, 100, 101, 102, 103, 104, 105, 106, 122, 124, 107, 193,
    108, 109, 110, 120, 200, 111, 116, 117, 118, 112, 135, 137, 139, 141, 143, 145, 147, 153, 161, 163, 165, 167, 178, 180, 182, 184,
    157, 197, 204, 206, 208, 210, 212, 113, 202, 233, 235, 237, 239, 249, 229, 225, 134, 136, 138, 140, 142, 144, 146, 152, 160, 162,
    164, 166, 177, 179, 181, 183, 156, 196, 203, 205, 207, 209, 211, 114, 201, 232, 234, 236, 238, 248, 228, 255,
};

}  // namespace

uint8_t oemToAnsi(uint8_t c) { return c < 128 ? c : kOemUpperHalf[c - 128]; }

std::string oemToAnsi(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = char(oemToAnsi(uint8_t(c)));
  return out;
}

bool ansiIsUpper(uint8_t c) {
  return (c >= 'A' && c <= 'Z') || c == 0x8A || c == 0x8C || c == 0x8E || c == 0x9F || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
}

bool ansiIsLower(uint8_t c) {
  return (c >= 'a' && c <= 'z') || c == 0x83 || c == 0x9A || c == 0x9C || c == 0x9E || c == 0xAA || c == 0xB5 || c == 0xBA ||
         (c >= 0xDF && c != 0xF7);
}

uint8_t ansiOtherCase(uint8_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) return uint8_t(c + 32);
  if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) return uint8_t(c - 32);
  switch (c) {
    case 0x8A:
    case 0x8C:
    case 0x8E: return uint8_t(c + 16);  // Š Œ Ž
    case 0x9A:
    case 0x9C:
    case 0x9E: return uint8_t(c - 16);  // š œ ž
    case 0x9F: return 0xFF;             // Ÿ
    case 0xFF: return 0x9F;             // ÿ
    default: return c;
  }
}

const std::array<uint8_t, 256>& ansiSortWeights() { return kSortWeights; }

}  // namespace tamsil
