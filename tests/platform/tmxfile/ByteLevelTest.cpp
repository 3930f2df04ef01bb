// The byte level of the reader: chunk headers by archive version, CRCs over a
// chunk's own bytes, a cursor that cannot leave its chunk, counts checked
// against what remains.
#include "Checksums.h"
#include "ChunkReader.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace tmxfile;

namespace {

// Builds chunk bytes the way a writer lays them out.
struct Bytes {
    std::vector<uint8_t> b;
    int lengthSize = 4;
    Bytes& U8(uint8_t v) {
        b.push_back(v);
        return *this;
    }
    Bytes& U32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& Value(int64_t v) {
        for (int i = 0; i < lengthSize; ++i)
            b.push_back(static_cast<uint8_t>(static_cast<uint64_t>(v) >> (8 * i)));
        return *this;
    }
    Bytes& Raw(const std::vector<uint8_t>& r) {
        b.insert(b.end(), r.begin(), r.end());
        return *this;
    }
    // A long chunk around body; with CRC the CRC covers direct (the chunk's own bytes).
    Bytes& Chunk(uint32_t tc, const std::vector<uint8_t>& body,
                 const std::vector<uint8_t>* direct = nullptr) {
        const bool crc = (tc & 0x8000u) != 0;
        U32(tc).Value(static_cast<int64_t>(body.size() + (crc ? 4 : 0))).Raw(body);
        if (crc) {
            const std::vector<uint8_t>& d = direct ? *direct : body;
            U32(Crc32(0, d.data(), d.size()));
        }
        return *this;
    }
};

TEST(ChunkHeader, LengthFieldIsFourBytesBelowVersion50AndEightFrom50) {
    for (int av : {2, 3, 4, 5, 50, 60, 70, 80}) {
        Bytes w;
        w.lengthSize = av >= 50 ? 8 : 4;
        w.Chunk(0x40000000u, {1, 2, 3});
        ChunkReader r(w.b.data(), w.b.size());
        r.SetArchiveVersion(av);
        Chunk c;
        ASSERT_TRUE(r.Begin(c)) << "av " << av << ": " << r.Problem();
        EXPECT_EQ(c.body, static_cast<size_t>(4 + w.lengthSize)) << "av " << av;
        EXPECT_EQ(c.end, w.b.size()) << "av " << av;
        uint8_t x = 0;
        ASSERT_TRUE(r.U8(x));
        EXPECT_EQ(x, 1);
        EXPECT_TRUE(r.End());
        EXPECT_EQ(r.Pos(), w.b.size());
    }
}

TEST(ChunkHeader, ShortChunkValuesAreSignedExceptTheKnownUnsignedOnes) {
    Bytes w;
    w.U32(0x80000001u).U32(0xFFFFFFFFu); // ordinary short chunk: -1
    w.U32(0xA0000026u).U32(0x8C005F94u); // toolkit version: unsigned
    w.U32(0x82000071u).U32(0x80000000u); // object type: unsigned
    ChunkReader r(w.b.data(), w.b.size());
    r.SetArchiveVersion(4);
    Chunk a, b, c;
    ASSERT_TRUE(r.Begin(a) && r.Begin(b) && r.Begin(c));
    EXPECT_TRUE(a.isShort);
    EXPECT_EQ(a.value, -1);
    EXPECT_EQ(b.value, 2348834708LL);
    EXPECT_EQ(c.value, 0x80000000LL);
}

TEST(ChunkHeader, NegativeOrOverlongLengthsAndTypecodeZeroAreRefused) {
    struct Case {
        int av;
        std::vector<uint8_t> bytes;
        const char* expect;
    } cases[] = {
        {50,
         {0, 0, 0, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
         "ends past the end of the file"},
        {4, {0, 0, 0, 0x40, 100, 0, 0, 0, 1, 2}, "ends past the end of the file"},
        {4, {0, 0, 0, 0, 0, 0, 0, 0}, "typecode 0"},
        {4, {0, 0x80, 0, 0x40, 2, 0, 0, 0, 1, 2}, "too short for its checksum"},
        {4, {0, 0, 0, 0x40}, "chunk header runs past the end of the file"},
    };
    for (const auto& c : cases) {
        ChunkReader r(c.bytes.data(), c.bytes.size());
        r.SetArchiveVersion(c.av);
        Chunk ch;
        EXPECT_FALSE(r.Begin(ch));
        EXPECT_NE(r.Problem().find(c.expect), std::string::npos) << r.Problem();
    }
}

TEST(ChunkCrc, CoversOnlyTheChunksOwnBytesNotItsChildren) {
    Bytes child;
    child.Chunk(0x40008000u, {9, 9, 9, 9});
    const std::vector<uint8_t> a = {1, 2, 3}, b = {4, 5};
    std::vector<uint8_t> body = a;
    body.insert(body.end(), child.b.begin(), child.b.end());
    body.insert(body.end(), b.begin(), b.end());
    std::vector<uint8_t> direct = a;
    direct.insert(direct.end(), b.begin(), b.end());
    Bytes w;
    w.Chunk(0x20008070u, body, &direct);

    auto readAll = [](const std::vector<uint8_t>& bytes, std::string& problem) {
        ChunkReader r(bytes.data(), bytes.size());
        r.SetArchiveVersion(2);
        Chunk p, c;
        uint8_t x[4];
        const bool ok = r.Begin(p) && r.Bytes(x, 3) && r.Begin(c) && r.Bytes(x, 4) && r.End() &&
                        r.Bytes(x, 2) && r.End();
        problem = r.Problem();
        return ok;
    };
    std::string problem;
    EXPECT_TRUE(readAll(w.b, problem)) << problem;

    // A flipped byte in the child fails the child; one among the parent's own bytes, the parent.
    const size_t childByte = 8 + 3 + 8 + 1, parentByte = w.b.size() - 4 - 1;
    for (size_t at : {childByte, parentByte}) {
        std::vector<uint8_t> bad = w.b;
        bad[at] ^= 0x40;
        EXPECT_FALSE(readAll(bad, problem)) << "flip at " << at;
        EXPECT_NE(problem.find("checksum"), std::string::npos) << problem;
    }
}

TEST(ChunkCursor, CannotReadPastTheEndOfItsChunkAndSkipsUnreadTails) {
    Bytes inner;
    inner.Chunk(0x40000000u, {1, 2, 3, 4});
    Bytes w;
    w.Chunk(0x40000000u, inner.b);
    w.U8(0x77); // a byte after the outer chunk
    ChunkReader r(w.b.data(), w.b.size());
    r.SetArchiveVersion(3);
    Chunk outer, c;
    ASSERT_TRUE(r.Begin(outer) && r.Begin(c));
    int32_t v = 0;
    ASSERT_TRUE(r.I32(v));
    double d = 0;
    EXPECT_FALSE(r.F64(d));
    EXPECT_NE(r.Problem().find("runs past the end of its chunk"), std::string::npos) << r.Problem();

    // A partly read chunk: End moves past the unread rest (no checksum to check).
    ChunkReader r2(w.b.data(), w.b.size());
    r2.SetArchiveVersion(3);
    uint8_t x = 0;
    ASSERT_TRUE(r2.Begin(outer) && r2.Begin(c) && r2.U8(x) && r2.End() && r2.End());
    ASSERT_TRUE(r2.U8(x));
    EXPECT_EQ(x, 0x77);
}

TEST(ChunkCursor, ChildLongerThanItsParentIsDamage) {
    Bytes w;
    w.U32(0x40000000u).U32(12);        // parent: 12 bytes
    w.U32(0x40000000u).U32(50).U32(0); // child claims 50
    ChunkReader r(w.b.data(), w.b.size());
    r.SetArchiveVersion(2);
    Chunk p, c;
    ASSERT_TRUE(r.Begin(p));
    EXPECT_FALSE(r.Begin(c));
    EXPECT_NE(r.Problem().find("ends past the end of the"), std::string::npos) << r.Problem();
}

TEST(ChunkCursor, CountsAreCheckedAgainstTheBytesThatRemain) {
    Bytes w;
    w.U32(0x7FFFFFFFu).U32(1).U32(0xFFFFFFFFu).U8(0);
    ChunkReader r(w.b.data(), w.b.size());
    int32_t n = 0;
    EXPECT_FALSE(r.ArrayCount(n, 24, "mesh vertex"));
    EXPECT_NE(
        r.Problem().find("mesh vertex count 2147483647 does not fit in the 9 bytes that remain"),
        std::string::npos)
        << r.Problem();

    ChunkReader r2(w.b.data() + 4, w.b.size() - 4);
    EXPECT_TRUE(r2.ArrayCount(n, 4, "group")); // one 4-byte item fits in 5 bytes
    EXPECT_EQ(n, 1);
    ChunkReader r3(w.b.data() + 8, w.b.size() - 8);
    EXPECT_TRUE(r3.ArrayCount(n, 4, "group")); // negative: an empty list
    EXPECT_EQ(n, 0);
    std::u16string s;
    ChunkReader r4(w.b.data(), w.b.size());
    EXPECT_FALSE(r4.WideString(s));
    EXPECT_NE(r4.Problem().find("text length"), std::string::npos) << r4.Problem();
}

TEST(Uuid, ReadsTheFileByteOrderOfTheCanonicalText) {
    const uint8_t bytes[16] = {0x1D, 0x1A, 0x10, 0xC3, 0x57, 0xF1, 0xD3, 0x11,
                               0xBF, 0xE7, 0x00, 0x10, 0x83, 0x01, 0x22, 0xF0};
    const Uuid u = Uuid::FromText("C3101A1D-F157-11D3-BFE7-0010830122F0");
    EXPECT_EQ(std::memcmp(u.b, bytes, 16), 0);
    EXPECT_EQ(u.ToText(), "C3101A1D-F157-11D3-BFE7-0010830122F0");
}

TEST(Checksums, Crc32IsZlibsAndCrc16ChecksVersion1Chunks) {
    const char* text = "123456789";
    EXPECT_EQ(Crc32(0, reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);

    // The summary chunk of a Rhino 1 file carries a CRC-16 over its bytes.
    const std::string path = SharedDir() + "/fixtures/real/V1__v1_three_points.3dm";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr) << path;
    std::vector<uint8_t> file(1 << 20);
    file.resize(std::fread(file.data(), 1, file.size(), f));
    std::fclose(f);
    ChunkReader r(file.data(), file.size());
    r.SetArchiveVersion(1);
    ASSERT_TRUE(r.Skip(32) && r.SkipChunk());
    bool found = false;
    while (!found && r.Pos() < r.Size()) {
        Chunk c;
        ASSERT_TRUE(r.Begin(c)) << r.Problem();
        if (c.typecode == 0x02000013u) {
            found = true;
            const size_t n = c.end - c.body;
            EXPECT_EQ(Crc16(1, file.data() + c.body, n), 0) << "summary chunk of " << n << " bytes";
            std::vector<uint8_t> bad(file.begin() + c.body, file.begin() + c.end);
            bad[0] ^= 1;
            EXPECT_NE(Crc16(1, bad.data(), bad.size()), 0);
        }
        if (!c.isShort) r.Abandon();
    }
    EXPECT_TRUE(found);
}

} // namespace
