// What the reader tells about the last file: units and tolerance, what was
// read by kind, what was left out by kind and why.
#include "TMXFile.h"

#include "Fixtures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kFixtures = SharedDir() + "/fixtures/";

class ReportTest : public ::testing::Test {
protected:
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;

    const TMXFileReport& Read(const std::string& rel) {
        points.Empty();
        curves.Empty();
        breps.Empty();
        meshes.Empty();
        EXPECT_EQ(reader.ReadFile(kFixtures + rel, points, curves, breps, meshes), 1)
            << reader.GetError();
        return reader.GetReport();
    }
};

TEST_F(ReportTest, UnitSystemAndToleranceIncludingNone) {
    struct Case {
        const char* file;
        int unit;
        double metersPerUnit;
        double tolerance;
    } cases[] = {
        {"3dm/units-mm.v8.3dm", 2, 0.001, 0.01},
        {"3dm/units-cm.v3.3dm", 3, 0.01, 0.001},
        {"3dm/units-m.v5.3dm", 4, 1.0, 0.00001},
        {"3dm/units-in.v2.3dm", 8, 0.0254, 0.0005},
        {"3dm/units-ft.v7.3dm", 9, 0.3048, 0.0001},
        {"real/V4__v4_WishBone.3dm", 0, 1.0, -1}, // "none": no scaling
    };
    for (const auto& c : cases) {
        const TMXFileReport& r = Read(c.file);
        EXPECT_EQ(r.unitSystem, c.unit) << c.file;
        EXPECT_EQ(r.metersPerUnit, c.metersPerUnit) << c.file;
        if (c.tolerance >= 0) {
            EXPECT_EQ(r.absoluteTolerance, c.tolerance) << c.file;
        }
    }
}

TEST_F(ReportTest, ReadKindsCountFileObjectsAndWhatReachedTheContainers) {
    const TMXFileReport& r = Read("3dm/mixed.v8.3dm");
    EXPECT_EQ(r.archiveVersion, 80);
    EXPECT_EQ(r.objectRecords, 16);
    EXPECT_EQ(r.ReadCount("instance reference"), 2);
    EXPECT_EQ(r.ReadCount("B-rep"), 2); // box-brep and the block's bolt-shank, counted once
    EXPECT_EQ(r.ReadCount("point"), 2); // marker and the hidden object: hidden objects are read
    EXPECT_EQ(r.SkippedCount("text dot"), 1);
    EXPECT_EQ(r.layers, 6);
    EXPECT_EQ(r.instanceDefinitions, 1);
    // Two references to a brep + circle block: 1 + 2 breps, 7 + 2 curves.
    EXPECT_EQ(r.brepsOut, 3);
    EXPECT_EQ(r.curvesOut, 9);
    EXPECT_EQ(r.pointsOut, 2);
    EXPECT_EQ(r.meshesOut, 1);

    const TMXFileReport& p = Read("3dm/polycurve.v8.3dm");
    EXPECT_EQ(p.ReadCount("polycurve"), 2);
    EXPECT_EQ(p.curvesOut, 7); // line-arc-nurbs: 3 segments, closed-slot: 4
    const TMXFileReport& e = Read("3dm/extrusions.v8.3dm");
    EXPECT_EQ(e.ReadCount("extrusion"), 6);
    EXPECT_EQ(e.brepsOut, 6);
    const TMXFileReport& s = Read("3dm/surfaces.v8.3dm");
    EXPECT_EQ(s.ReadCount("NURBS surface"), 2);
    EXPECT_EQ(s.ReadCount("plane surface"), 1);
    EXPECT_EQ(s.ReadCount("surface of revolution"), 1);
    EXPECT_EQ(s.brepsOut, 4);
}

TEST_F(ReportTest, SkippedKindsCarryTheirReason) {
    struct Case {
        const char* file;
        const char* kind;
        int count;
        const char* reason;
    } cases[] = {
        {"real/V7__v7_rhino_logo_subd.3dm", "SubD", -1, "no counterpart"},
        {"real/V4__v4_example_file.3dm", "hatch", 1, "no counterpart"},
        {"real/V4__v4_example_file.3dm", "annotation", 6, "no counterpart"},
        {"real/V4__v4_example_file.3dm", "light", 2, "no counterpart"},
        {"real/V8__v8_selective_clipping.3dm", "clipping plane", -1, "view aid"},
        {"real/V5__v5_example_file.3dm", "detail view", 1, "view aid"},
    };
    for (const auto& c : cases) {
        const TMXFileReport& r = Read(c.file);
        const int n = r.SkippedCount(c.kind);
        if (c.count >= 0) {
            EXPECT_EQ(n, c.count) << c.file << " " << c.kind;
        } else {
            EXPECT_GT(n, 0) << c.file << " " << c.kind;
        }
        bool found = false;
        for (const auto& k : r.skipped)
            if (k.kind == c.kind) {
                found = true;
                EXPECT_NE(k.reason.find(c.reason), std::string::npos) << c.kind << ": " << k.reason;
            }
        EXPECT_TRUE(found) << c.file << " " << c.kind;
    }
}

TEST_F(ReportTest, BlockReferenceToAMissingDefinitionIsSkippedWithItsReason) {
    // Version 2 files have no block table: the references point nowhere.
    const TMXFileReport& r = Read("3dm/mixed.v2.3dm");
    EXPECT_EQ(r.SkippedCount("instance reference"), 2);
    for (const auto& k : r.skipped) {
        if (k.kind == "instance reference") {
            EXPECT_NE(k.reason.find("block definition is not in the file"), std::string::npos)
                << k.reason;
        }
    }
}

TEST_F(ReportTest, NestedBlocksExpandWithTheirCombinedTransform) {
    // Block 02 holds a brep and a reference to Block 01; two references to Block 02.
    const TMXFileReport& r = Read("real/V4__v4_example_file.3dm");
    EXPECT_EQ(r.ReadCount("instance reference"), 3);
    EXPECT_EQ(r.instanceDefinitions, 2);
}

TEST_F(ReportTest, ReportStartsAfreshForEachRead) {
    Read("3dm/mixed.v8.3dm");
    const TMXFileReport& r = Read("3dm/lines.v8.3dm");
    EXPECT_EQ(r.ReadCount("line"), 6);
    EXPECT_EQ(r.SkippedTotal(), 0);
    EXPECT_EQ(r.ReadCount("instance reference"), 0);
    EXPECT_EQ(reader.GetError(), "");
}

// Every length unit the format has is named, and known by its size.
TEST(Units, EveryUnitOfTheFormatHasANameAndASize) {
    const struct {
        int code;
        const char* name;
        double meters;
    } units[] = {
        {0, "none", 0},
        {1, "microns", 1e-6},
        {5, "kilometers", 1e3},
        {10, "miles", 1609.344},
        {11, "custom units", 0},
        {12, "angstroms", 1e-10},
        {14, "decimeters", 0.1},
        {19, "yards", 0.9144},
        {22, "nautical miles", 1852},
        {25, "parsecs", 3.08567758e16},
        {255, "unset", 0},
        {99, "unset", 0}, // a code the format does not have
    };
    for (const auto& u : units) {
        EXPECT_STREQ(TMXFileUnitName(u.code), u.name) << u.code;
        EXPECT_EQ(TMXFileMetersPerUnit(u.code), u.meters) << u.code;
    }
    for (int code = 0; code <= 25; code++) {
        EXPECT_STRNE(TMXFileUnitName(code), "unset") << code;
        if (code != 0 && code != 11) {
            EXPECT_GT(TMXFileMetersPerUnit(code), 0) << code;
        }
    }
}

} // namespace
