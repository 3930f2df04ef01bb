// The byte level of a .3dm archive: a cursor over the file image that cannot
// read past the end of the innermost open chunk, chunk headers whose length
// field is 4 or 8 bytes by archive version, and the CRC-32 of each chunk's
// own bytes (nested chunks excluded). Every read returns false on failure and
// leaves a description of the first problem; nothing throws.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace tmxfile {

namespace tcode {
constexpr uint32_t Short = 0x80000000u;
constexpr uint32_t Crc = 0x00008000u;
constexpr uint32_t CommentBlock = 0x00000001u;
constexpr uint32_t EndOfFile = 0x00007FFFu;
constexpr uint32_t EndOfTable = 0xFFFFFFFFu;
constexpr uint32_t Anonymous = 0x40008000u;
constexpr uint32_t ComponentAttributes = 0x40008002u;
constexpr uint32_t PropertiesTable = 0x10000014u;
constexpr uint32_t SettingsTable = 0x10000015u;
constexpr uint32_t LayerTable = 0x10000011u;
constexpr uint32_t LightTable = 0x10000012u;
constexpr uint32_t ObjectTable = 0x10000013u;
constexpr uint32_t InstanceDefinitionTable = 0x10000021u;
constexpr uint32_t OpenNurbsVersion = 0xA0000026u;
constexpr uint32_t UnitsAndTolerances = 0x20008031u;
constexpr uint32_t LayerRecord = 0x20008050u;
constexpr uint32_t LightRecord = 0x20008060u;
constexpr uint32_t ObjectRecord = 0x20008070u;
constexpr uint32_t ObjectRecordType = 0x82000071u;
constexpr uint32_t ObjectRecordAttributes = 0x02008072u;
constexpr uint32_t ObjectRecordEnd = 0x8200007Fu;
constexpr uint32_t InstanceDefinitionRecord = 0x20008076u;
constexpr uint32_t Class = 0x00027FFAu;
constexpr uint32_t ClassUuid = 0x0002FFFBu;
constexpr uint32_t ClassData = 0x0002FFFCu;
constexpr uint32_t ClassUserData = 0x00027FFDu;
constexpr uint32_t ClassEnd = 0x80027FFFu;
} // namespace tcode

struct Uuid {
    uint8_t b[16] = {};
    bool IsNil() const {
        for (uint8_t x : b)
            if (x) return false;
        return true;
    }
    bool operator==(const Uuid& o) const {
        for (int i = 0; i < 16; ++i)
            if (b[i] != o.b[i]) return false;
        return true;
    }
    bool operator!=(const Uuid& o) const { return !(*this == o); }
    bool operator<(const Uuid& o) const {
        for (int i = 0; i < 16; ++i)
            if (b[i] != o.b[i]) return b[i] < o.b[i];
        return false;
    }
    // Parses the canonical text form; used for the class id tables.
    static Uuid FromText(const char* text);
    std::string ToText() const;
};

struct Chunk {
    uint32_t typecode = 0;
    int64_t value = 0;  // short chunks: the value; long chunks: the body length
    size_t start = 0;   // offset of the header
    size_t body = 0;    // offset of the body (after the header)
    size_t end = 0;     // offset just past the chunk
    size_t dataEnd = 0; // end of the readable body (before the CRC)
    bool isShort = false;
    bool hasCrc = false;
};

class ChunkReader {
public:
    ChunkReader(const uint8_t* data, size_t size);

    // The length field is 4 bytes below archive version 50, 8 bytes from 50 on.
    void SetArchiveVersion(int av) {
        lengthSize_ = av >= 50 ? 8 : 4;
        av_ = av;
    }
    int ArchiveVersion() const { return av_; }

    size_t Pos() const { return pos_; }
    size_t Size() const { return size_; }
    // Bytes that remain readable before the end of the innermost open chunk.
    size_t Remaining() const { return Limit() - pos_; }
    int Depth() const { return static_cast<int>(stack_.size()); }
    const uint8_t* Data() const { return data_; }

    // Records the first problem (with the byte where it was found) and returns false.
    bool Fail(const std::string& what);
    bool Fail(const std::string& what, size_t where);
    bool Ok() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    size_t ProblemPos() const { return problemPos_; }
    // Chunk CRC mismatches are failures unless told otherwise.
    int CrcMismatches() const { return crcMismatches_; }

    bool Bytes(void* dst, size_t n);
    bool Skip(size_t n);
    bool U8(uint8_t& v);
    bool Bool(bool& v);
    bool I16(int16_t& v);
    bool I32(int32_t& v);
    bool U32(uint32_t& v);
    bool F32(float& v);
    bool F64(double& v);
    bool F64s(double* v, size_t n); // n doubles in a row
    bool ReadUuid(Uuid& v);
    bool Version(int& major, int& minor); // one chunk version byte
    // Wide string: u32 count of UTF-16 units (terminator included), then the units.
    bool WideString(std::u16string& s);
    bool SkipWideString();
    // An array count: negative means empty; a count whose elements cannot fit
    // in the bytes that remain is a failure that names what was counted.
    bool ArrayCount(int32_t& n, size_t elementSize, const char* what);
    // Checks that count elements of elementSize bytes fit in what remains.
    bool Fits(uint64_t count, size_t elementSize, const char* what);

    // Chunks. Begin reads a header at the cursor; a long chunk becomes the
    // innermost open chunk until End, which checks its CRC when its body was
    // read to the end and moves the cursor past it.
    bool Peek(uint32_t& typecode);
    bool PeekU32(uint32_t& v) { return Peek(v); }
    // Copies n bytes found offset bytes past the cursor, if they lie in the
    // open chunk; moves nothing and records no failure.
    bool PeekAt(size_t offset, void* dst, size_t n) const {
        if (offset > Remaining() || n > Remaining() - offset) return false;
        std::memcpy(dst, data_ + pos_ + offset, n);
        return true;
    }
    int LengthSize() const { return lengthSize_; }
    // subject names the chunk in a failure ("" leaves the subject to the caller's context).
    bool Begin(Chunk& c, const char* subject = nullptr);
    bool Begin(Chunk& c, uint32_t expected, const char* what);
    // Moves the cursor within the innermost open chunk, which must carry no CRC.
    bool Seek(size_t pos);
    bool End();
    // Leaves the innermost chunk without reading the rest of its body (no CRC check).
    bool Abandon();
    bool SkipChunk(Chunk* out = nullptr);
    const Chunk* Current() const { return stack_.empty() ? nullptr : &stack_.back().chunk; }

    // Told of file bytes the reader is done with (read and checked), a few
    // megabytes at a time, so that a mapped file need not stay resident.
    using Releaser = void (*)(void* context, const uint8_t* bytes, size_t size);
    void SetReleaser(Releaser fn, void* context) {
        releaser_ = fn;
        releaseContext_ = context;
    }

private:
    struct Frame {
        Chunk chunk;
        size_t crcFrom; // direct bytes before this offset are folded into crc
        uint32_t crc;
    };
    size_t Limit() const { return stack_.empty() ? size_ : stack_.back().chunk.dataEnd; }
    bool Need(size_t n, const char* what);
    void FoldCrc(Frame& f, size_t upTo);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    int lengthSize_ = 4;
    int av_ = 0;
    std::vector<Frame> stack_;
    std::string problem_;
    size_t problemPos_ = 0;
    int crcMismatches_ = 0;
    Releaser releaser_ = nullptr;
    void* releaseContext_ = nullptr;
    size_t released_ = 0;
};

std::string Hex32(uint32_t v);

} // namespace tmxfile
