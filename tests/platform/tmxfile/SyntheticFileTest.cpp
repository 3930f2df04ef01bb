// Small files written here byte by byte, for what the fixtures do not hold:
// objects in page space, unknown classes, records typed as view aids, the unit
// "none", hidden objects, a Rhino 1 header over a version 2 body, and objects
// whose numbers are unusable (NaN, infinity, an arc of zero radius, a B-rep
// face without a surface), which are left out while the file is read.
#include "Checksums.h"
#include "TMXFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

namespace {

// The body of one chunk: raw bytes (covered by its CRC) and nested chunks (not).
struct Body {
    std::vector<uint8_t> bytes, direct;
    int lengthSize = 8;

    explicit Body(int ls = 8) : lengthSize(ls) {}
    Body& Raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
        direct.insert(direct.end(), b, b + n);
        return *this;
    }
    Body& U8(uint8_t v) { return Raw(&v, 1); }
    Body& I32(int32_t v) { return Raw(&v, 4); }
    Body& F64(double v) { return Raw(&v, 8); }
    Body& Uuid(const char* text) {
        // Canonical text to file order: Data1..Data3 little-endian, then Data4.
        uint8_t seq[16];
        int n = 0;
        for (const char* p = text; *p && n < 32; ++p) {
            if (*p == '-') continue;
            const int d = (*p <= '9') ? *p - '0' : (*p | 0x20) - 'a' + 10;
            if (n % 2 == 0)
                seq[n / 2] = static_cast<uint8_t>(d << 4);
            else
                seq[n / 2] |= static_cast<uint8_t>(d);
            ++n;
        }
        const int order[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
        for (int i = 0; i < 16; ++i)
            U8(seq[order[i]]);
        return *this;
    }
    Body& Header(uint32_t tc, uint64_t value) {
        const size_t at = bytes.size();
        bytes.resize(at + 4 + lengthSize);
        std::memcpy(&bytes[at], &tc, 4);
        std::memcpy(&bytes[at + 4], &value, lengthSize);
        return *this;
    }
    Body& Short(uint32_t tc, uint64_t value = 0) { return Header(tc, value); }
    Body& Child(uint32_t tc, const Body& b) {
        const bool crc = (tc & 0x8000u) != 0;
        Header(tc, b.bytes.size() + (crc ? 4 : 0));
        bytes.insert(bytes.end(), b.bytes.begin(), b.bytes.end());
        if (crc) {
            const uint32_t c = tmxfile::Crc32(0, b.direct.data(), b.direct.size());
            const uint8_t* p = reinterpret_cast<const uint8_t*>(&c);
            bytes.insert(bytes.end(), p, p + 4);
        }
        return *this;
    }
};

const char* kPointClass = "C3101A1D-F157-11D3-BFE7-0010830122F0";

// One object record: a point of the given class, attributes with extra items.
Body Record(int ls, uint32_t type, const char* classId, double x,
            const std::vector<uint8_t>& items) {
    Body uuid(ls), data(ls), cls(ls), attrs(ls), rec(ls);
    uuid.Uuid(classId);
    data.U8(0x10).F64(x).F64(x + 1).F64(x + 2);
    cls.Child(0x0002FFFBu, uuid).Child(0x0002FFFCu, data).Short(0x80027FFFu);
    attrs.U8(0x21).Uuid("11111111-2222-3333-4444-555555555555").I32(0);
    attrs.Raw(items.data(), items.size()).U8(0);
    rec.Short(0x82000071u, type)
        .Child(0x00027FFAu, cls)
        .Child(0x02008072u, attrs)
        .Short(0x8200007Fu);
    return rec;
}

std::vector<uint8_t> File(int av, int ls, const std::vector<Body>& records, int unit,
                          const Body* before = nullptr, const Body* tables = nullptr) {
    Body file(ls), comment(ls), props(ls), settings(ls), units(ls), objects(ls);
    char head[33];
    std::snprintf(head, sizeof head, "3D Geometry File Format %8d", av);
    file.Raw(head, 32);
    comment.Raw("written by a test\x1a", 19);
    file.Child(0x00000001u, comment);
    if (before) file.bytes.insert(file.bytes.end(), before->bytes.begin(), before->bytes.end());
    props.Short(0xA0000026u, 201001015u).Short(0xFFFFFFFFu);
    file.Child(0x10000014u, props);
    units.I32(102).I32(unit).F64(0.25).F64(0.01745).F64(0.01).I32(0).I32(3).F64(1.0).I32(0);
    settings.Child(0x20008031u, units).Short(0xFFFFFFFFu);
    file.Child(0x10000015u, settings);
    if (tables) file.bytes.insert(file.bytes.end(), tables->bytes.begin(), tables->bytes.end());
    for (const auto& r : records)
        objects.Child(0x20008070u, r);
    objects.Short(0xFFFFFFFFu);
    file.Child(0x10000013u, objects);
    Body end(ls);
    const uint64_t size = file.bytes.size() + 4 + ls + ls;
    end.Raw(&size, ls);
    file.Child(0x00007FFFu, end);
    return file.bytes;
}

struct Read {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;
    int ok;
    explicit Read(const std::vector<uint8_t>& b)
        : ok(reader.ReadBuffer(b.data(), b.size(), "made.3dm", points, curves, breps, meshes)) {}
};

TEST(SyntheticFile, ViewAidsAndUnknownClassesAreSkippedHiddenObjectsRead) {
    const int ls = 8;
    const std::vector<Body> records = {
        Record(ls, 1, kPointClass, 1, {}),
        Record(ls, 1, kPointClass, 10, {19, 2}),                       // page (layout) space
        Record(ls, 1, "01234567-89AB-CDEF-0123-456789ABCDEF", 20, {}), // a class nobody knows
        Record(ls, 0x20000000u, kPointClass, 30, {}),                  // typed as a clipping plane
        Record(ls, 1, kPointClass, 40, {11, 0, 12, 1}), // hidden, by flag and by mode
    };
    Read r(File(50, ls, records, 0));
    ASSERT_EQ(r.ok, 1) << r.reader.GetError();
    const TMXFileReport& rep = r.reader.GetReport();
    ASSERT_EQ(r.points.Count(), 2);
    EXPECT_EQ(r.points[0].x, 1.0);
    EXPECT_EQ(r.points[1].z, 42.0);
    EXPECT_EQ(rep.ReadCount("point"), 2);
    EXPECT_EQ(rep.SkippedCount("page-space object"), 1);
    EXPECT_EQ(rep.SkippedCount("clipping plane"), 1);
    EXPECT_EQ(rep.SkippedCount("object of an unknown class"), 1);
    EXPECT_EQ(rep.SkippedTotal(), 3);
    EXPECT_EQ(rep.unitSystem, 0); // "none"
    EXPECT_EQ(rep.metersPerUnit, 1.0);
    EXPECT_EQ(rep.absoluteTolerance, 0.25);
    EXPECT_EQ(rep.openNurbsVersion, 201001015u);
}

TEST(SyntheticFile, Rhino1HeaderOverAVersion2BodyIsReadAsVersion2) {
    const int ls = 4;
    Body fluff(ls), summary(ls);
    summary.Raw("\x01\x02\x03\x04", 4);
    fluff.Child(0x02000013u & ~0x8000u, summary); // a leading Rhino 1 chunk
    Read r(File(1, ls, {Record(ls, 1, kPointClass, 5, {})}, 2, &fluff));
    ASSERT_EQ(r.ok, 1) << r.reader.GetError();
    EXPECT_EQ(r.reader.GetReport().archiveVersion, 2);
    ASSERT_EQ(r.points.Count(), 1);
    EXPECT_EQ(r.points[0].y, 6.0);

    // Without tables it stays a Rhino 1 file, which is refused by name.
    Body only(ls), hdr(ls), c(ls);
    hdr.Raw("3D Geometry File Format        1", 32);
    c.Raw("old\x1a", 4);
    hdr.Child(1, c).Child(0x02000013u & ~0x8000u, summary);
    Read v1(hdr.bytes);
    EXPECT_EQ(v1.ok, 0);
    EXPECT_EQ(v1.reader.GetError().compare(0, 29, "made.3dm is a Rhino 1 file (a"), 0)
        << v1.reader.GetError();
}

TEST(SyntheticFile, EndMarkMustGiveTheFileSize) {
    std::vector<uint8_t> b = File(50, 8, {Record(8, 1, kPointClass, 1, {})}, 2);
    b[b.size() - 8] ^= 1; // the stored size is one off
    Read r(b);
    EXPECT_EQ(r.ok, 0);
    EXPECT_NE(r.reader.GetError().find("the end-of-file mark"), std::string::npos)
        << r.reader.GetError();
    EXPECT_EQ(r.points.Count(), 0);
}

// A record holding any class data, with its attribute id and mode.
Body RawRecord(int ls, uint32_t type, const char* classId, const Body& data, const std::string& id,
               uint8_t mode) {
    Body uuid(ls), cls(ls), attrs(ls), rec(ls);
    uuid.Uuid(classId);
    cls.Child(0x0002FFFBu, uuid).Child(0x0002FFFCu, data).Short(0x80027FFFu);
    attrs.U8(0x21).Uuid(id.c_str()).I32(0);
    if (mode) attrs.U8(12).U8(mode);
    attrs.U8(0);
    rec.Short(0x82000071u, type)
        .Child(0x00027FFAu, cls)
        .Child(0x02008072u, attrs)
        .Short(0x8200007Fu);
    return rec;
}

std::string Id(int kind, int n) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%08X-0000-0000-0000-%012X", kind, n);
    return buf;
}

TEST(SyntheticFile, MeshBufferClaimingMoreThanItsBytesIsRefusedBeforeAllocating) {
    const int ls = 8;
    Body data(ls), z(ls);
    const int32_t v = 300000000; // 3.6 GB of float vertices claimed
    data.U8(0x38).I32(v).I32(0);
    for (int i = 0; i < 144; ++i)
        data.U8(0);
    data.I32(-1);
    for (int i = 0; i < 5; ++i)
        data.U8(0);
    data.I32(4);
    z.U8(0x78).U8(0xDA).U8(3).U8(0).U8(0).U8(0).U8(0).U8(1);
    const uint32_t size = 12u * static_cast<uint32_t>(v), crc = 0;
    data.Raw(&size, 4).Raw(&crc, 4).U8(1).Child(0x40008000u, z);
    Read r(File(50, ls,
                {RawRecord(ls, 0x20, "4ED7D4E4-E947-11D3-BFE5-0010830122F0", data, Id(1, 1), 0)},
                2));
    EXPECT_EQ(r.ok, 0);
    EXPECT_NE(r.reader.GetError().find("mesh vertices claim 3600000000 bytes, more than their "
                                       "compressed bytes can hold"),
              std::string::npos)
        << r.reader.GetError();
}

TEST(SyntheticFile, BlocksNestedIntoAnExplosionAreSkippedNotExpanded) {
    // Block 0 holds a point; block k holds two references to block k-1; one
    // reference to block 40 would ask for 2^40 points.
    const int ls = 8, levels = 40;
    std::vector<Body> records;
    Body table(ls), defs(ls);
    auto identity = [](Body& b) {
        for (int i = 0; i < 16; ++i)
            b.F64(i % 5 == 0 ? 1.0 : 0.0);
    };
    for (int k = 0; k <= levels; ++k) {
        Body def(ls), uuid(ls), cls(ls), rec(ls);
        def.U8(0x10).Uuid(Id(0xD, k).c_str());
        if (k == 0) {
            def.I32(1).Uuid(Id(0xA, 0).c_str());
            Body p(ls);
            p.U8(0x10).F64(1).F64(2).F64(3);
            records.push_back(RawRecord(ls, 1, kPointClass, p, Id(0xA, 0), 3));
        } else {
            def.I32(2).Uuid(Id(0xB, 2 * k).c_str()).Uuid(Id(0xB, 2 * k + 1).c_str());
            for (int j = 0; j < 2; ++j) {
                Body ref(ls);
                ref.U8(0x10).Uuid(Id(0xD, k - 1).c_str());
                identity(ref);
                for (int i = 0; i < 6; ++i)
                    ref.F64(0);
                records.push_back(RawRecord(ls, 0x1000, "F9CFB638-B9D4-4340-87E3-C56E7865D96A", ref,
                                            Id(0xB, 2 * k + j), 3));
            }
        }
        for (int i = 0; i < 4; ++i)
            def.I32(0); // name, description, URL, URL tag
        for (int i = 0; i < 6; ++i)
            def.F64(0);
        def.I32(0).I32(0); // static, no linked file
        uuid.Uuid("26F8BFF6-2618-417F-A158-153D64A94989");
        cls.Child(0x0002FFFBu, uuid).Child(0x0002FFFCu, def).Short(0x80027FFFu);
        rec.Child(0x00027FFAu, cls);
        defs.Child(0x20008076u, rec);
    }
    defs.Short(0xFFFFFFFFu);
    table.Child(0x10000021u, defs);
    Body top(ls);
    top.U8(0x10).Uuid(Id(0xD, levels).c_str());
    identity(top);
    for (int i = 0; i < 6; ++i)
        top.F64(0);
    records.push_back(
        RawRecord(ls, 0x1000, "F9CFB638-B9D4-4340-87E3-C56E7865D96A", top, Id(0xC, 0), 0));
    // and one reference to block 3: 8 points
    Body small(ls);
    small.U8(0x10).Uuid(Id(0xD, 3).c_str());
    identity(small);
    for (int i = 0; i < 6; ++i)
        small.F64(0);
    records.push_back(
        RawRecord(ls, 0x1000, "F9CFB638-B9D4-4340-87E3-C56E7865D96A", small, Id(0xC, 1), 0));

    Read r(File(50, ls, records, 2, nullptr, &table));
    ASSERT_EQ(r.ok, 1) << r.reader.GetError();
    EXPECT_EQ(r.points.Count(), 8);
    const TMXFileReport& rep = r.reader.GetReport();
    EXPECT_EQ(rep.instanceDefinitions, levels + 1);
    EXPECT_EQ(rep.SkippedCount("instance reference"), 1);
    for (const auto& k : rep.skipped)
        EXPECT_NE(k.reason.find("million copies"), std::string::npos) << k.reason;
}

// ---- objects left out for their numbers

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

const char* kPointCloudClass = "2488F347-F8FA-11D3-BFEC-0010830122F0";
const char* kLineClass = "4ED7D4DB-E947-11D3-BFE5-0010830122F0";
const char* kArcClass = "CF33BE2A-09B4-11D4-BFFB-0010830122F0";
const char* kPolyCurveClass = "4ED7D4E0-E947-11D3-BFE5-0010830122F0";
const char* kNurbsCurveClass = "4ED7D4DD-E947-11D3-BFE5-0010830122F0";
const char* kNurbsSurfaceClass = "4ED7D4DE-E947-11D3-BFE5-0010830122F0";
const char* kBrepClass = "60B5DBC5-E660-11D3-BFE4-0010830122F0";
const char* kMeshClass = "4ED7D4E4-E947-11D3-BFE5-0010830122F0";
const char* kReferenceClass = "F9CFB638-B9D4-4340-87E3-C56E7865D96A";
const int kLs = 8;

// A class chunk holding data of the given class.
Body ClassChunk(const char* classId, const Body& data) {
    Body uuid(kLs), cls(kLs), wrapped(kLs);
    uuid.Uuid(classId);
    cls.Child(0x0002FFFBu, uuid).Child(0x0002FFFCu, data).Short(0x80027FFFu);
    wrapped.Child(0x00027FFAu, cls);
    return wrapped;
}

Body& Box(Body& b) {
    for (int i = 0; i < 6; ++i)
        b.F64(0);
    return b;
}

Body PointData(double x, double y, double z) {
    Body b(kLs);
    b.U8(0x10).F64(x).F64(y).F64(z);
    return b;
}

Body PointCloudData(double x) {
    Body b(kLs);
    b.U8(0x10).I32(3);
    for (double v : {0.0, 1.0, x})
        b.F64(v).F64(0).F64(0);
    return b;
}

Body LineData(double x) {
    Body b(kLs);
    b.U8(0x10).F64(0).F64(0).F64(0).F64(x).F64(1).F64(0).F64(0).F64(1).I32(3);
    return b;
}

Body ArcData(double radius, double angle) {
    Body b(kLs);
    b.U8(0x10);
    for (double v : {0., 0., 0., 1., 0., 0., 0., 1., 0., 0., 0., 1., 0., 0., 1., 0.})
        b.F64(v); // world XY
    b.F64(radius);
    for (int i = 0; i < 9; ++i)
        b.F64(0);
    b.F64(0).F64(angle).F64(0).F64(1).I32(3);
    return b;
}

// A straight cubic from (0, 0, 0) to (3, 0, 0), weights w.
Body NurbsCurveData(double cv, double knot, double weight) {
    Body b(kLs);
    const bool rational = weight != 1.0;
    b.U8(0x10).I32(3).I32(rational ? 1 : 0).I32(4).I32(4).I32(0).I32(0);
    Box(b).I32(6);
    for (double k : {0.0, 0.0, 0.0, 1.0, 1.0, knot})
        b.F64(k);
    b.I32(4);
    for (int i = 0; i < 4; ++i) {
        const double w = i == 1 ? weight : 1.0;
        b.F64((i == 2 ? cv : i) * w).F64(0).F64(0);
        if (rational) b.F64(w);
    }
    return b;
}

Body PolyCurveData() {
    Body b(kLs);
    b.U8(0x10).I32(2).I32(0).I32(0);
    Box(b).I32(3).F64(0).F64(1).F64(2);
    return b;
}

// Appends nested chunks to a body (they are not under its checksum).
void Append(Body& b, const Body& nested) {
    b.bytes.insert(b.bytes.end(), nested.bytes.begin(), nested.bytes.end());
}

Body PolyCurveOf(double arcRadius) {
    Body b = PolyCurveData();
    Append(b, ClassChunk(kLineClass, LineData(1)));
    Append(b, ClassChunk(kArcClass, ArcData(arcRadius, 1.0)));
    return b;
}

Body MeshData(double x) {
    Body b(kLs);
    b.U8(0x10).I32(3).I32(1);
    for (int i = 0; i < 144; ++i)
        b.U8(0);
    b.I32(0);
    for (int i = 0; i < 5; ++i)
        b.U8(0);
    b.I32(4).I32(0).I32(1).I32(2).I32(2); // one triangle
    b.I32(3);
    for (float v : {0.f, 0.f, 0.f, 1.f, 0.f, 0.f, static_cast<float>(x), 1.f, 0.f})
        b.Raw(&v, 4);
    b.I32(0).I32(0).I32(0).I32(0); // normals, texture, curvature, colours
    return b;
}

// A B-rep of one edge (a straight cubic) and one face on a bilinear patch:
// surfaceIndex and curveIndex -1 leave them without.
Body BrepData(double vertexX, int surfaceIndex, int curveIndex) {
    Body b(kLs), c2(kLs), c3(kLs), surfaces(kLs), vertices(kLs), edges(kLs), trims(kLs),
        loops(kLs), faces(kLs), patch(kLs);
    b.U8(0x30);
    c2.U8(0x10).I32(0);
    c3.U8(0x10).I32(1).I32(1);
    Append(c3, ClassChunk(kNurbsCurveClass, NurbsCurveData(2, 1, 1)));
    patch.U8(0x10).I32(3).I32(0).I32(2).I32(2).I32(2).I32(2).I32(0).I32(0);
    Box(patch).I32(2).F64(0).F64(1).I32(2).F64(0).F64(1).I32(4);
    for (double v : {0., 0., 0., 0., 1., 0., 1., 0., 0., 1., 1., 0.})
        patch.F64(v);
    surfaces.U8(0x10).I32(1).I32(1);
    Append(surfaces, ClassChunk(kNurbsSurfaceClass, patch));
    vertices.U8(0x10).I32(2);
    vertices.I32(0).F64(vertexX).F64(0).F64(0).I32(0).F64(0);
    vertices.I32(1).F64(3).F64(0).F64(0).I32(0).F64(0);
    edges.U8(0x10).I32(1).I32(0).I32(curveIndex).I32(0).F64(0).F64(1).I32(0).I32(1).I32(0);
    edges.F64(0).F64(0).F64(1);
    trims.U8(0x10).I32(0);
    loops.U8(0x10).I32(0);
    faces.U8(0x10).I32(1).I32(0).I32(0).I32(surfaceIndex).I32(0).I32(0);
    b.Child(0x40008000u, c2).Child(0x40008000u, c3).Child(0x40008000u, surfaces);
    b.Child(0x40008000u, vertices).Child(0x40008000u, edges).Child(0x40008000u, trims);
    b.Child(0x40008000u, loops).Child(0x40008000u, faces);
    return Box(b);
}

Body ReferenceData(double scale) {
    Body b(kLs);
    b.U8(0x10).Uuid(Id(0xD, 1).c_str());
    for (int i = 0; i < 16; ++i)
        b.F64(i % 5 == 0 ? scale : 0.0);
    return Box(b);
}

struct LeftOut {
    const char* name;
    uint32_t type;
    const char* classId;
    Body data;
    const char* kind;
    const char* reason;
};

// Each object between two good points: the file reads, the points arrive,
// the object is counted under its reason and leaves nothing behind.
void ExpectLeftOut(const LeftOut& c) {
    const std::vector<Body> records = {
        RawRecord(kLs, 1, kPointClass, PointData(1, 2, 3), Id(1, 1), 0),
        RawRecord(kLs, c.type, c.classId, c.data, Id(1, 2), 0),
        RawRecord(kLs, 1, kPointClass, PointData(4, 5, 6), Id(1, 3), 0),
    };
    Read r(File(50, kLs, records, 2));
    ASSERT_EQ(r.ok, 1) << c.name << ": " << r.reader.GetError();
    const TMXFileReport& rep = r.reader.GetReport();
    ASSERT_EQ(r.points.Count(), 2) << c.name;
    EXPECT_EQ(r.points[1].z, 6.0) << c.name;
    EXPECT_EQ(r.curves.Count() + r.breps.Count() + r.meshes.Count(), 0) << c.name;
    EXPECT_EQ(rep.ReadCount("point"), 2) << c.name;
    ASSERT_EQ(rep.skipped.size(), 1u) << c.name;
    EXPECT_EQ(rep.skipped[0].kind, c.kind) << c.name;
    EXPECT_EQ(rep.skipped[0].count, 1) << c.name;
    EXPECT_EQ(rep.skipped[0].reason, c.reason) << c.name;
}

TEST(SyntheticFile, ObjectsWithNonFiniteNumbersAreLeftOutAndCounted) {
    const char* nf = "non-finite coordinates";
    const LeftOut cases[] = {
        {"point", 1, kPointClass, PointData(kNaN, 0, 0), "point", nf},
        {"point cloud point", 2, kPointCloudClass, PointCloudData(kInf), "point cloud", nf},
        {"line end", 4, kLineClass, LineData(-kInf), "line", nf},
        {"arc radius", 4, kArcClass, ArcData(kNaN, 1.0), "arc", nf},
        {"control point", 4, kNurbsCurveClass, NurbsCurveData(kNaN, 1, 1), "NURBS curve", nf},
        {"knot", 4, kNurbsCurveClass, NurbsCurveData(2, kInf, 1), "NURBS curve", nf},
        {"weight", 4, kNurbsCurveClass, NurbsCurveData(2, 1, kNaN), "NURBS curve", nf},
        {"mesh vertex", 0x20, kMeshClass, MeshData(kNaN), "mesh", nf},
        {"B-rep vertex", 0x10, kBrepClass, BrepData(kInf, 0, 0), "B-rep", nf},
        {"reference transform", 0x1000, kReferenceClass, ReferenceData(kNaN),
         "instance reference", nf},
    };
    for (const LeftOut& c : cases)
        ExpectLeftOut(c);
}

TEST(SyntheticFile, AnObjectWithoutItsShapeIsLeftOutAndTheRestOfTheFileRead) {
    const LeftOut cases[] = {
        {"arc of zero radius", 4, kArcClass, ArcData(0.0, 1.0), "arc", "it has no NURBS form"},
        {"arc of no angle", 4, kArcClass, ArcData(2.0, 0.0), "arc", "it has no NURBS form"},
        {"polycurve with an arc of zero radius", 4, kPolyCurveClass, PolyCurveOf(0.0),
         "polycurve", "it has no NURBS form"},
        {"B-rep face without a surface", 0x10, kBrepClass, BrepData(0, -1, 0), "B-rep",
         "a face of it has no surface"},
        {"B-rep edge without a curve", 0x10, kBrepClass, BrepData(0, 0, -1), "B-rep",
         "an edge of it has no curve"},
    };
    for (const LeftOut& c : cases)
        ExpectLeftOut(c);

    // The same objects whole are read: the builders make good objects too.
    const std::vector<Body> good = {
        RawRecord(kLs, 4, kArcClass, ArcData(2.0, 1.0), Id(2, 1), 0),
        RawRecord(kLs, 4, kPolyCurveClass, PolyCurveOf(1.0), Id(2, 2), 0),
        RawRecord(kLs, 0x10, kBrepClass, BrepData(0, 0, 0), Id(2, 3), 0),
        RawRecord(kLs, 0x20, kMeshClass, MeshData(1), Id(2, 4), 0),
        RawRecord(kLs, 4, kNurbsCurveClass, NurbsCurveData(2, 1, 0.5), Id(2, 5), 0),
    };
    Read r(File(50, kLs, good, 2));
    ASSERT_EQ(r.ok, 1) << r.reader.GetError();
    EXPECT_EQ(r.reader.GetReport().SkippedTotal(), 0);
    EXPECT_EQ(r.curves.Count(), 4); // arc, line and arc of the polycurve, NURBS curve
    EXPECT_EQ(r.breps.Count(), 1);
    EXPECT_EQ(r.meshes.Count(), 1);
}

// Damage to the structure still refuses the file: an edge naming a curve
// past the end of the curve list.
TEST(SyntheticFile, AnIndexPastItsListIsStillDamage) {
    Read r(File(50, kLs, {RawRecord(kLs, 0x10, kBrepClass, BrepData(0, 0, 5), Id(3, 1), 0)}, 2));
    EXPECT_EQ(r.ok, 0);
    EXPECT_NE(r.reader.GetError().find("refers to 3-D curve 5 of 1"), std::string::npos)
        << r.reader.GetError();
}

} // namespace
