// Numbers stored in a fixed byte order: picture file headers, the spool's stand-ins and
// the decoder's pipe. The reads take the bytes at hand; callers check the bounds.
#pragma once
#include <cstdint>
#include <vector>

// The unsigned number in `bytes` bytes at p, most significant byte first or last.
inline uint64_t ReadBigEndian(const uint8_t* p, int bytes)
{
    uint64_t value = 0;
    for (int i = 0; i < bytes; i++) value = value << 8 | p[i];
    return value;
}
inline uint64_t ReadLittleEndian(const uint8_t* p, int bytes)
{
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; i--) value = value << 8 | p[i];
    return value;
}
inline uint64_t ReadInOrder(const uint8_t* p, int bytes, bool bigEndian)
{
    return bigEndian ? ReadBigEndian(p, bytes) : ReadLittleEndian(p, bytes);
}

inline uint32_t Be16(const uint8_t* p) { return (uint32_t)ReadBigEndian(p, 2); }
inline uint32_t Be32(const uint8_t* p) { return (uint32_t)ReadBigEndian(p, 4); }
inline uint32_t Le16(const uint8_t* p) { return (uint32_t)ReadLittleEndian(p, 2); }
inline uint32_t Le32(const uint8_t* p) { return (uint32_t)ReadLittleEndian(p, 4); }

// Adds value's `bytes` lowest bytes at the end of out.
inline void AppendBigEndian(std::vector<uint8_t>* out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; i--) out->push_back((uint8_t)(value >> (8 * i)));
}
inline void AppendLittleEndian(std::vector<uint8_t>* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; i++) out->push_back((uint8_t)(value >> (8 * i)));
}
