// Checksums used by .3dm files: the zlib CRC-32 of chunks and compressed
// buffers, and the CRC-16 that archive version 1 chunks carry.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tmxfile {

// zlib/PNG CRC-32, continuing from crc (0 to start).
uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size);

// The augmented CCITT CRC-16 of version 1 chunks, continuing from crc
// (the remainder starts at 1). Feeding the data and then the two stored
// bytes leaves 0 when the chunk is intact.
uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size);

} // namespace tmxfile
