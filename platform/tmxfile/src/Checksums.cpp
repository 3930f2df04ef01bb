#include "Checksums.h"

#include <zlib.h>

namespace tmxfile {

uint32_t Crc32(uint32_t crc, const uint8_t* data, size_t size) {
    // zlib takes uInt lengths; feed huge buffers in pieces.
    while (size > 0) {
        const uInt piece = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
        crc = static_cast<uint32_t>(crc32(crc, data, piece));
        data += piece;
        size -= piece;
    }
    return crc;
}

namespace {
struct Crc16Table {
    uint16_t t[256];
    Crc16Table() {
        for (unsigned i = 0; i < 256; ++i) {
            unsigned r = i << 8;
            for (int b = 0; b < 8; ++b)
                r = (r & 0x8000u) ? ((r << 1) ^ 0x1021u) : (r << 1);
            t[i] = static_cast<uint16_t>(r & 0xFFFFu);
        }
    }
};
} // namespace

uint16_t Crc16(uint16_t crc, const uint8_t* data, size_t size) {
    static const Crc16Table table;
    unsigned r = crc;
    for (size_t i = 0; i < size; ++i)
        r = (((r << 8) & 0xFFFFu) ^ data[i] ^ table.t[r >> 8]) & 0xFFFFu;
    return static_cast<uint16_t>(r);
}

} // namespace tmxfile
