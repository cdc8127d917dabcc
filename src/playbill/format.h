// Byte layout of a playbill: little-endian object headers that nest bill >
// page > area > component > element, each declaring the bytes of its
// children. Validation, the loader and the scheduler all read through these.
#pragma once
#include <cstdint>

namespace ledview {

inline constexpr uint32_t kPlayBillMaxBytes = 0x300000;

inline constexpr uint32_t kBillMagic = 0x80000000u;
inline constexpr uint32_t kPageMagic = 0x40000000u;
inline constexpr uint32_t kAreaMagic = 0x20000000u;
inline constexpr uint32_t kComponentMagic = 0x08000000u;
inline constexpr uint32_t kElementMagic = 0x04000000u;

inline constexpr uint32_t kBillHeaderBytes = 12;
inline constexpr uint32_t kPageHeaderBytes = 16;
inline constexpr uint32_t kAreaHeaderBytes = 20;
inline constexpr uint32_t kComponentHeaderBytes = 20;
inline constexpr uint32_t kElementHeaderBytes = 24;

// Field offsets within each header.
namespace billfield {
inline constexpr uint32_t pagesize = 8;
}
namespace pagefield {
inline constexpr uint32_t bordertype = 4;
inline constexpr uint32_t playtime = 8;
inline constexpr uint32_t areasize = 12;
}  // namespace pagefield
namespace rectfield {  // areas and components share the rectangle
inline constexpr uint32_t x = 4;
inline constexpr uint32_t y = 6;
inline constexpr uint32_t width = 8;
inline constexpr uint32_t height = 10;
}  // namespace rectfield
namespace areafield {
inline constexpr uint32_t staticflag = 12;
inline constexpr uint32_t componentsize = 16;
}  // namespace areafield
namespace componentfield {
inline constexpr uint32_t bordertype = 12;
inline constexpr uint32_t componentsize = 16;
}  // namespace componentfield
namespace elementfield {
inline constexpr uint32_t elemtype = 4;
inline constexpr uint32_t delaytime = 6;
inline constexpr uint32_t speed = 8;
inline constexpr uint32_t entryeffect = 10;
inline constexpr uint32_t staytime = 12;
inline constexpr uint32_t exiteffect = 16;
inline constexpr uint32_t vsobjsize = 20;
}  // namespace elementfield

inline constexpr uint16_t kEntryEffectRandom = 53;
inline constexpr uint32_t kExitEffectRandom = 10;

inline uint16_t ReadU16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
         (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t ReadI32(const uint8_t* p) { return static_cast<int32_t>(ReadU32(p)); }

inline void WriteU16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
inline void WriteU32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace ledview
