// Damaged and foreign files: every one gives 0, an error text that names the
// file and what is wrong, and containers holding nothing of it. Runs natively
// under AddressSanitizer and UBSan, so a crash or a wild allocation fails too.
#include "Checksums.h"
#include "TMXFile.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

namespace {

const std::string kFixtures = SharedDir() + "/fixtures/";

std::vector<uint8_t> Load(const std::string& path) {
    std::vector<uint8_t> b;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buf[65536];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            b.insert(b.end(), buf, buf + n);
        std::fclose(f);
    }
    return b;
}

struct Result {
    int ok = 0;
    std::string error;
    int items = 0;
};

Result Read(const std::vector<uint8_t>& bytes, const std::string& name) {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;
    Result r;
    r.ok = reader.ReadBuffer(bytes.data(), bytes.size(), name, points, curves, breps, meshes);
    r.error = reader.GetError();
    r.items = points.Count() + curves.Count() + breps.Count() + meshes.Count();
    return r;
}

// Offsets where a chunk starts or ends: descends into every chunk whose body is
// itself a sequence of chunks, so tables, records and class chunks are all cut.
void ChunkBoundaries(const std::vector<uint8_t>& b, size_t from, size_t to, int lengthSize,
                     int depth, std::vector<size_t>& out) {
    std::vector<std::pair<size_t, size_t>> kids;
    size_t p = from;
    while (p + 4 + lengthSize <= to) {
        uint32_t tc;
        std::memcpy(&tc, &b[p], 4);
        if (tc == 0) return;
        uint64_t v = 0;
        std::memcpy(&v, &b[p + 4], lengthSize);
        const size_t body = p + 4 + lengthSize;
        size_t end = body;
        if (!(tc & 0x80000000u)) {
            if (v > to - body) return;
            end = body + v;
        }
        kids.push_back({p, end});
        p = end;
    }
    if (p != to) return; // not a sequence of chunks
    for (const auto& k : kids) {
        out.push_back(k.first);
        out.push_back(k.second);
        const size_t body = k.first + 4 + lengthSize;
        if (depth < 6 && k.second > body)
            ChunkBoundaries(b, body, k.second, lengthSize, depth + 1, out);
    }
}

void ExpectRefused(const Result& r, const std::string& name, const std::string& what) {
    EXPECT_EQ(r.ok, 0) << what;
    EXPECT_EQ(r.items, 0) << what << ": containers hold " << r.items << " items after a failure";
    EXPECT_EQ(r.error.compare(0, name.size(), name), 0)
        << what << ": error does not name the file: " << r.error;
}

// A spread of archive versions and kinds, plus real files with blocks,
// extrusions, SubD and old-style B-reps.
std::vector<std::string> DamageSet() {
    std::vector<std::string> files;
    for (const char* model : {"points", "lines", "arcs", "polylines", "nurbs", "polycurve",
                              "surfaces", "breps", "extrusions", "meshes", "mixed"})
        for (int v : {2, 4, 5, 8})
            files.push_back("3dm/" + std::string(model) + ".v" + std::to_string(v) + ".3dm");
    for (const char* real : {"V2__v2_Speeder.3dm", "V4__v4_example_file.3dm",
                             "V5__v5_extrusions.3dm", "V7__v7_rhino_logo_subd.3dm"})
        files.push_back("real/" + std::string(real));
    return files;
}

TEST(Damaged, TruncatedAtEveryChunkBoundary) {
    for (const auto& rel : DamageSet()) {
        const std::vector<uint8_t> b = Load(kFixtures + rel);
        ASSERT_GT(b.size(), 32u) << rel;
        const int av = std::atoi(reinterpret_cast<const char*>(&b[24]));
        std::vector<size_t> cuts;
        ChunkBoundaries(b, 32, b.size(), av >= 50 ? 8 : 4, 0, cuts);
        ASSERT_GT(cuts.size(), 10u) << rel;
        const std::string name = "cut.3dm";
        int done = 0;
        for (size_t cut : cuts) {
            if (cut >= b.size()) continue;
            const std::vector<uint8_t> part(b.begin(), b.begin() + static_cast<long>(cut));
            ExpectRefused(Read(part, name), name, rel + " cut at " + std::to_string(cut));
            ++done;
        }
        EXPECT_GT(done, 10) << rel;
    }
}

TEST(Damaged, TruncatedAtRandomOffsets) {
    std::mt19937 rng(20261208);
    for (const auto& rel : DamageSet()) {
        const std::vector<uint8_t> b = Load(kFixtures + rel);
        ASSERT_GT(b.size(), 32u) << rel;
        std::uniform_int_distribution<size_t> at(0, b.size() - 1);
        for (int i = 0; i < 40; ++i) {
            const size_t cut = at(rng);
            const std::vector<uint8_t> part(b.begin(), b.begin() + static_cast<long>(cut));
            ExpectRefused(Read(part, "part.3dm"), "part.3dm",
                          rel + " cut at " + std::to_string(cut));
        }
    }
}

TEST(Damaged, TruncationInsideAnObjectNamesTheObject) {
    const std::vector<uint8_t> b = Load(kFixtures + "3dm/meshes.v8.3dm");
    // Cut in the middle of the object table: its start is there, its end is not.
    size_t p = 32, table = 0, tableEnd = 0;
    while (p + 12 <= b.size() && !table) {
        uint32_t tc;
        uint64_t len;
        std::memcpy(&tc, &b[p], 4);
        std::memcpy(&len, &b[p + 4], 8);
        if (tc == 0x10000013u) table = p, tableEnd = p + 12 + len;
        p += 12 + ((tc & 0x80000000u) ? 0 : len);
    }
    ASSERT_GT(table, 0u);
    const std::vector<uint8_t> part(b.begin(),
                                    b.begin() + static_cast<long>((table + tableEnd) / 2));
    const Result r = Read(part, "bracket.3dm");
    ExpectRefused(r, "bracket.3dm", "cut");
    EXPECT_NE(r.error.find("bracket.3dm is damaged: object "), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("ends past the end of the file (byte "), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(" of " + std::to_string(part.size()) + ")"), std::string::npos)
        << r.error;
}

// The object table's span [start, end) found by walking the top-level chunks.
std::pair<size_t, size_t> ObjectTable(const std::vector<uint8_t>& b) {
    const int lengthSize = std::atoi(reinterpret_cast<const char*>(&b[24])) >= 50 ? 8 : 4;
    size_t p = 32;
    while (p + 4 + lengthSize <= b.size()) {
        uint32_t tc;
        uint64_t len = 0;
        std::memcpy(&tc, &b[p], 4);
        std::memcpy(&len, &b[p + 4], lengthSize);
        const size_t body = p + 4 + lengthSize;
        if (tc == 0x10000013u) return {body, body + len};
        p = body + ((tc & 0x80000000u) ? 0 : len);
    }
    return {0, 0};
}

TEST(Damaged, FlippedBytesNeverCrashAndFailuresExplainThemselves) {
    std::mt19937 rng(7);
    int refused = 0, total = 0;
    for (const auto& rel : DamageSet()) {
        const std::vector<uint8_t> b = Load(kFixtures + rel);
        ASSERT_GT(b.size(), 32u) << rel;
        const auto table = ObjectTable(b);
        ASSERT_GT(table.second, table.first) << rel;
        std::uniform_int_distribution<size_t> anywhere(32, b.size() - 1);
        std::uniform_int_distribution<size_t> inTable(table.first, table.second - 1);
        std::uniform_int_distribution<int> bit(0, 7);
        for (int i = 0; i < 40; ++i) {
            // Half the flips anywhere (tables the import skips included), half in the objects.
            const bool objects = i % 2 == 1;
            std::vector<uint8_t> bad = b;
            bad[objects ? inTable(rng) : anywhere(rng)] ^= static_cast<uint8_t>(1u << bit(rng));
            const Result r = Read(bad, "flip.3dm");
            if (!r.ok) ExpectRefused(r, "flip.3dm", rel);
            if (objects && rel.compare(0, 3, "3dm") == 0) {
                ++total;
                refused += !r.ok;
            }
        }
    }
    // In the generated files every object byte the import uses is under a
    // checksum or a structural check; unread parts (attribute tails, user data,
    // cached render meshes) may change unnoticed without changing the geometry.
    EXPECT_GT(refused, total * 7 / 10)
        << refused << " of " << total << " flips in objects were noticed";
}

// The offset of the class data of the first object of a class (after its
// version byte), found through the class id bytes.
size_t ClassDataOf(const std::vector<uint8_t>& b, const char* uuidBytes, int lengthSize) {
    for (size_t i = 0; i + 16 < b.size(); ++i)
        if (std::memcmp(&b[i], uuidBytes, 16) == 0) {
            const size_t dataHeader = i + 16 + 4; // after the id's CRC
            return dataHeader + 4 + lengthSize + 1;
        }
    return 0;
}

TEST(Damaged, HugeCountsAreRefusedBeforeAnythingIsAllocated) {
    struct Case {
        const char* file;
        const char* classId; // file byte order
        size_t fieldOffset;  // from the start of the class data, after the version byte
        const char* expect;
    };
    static const char kNurbsCurve[] =
        "\xDD\xD4\xD7\x4E\x47\xE9\xD3\x11\xBF\xE5\x00\x10\x83\x01\x22\xF0";
    static const char kMesh[] = "\xE4\xD4\xD7\x4E\x47\xE9\xD3\x11\xBF\xE5\x00\x10\x83\x01\x22\xF0";
    static const char kPointCloud[] =
        "\x47\xF3\x88\x24\xFA\xF8\xD3\x11\xBF\xEC\x00\x10\x83\x01\x22\xF0";
    static const char kPolyline[] =
        "\xE6\xD4\xD7\x4E\x47\xE9\xD3\x11\xBF\xE5\x00\x10\x83\x01\x22\xF0";
    const Case cases[] = {
        {"nurbs.v8.3dm", kNurbsCurve, 12, "control point count"}, // CV count
        {"nurbs.v4.3dm", kNurbsCurve, 12, "control point count"},
        {"meshes.v8.3dm", kMesh, 4, "mesh face count"}, // face count
        {"meshes.v8.3dm", kMesh, 0, "vertices"},        // vertex count
        {"points.v8.3dm", kPointCloud, 0, "point cloud point count"},
        {"polylines.v8.3dm", kPolyline, 0, "polyline point count"},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> b = Load(kFixtures + "3dm/" + c.file);
        const int av = std::atoi(reinterpret_cast<const char*>(&b[24]));
        const size_t data = ClassDataOf(b, c.classId, av >= 50 ? 8 : 4);
        ASSERT_GT(data, 0u) << c.file;
        for (uint32_t huge : {0x7FFFFFFFu, 0x10000000u, 0x00FFFFFFu}) {
            std::vector<uint8_t> bad = b;
            std::memcpy(&bad[data + c.fieldOffset], &huge, 4);
            const Result r = Read(bad, c.file);
            ExpectRefused(r, c.file,
                          std::string(c.file) + " with a count of " + std::to_string(huge));
            EXPECT_NE(r.error.find(c.expect), std::string::npos) << r.error;
        }
    }
}

TEST(Damaged, ChecksumMismatchIsReported) {
    std::vector<uint8_t> b = Load(kFixtures + "3dm/lines.v8.3dm");
    static const char kLine[] = "\xDB\xD4\xD7\x4E\x47\xE9\xD3\x11\xBF\xE5\x00\x10\x83\x01\x22\xF0";
    const size_t data = ClassDataOf(b, kLine, 8);
    ASSERT_GT(data, 0u);
    b[data + 3] ^= 0x10; // inside the line's start point
    const Result r = Read(b, "lines.3dm");
    ExpectRefused(r, "lines.3dm", "flipped coordinate");
    EXPECT_NE(r.error.find("lines.3dm is damaged: object 1 of 6: the checksum"), std::string::npos)
        << r.error;
}

TEST(Damaged, BrokenCompressedMeshDataIsReported) {
    std::vector<uint8_t> b = Load(kFixtures + "3dm/meshes.v8.3dm");
    // The first zlib stream header (78 DA) of a compressed vertex buffer.
    size_t z = 0;
    for (size_t i = 0; i + 1 < b.size() && !z; ++i)
        if (b[i] == 0x78 && b[i + 1] == 0xDA) z = i;
    ASSERT_GT(z, 0u);
    b[z + 6] ^= 0xFF;
    const Result r = Read(b, "meshes.3dm");
    ExpectRefused(r, "meshes.3dm", "broken zlib stream");
    EXPECT_TRUE(r.error.find("cannot be decompressed") != std::string::npos ||
                r.error.find("checksum") != std::string::npos)
        << r.error;
}

TEST(Foreign, FilesThatAreNot3dmOrNotReadableAreRefusedByName) {
    struct Case {
        std::string what;
        std::vector<uint8_t> bytes;
        std::string expect;
    };
    std::vector<uint8_t> v8 = Load(kFixtures + "3dm/lines.v8.3dm");
    std::vector<uint8_t> v90 = v8, bad = v8, v1like = v8, nocomment = v8;
    std::memcpy(&v90[24], "      90", 8);
    std::memcpy(&bad[24], "     8x0", 8);
    nocomment[32] = 2;
    const std::string json = "{\"schema\": \"3dm-truth/1\"}";
    const std::vector<Case> cases = {
        {"empty", {}, "x.3dm is not a .3dm file"},
        {"json", std::vector<uint8_t>(json.begin(), json.end()), "x.3dm is not a .3dm file"},
        {"header only", std::vector<uint8_t>(v8.begin(), v8.begin() + 32), "x.3dm is damaged"},
        {"version 90", v90, "x.3dm has archive version 90"},
        {"bad version digits", bad, "x.3dm is not a .3dm file: its version field is not a number"},
        {"no comment block", nocomment, "x.3dm is not a .3dm file: its comment block is missing"},
    };
    for (const auto& c : cases) {
        const Result r = Read(c.bytes, "x.3dm");
        ExpectRefused(r, "x.3dm", c.what);
        EXPECT_EQ(r.error.compare(0, c.expect.size(), c.expect), 0) << c.what << ": " << r.error;
    }

    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;
    EXPECT_EQ(reader.ReadFile("/nonexistent/folder/bracket.3dm", points, curves, breps, meshes), 0);
    EXPECT_EQ(reader.GetError().compare(0, 30, "bracket.3dm cannot be opened: "), 0)
        << reader.GetError();
}

// Read from disk (mapped), an empty file or a folder is refused by name, and a
// file reads as its bytes do from memory.
TEST(Damaged, FilesOnDiskThatAreNoModels) {
    const std::string empty = "empty-on-disk.3dm";
    std::FILE* f = std::fopen(empty.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    const struct {
        std::string path, expect;
    } cases[] = {
        {empty, "empty-on-disk.3dm is not a .3dm file"},
        {kFixtures + "3dm", "3dm cannot be read: it is not a file"},
    };
    for (const auto& c : cases) {
        ON_3dPointArray points;
        ON_ClassArray<ON_NurbsCurve> curves;
        ON_ClassArray<ON_Brep> breps;
        ON_ClassArray<ON_Mesh> meshes;
        TMXFileReader reader;
        EXPECT_EQ(reader.ReadFile(c.path, points, curves, breps, meshes), 0) << c.path;
        EXPECT_EQ(reader.GetError().compare(0, c.expect.size(), c.expect), 0) << reader.GetError();
    }
    std::remove(empty.c_str());
}

// Inputs the fuzzer once broke the reader with, kept so that they stay handled.
TEST(Damaged, FuzzerFindingsStayRefused) {
    const std::string dir = std::string(QUORLA_SOURCE_DIR) + "/tests/platform/tmxfile/regressions/";
    for (const char* name : {"extrusion-profile-count.3dm", "mesh-surface-parameters-size.3dm"}) {
        const std::vector<uint8_t> b = Load(
#ifdef _WIN32
            "Z:" +
#endif
            dir + name);
        ASSERT_GT(b.size(), 32u) << name;
        ExpectRefused(Read(b, name), name, name);
    }
}

TEST(Damaged, FailureKeepsWhatTheContainersHeldBefore) {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    points.Append(ON_3dPoint(1, 2, 3));
    TMXFileReader reader;
    std::vector<uint8_t> b = Load(kFixtures + "3dm/mixed.v8.3dm");
    b.resize(b.size() - 40); // the last objects and the end mark are gone
    EXPECT_EQ(reader.ReadBuffer(b.data(), b.size(), "mixed.3dm", points, curves, breps, meshes), 0);
    EXPECT_FALSE(reader.GetError().empty());
    ASSERT_EQ(points.Count(), 1);
    EXPECT_EQ(points[0].x, 1.0);
    EXPECT_EQ(curves.Count() + breps.Count() + meshes.Count(), 0);
}

} // namespace
