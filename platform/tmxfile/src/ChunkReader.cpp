#include "ChunkReader.h"

#include "Checksums.h"

#include <cstdio>
#include <cstring>

namespace tmxfile {

std::string Hex32(uint32_t v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", v);
    return buf;
}

static int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Uuid Uuid::FromText(const char* text) {
    // Text order: Data1 (4 bytes), Data2, Data3 (2 each), then Data4 byte by
    // byte; the file stores Data1..Data3 little-endian.
    uint8_t seq[16] = {};
    int n = 0;
    for (const char* p = text; *p && n < 32; ++p) {
        const int d = HexDigit(*p);
        if (d < 0) continue;
        seq[n / 2] = static_cast<uint8_t>((seq[n / 2] << 4) | d);
        ++n;
    }
    Uuid u;
    const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    for (int i = 0; i < 16; ++i)
        u.b[i] = seq[order[i]];
    return u;
}

std::string Uuid::ToText() const {
    char buf[40];
    std::snprintf(buf, sizeof buf,
                  "%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X", b[3],
                  b[2], b[1], b[0], b[5], b[4], b[7], b[6], b[8], b[9], b[10], b[11], b[12], b[13],
                  b[14], b[15]);
    return buf;
}

ChunkReader::ChunkReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

bool ChunkReader::Fail(const std::string& what) {
    return Fail(what, pos_);
}

bool ChunkReader::Fail(const std::string& what, size_t where) {
    if (problem_.empty()) {
        problem_ = what;
        problemPos_ = where;
    }
    return false;
}

bool ChunkReader::Need(size_t n, const char* what) {
    if (!problem_.empty()) return false;
    if (n > Limit() - pos_) {
        std::string msg = "a ";
        msg += what;
        msg += stack_.empty() ? " runs past the end of the file"
                              : " runs past the end of its chunk (typecode " +
                                    Hex32(stack_.back().chunk.typecode) + ")";
        return Fail(msg);
    }
    return true;
}

bool ChunkReader::Bytes(void* dst, size_t n) {
    if (!Need(n, "value")) return false;
    if (n) std::memcpy(dst, data_ + pos_, n);
    pos_ += n;
    return true;
}

bool ChunkReader::Skip(size_t n) {
    if (!Need(n, "field")) return false;
    pos_ += n;
    return true;
}

bool ChunkReader::U8(uint8_t& v) {
    return Bytes(&v, 1);
}

bool ChunkReader::Bool(bool& v) {
    uint8_t b = 0;
    if (!U8(b)) return false;
    v = b != 0;
    return true;
}

// The file is little-endian; so are the machines this builds for.
bool ChunkReader::I16(int16_t& v) {
    return Bytes(&v, 2);
}
bool ChunkReader::I32(int32_t& v) {
    return Bytes(&v, 4);
}
bool ChunkReader::U32(uint32_t& v) {
    return Bytes(&v, 4);
}
bool ChunkReader::F32(float& v) {
    return Bytes(&v, 4);
}
bool ChunkReader::F64(double& v) {
    return Bytes(&v, 8);
}
bool ChunkReader::F64s(double* v, size_t n) {
    if (n > (Limit() - pos_) / 8) return Need(n * 8 + 8, "list of numbers");
    return Bytes(v, n * 8);
}
bool ChunkReader::ReadUuid(Uuid& v) {
    return Bytes(v.b, 16);
}

bool ChunkReader::Version(int& major, int& minor) {
    uint8_t b = 0;
    if (!U8(b)) return false;
    major = b >> 4;
    minor = b & 0x0F;
    return true;
}

bool ChunkReader::Fits(uint64_t count, size_t elementSize, const char* what) {
    if (!problem_.empty()) return false;
    const uint64_t remaining = Limit() - pos_;
    if (elementSize && count > remaining / elementSize) {
        return Fail(std::string("the ") + what + " count " + std::to_string(count) +
                    " does not fit in the " + std::to_string(remaining) + " bytes that remain");
    }
    return true;
}

bool ChunkReader::ArrayCount(int32_t& n, size_t elementSize, const char* what) {
    if (!I32(n)) return false;
    if (n < 0) n = 0;
    return Fits(static_cast<uint64_t>(n), elementSize, what);
}

bool ChunkReader::WideString(std::u16string& s) {
    s.clear();
    uint32_t n = 0;
    if (!U32(n)) return false;
    if (n == 0) return true;
    if (!Fits(n, 2, "text length")) return false;
    s.resize(n);
    if (!Bytes(&s[0], static_cast<size_t>(n) * 2)) return false;
    while (!s.empty() && s.back() == 0)
        s.pop_back();
    return true;
}

bool ChunkReader::SkipWideString() {
    uint32_t n = 0;
    if (!U32(n)) return false;
    if (!Fits(n, 2, "text length")) return false;
    return Skip(static_cast<size_t>(n) * 2);
}

bool ChunkReader::Peek(uint32_t& typecode) {
    if (!Need(4, "chunk header")) return false;
    std::memcpy(&typecode, data_ + pos_, 4);
    return true;
}

void ChunkReader::FoldCrc(Frame& f, size_t upTo) {
    if (f.chunk.hasCrc && upTo > f.crcFrom) {
        f.crc = Crc32(f.crc, data_ + f.crcFrom, upTo - f.crcFrom);
        f.crcFrom = upTo;
    }
}

bool ChunkReader::Begin(Chunk& c, const char* subject) {
    c = Chunk();
    c.start = pos_;
    if (!Need(4 + static_cast<size_t>(lengthSize_), "chunk header")) return false;
    std::memcpy(&c.typecode, data_ + pos_, 4);
    int64_t value = 0;
    if (lengthSize_ == 8) {
        std::memcpy(&value, data_ + pos_ + 4, 8);
    } else {
        uint32_t u = 0;
        std::memcpy(&u, data_ + pos_ + 4, 4);
        const bool isShort = (c.typecode & tcode::Short) != 0;
        const bool unsignedShort = c.typecode == 0x80400001u || c.typecode == 0x80400006u ||
                                   c.typecode == tcode::OpenNurbsVersion ||
                                   c.typecode == tcode::ObjectRecordType;
        value = (isShort && !unsignedShort) ? static_cast<int64_t>(static_cast<int32_t>(u))
                                            : static_cast<int64_t>(u);
    }
    if (c.typecode == 0 && av_ != 1)
        return Fail("a chunk has the typecode 0, which no writer uses");
    c.value = value;
    c.body = pos_ + 4 + static_cast<size_t>(lengthSize_);
    if (c.typecode & tcode::Short) {
        c.isShort = true;
        c.end = c.dataEnd = c.body;
        pos_ = c.body;
        // A nested chunk, short ones too, is not part of its parent's checked bytes.
        if (!stack_.empty()) {
            FoldCrc(stack_.back(), c.start);
            stack_.back().crcFrom = c.end;
        }
        return true;
    }
    const size_t limit = Limit();
    if (stack_.empty() && value >= 0 && static_cast<uint64_t>(value) > limit - c.body &&
        (c.typecode & 0xFFFFF000u) == 0x10000000u) {
        // A table cut short by the end of the file: open what is there, so that
        // the record that crosses the end is the one reported.
        value = static_cast<int64_t>(limit - c.body);
    }
    if (value < 0 || static_cast<uint64_t>(value) > limit - c.body) {
        std::string msg = subject ? std::string(subject)
                                  : "a chunk (typecode " + Hex32(c.typecode) + ") of " +
                                        std::to_string(value) + " bytes";
        if (!msg.empty()) msg += ' ';
        msg += (value < 0 || static_cast<uint64_t>(value) > size_ - c.body)
                   ? "ends past the end of the file"
                   : "ends past the end of the chunk that holds it";
        return Fail(msg);
    }
    c.end = c.body + static_cast<size_t>(value);
    c.hasCrc = (c.typecode & tcode::Crc) != 0 && av_ != 1;
    c.dataEnd = c.end;
    if (c.hasCrc) {
        if (value < 4)
            return Fail("a chunk (typecode " + Hex32(c.typecode) +
                        ") is too short for its checksum");
        c.dataEnd = c.end - 4;
    }
    if (!stack_.empty()) FoldCrc(stack_.back(), c.start);
    pos_ = c.body;
    stack_.push_back(Frame{c, c.body, 0});
    return true;
}

bool ChunkReader::Begin(Chunk& c, uint32_t expected, const char* what) {
    if (!Begin(c)) return false;
    if (c.typecode != expected) {
        const size_t at = c.start;
        if (!c.isShort) Abandon();
        return Fail(std::string("a ") + what + " chunk was expected but typecode " +
                        Hex32(c.typecode) + " was found",
                    at);
    }
    return true;
}

bool ChunkReader::End() {
    if (stack_.empty()) return Fail("internal: no open chunk to close");
    Frame& f = stack_.back();
    const Chunk c = f.chunk;
    if (problem_.empty() && c.hasCrc && pos_ == c.dataEnd) {
        FoldCrc(f, c.dataEnd);
        uint32_t stored = 0;
        std::memcpy(&stored, data_ + c.dataEnd, 4);
        if (stored != f.crc) {
            ++crcMismatches_;
#ifndef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION // the fuzzer cannot forge checksums: let it past
            Fail("the checksum of a chunk (typecode " + Hex32(c.typecode) +
                     ") does not match its contents",
                 c.start);
#endif
        }
    }
    const size_t end = c.end;
    if (!Abandon() || !problem_.empty()) return false;
    // Everything before the end of a chunk read to its close has been used and
    // folded into the checksums of the chunks around it. (Chunks merely
    // skipped are not counted: their bytes may be read later.)
    if (releaser_ && end > released_ + (size_t{4} << 20)) {
        releaser_(releaseContext_, data_ + released_, end - released_);
        released_ = end;
    }
    return true;
}

bool ChunkReader::Abandon() {
    if (stack_.empty()) return Fail("internal: no open chunk to close");
    const size_t end = stack_.back().chunk.end;
    stack_.pop_back();
    pos_ = end;
    if (!stack_.empty()) stack_.back().crcFrom = end;
    return true;
}

bool ChunkReader::Seek(size_t pos) {
    const size_t lo = stack_.empty() ? 0 : stack_.back().chunk.body;
    if (!stack_.empty() && stack_.back().chunk.hasCrc)
        return Fail("internal: seek inside a checked chunk");
    if (pos < lo || pos > Limit()) return Fail("internal: seek outside the open chunk");
    pos_ = pos;
    return Ok();
}

bool ChunkReader::SkipChunk(Chunk* out) {
    Chunk c;
    if (!Begin(c)) return false;
    if (!c.isShort) Abandon();
    if (out) *out = c;
    return true;
}

} // namespace tmxfile
