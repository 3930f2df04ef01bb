// End to end: every generated fixture read by the reader as the import reads
// it and converted into the embedded host, the documents checked against the
// truth that openNURBS read back from the same files.
#include "ConvertTestSupport.h"
#include "TMX3DM.h"
#include "TestJson.h"

#include <cmath>
#include <map>

using namespace converttest;
using cadhost::DocumentModel;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Vec3;
using testjson::Value;

namespace {

std::string FixtureDir() {
    return std::string("Z:") + QUORLA_SHARED_DIR + "/fixtures/3dm/";
}

struct Fixture {
    std::string model, file, truth;
};

std::vector<Fixture> Fixtures() {
    std::vector<Fixture> out;
    const Value index = testjson::Load(FixtureDir() + "index.json");
    for (const Value& f : index["files"].items)
        out.push_back({f["model"].Str(), f["file"].Str(), f["truth"].Str()});
    return out;
}

// The file's containers, read as the import reads them.
struct FileObjects {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
};

bool Read(const std::string& file, FileObjects& objects) {
    const std::string path = FixtureDir() + file;
    return TMX3DM::_3DMToObjects(CString(path.c_str()), objects.points, objects.curves,
                                 objects.breps, objects.meshes) != 0;
}

// openNURBS unit code of the file to the import's unit index.
int UnitIndex(const Value& truth) {
    switch (truth["settings"]["modelUnitSystem"]["value"].Int()) {
    case 2:
        return 0;
    case 3:
        return 1;
    case 4:
        return 2;
    case 8:
        return 3;
    case 9:
        return 4;
    default:
        return -1;
    }
}

Vec3 Scaled(const Value& xyz, double f) {
    return {xyz[0].Num() * f, xyz[1].Num() * f, xyz[2].Num() * f};
}

::testing::AssertionResult Near(const Vec3& got, const Vec3& want, double tol) {
    const double d =
        std::sqrt((got.x - want.x) * (got.x - want.x) + (got.y - want.y) * (got.y - want.y) +
                  (got.z - want.z) * (got.z - want.z));
    if (d <= tol) return ::testing::AssertionSuccess();
    char buf[256];
    std::snprintf(buf, sizeof buf, "(%.17g, %.17g, %.17g) is %.3g from (%.17g, %.17g, %.17g)",
                  got.x, got.y, got.z, d, want.x, want.y, want.z);
    return ::testing::AssertionFailure() << buf;
}

// Entities of the document in order of creation.
std::vector<const Entity*> Entities(const DocumentModel& doc) {
    std::vector<const Entity*> out;
    for (const Entity& e : doc.entities)
        out.push_back(&e);
    return out;
}

size_t Count(const std::vector<const Entity*>& list, EntityKind kind) {
    size_t n = 0;
    for (const Entity* e : list)
        n += e->kind == kind;
    return n;
}

// Objects of the model as added: the arcs' circle data is only in the truth
// of files that keep arcs as arcs, so the version 8 truth describes them.
const Value& ModelTruth(const std::string& model) {
    static std::map<std::string, Value> cache;
    auto it = cache.find(model);
    if (it == cache.end())
        it = cache.emplace(model, testjson::Load(FixtureDir() + model + ".v8.json")).first;
    return it->second;
}

class FixturesTest : public ConvertTest {
protected:
    // Checks the curve document of one fixture; entities are in file order:
    // points, then curves, then B-rep edges.
    void CheckCurveDocument(const Fixture& fx, const Value& truth, const DocumentModel& doc,
                            const FileObjects& objects, double f);
};

void FixturesTest::CheckCurveDocument(const Fixture& fx, const Value& truth,
                                      const DocumentModel& doc, const FileObjects& objects,
                                      double f) {
    const auto all = Entities(doc);
    // Points first, exactly scaled.
    ASSERT_GE(all.size(), size_t(objects.points.Count()));
    for (int i = 0; i < objects.points.Count(); i++) {
        ASSERT_EQ(all[i]->kind, EntityKind::Point) << "entity " << i;
        const ON_3dPoint& p = objects.points[i];
        const Vec3 got = doc.At(*all[i], 0);
        EXPECT_TRUE(got.x == p.x * f && got.y == p.y * f && got.z == p.z * f) << "point " << i;
    }
    const std::vector<const Entity*> rest(all.begin() + objects.points.Count(), all.end());
    // Every curve and every B-rep edge gives at least one entity.
    size_t edges = 0;
    for (int i = 0; i < objects.breps.Count(); i++)
        edges += size_t(objects.breps[i].m_E.Count());
    EXPECT_GE(rest.size(), size_t(objects.curves.Count()) + edges);

    const double tol = 1e-9;
    if (fx.model == "lines") {
        ASSERT_EQ(rest.size(), 6u);
        for (size_t i = 0; i < 6; i++) {
            const Value& g = truth["objects"][i]["geometry"];
            ASSERT_EQ(rest[i]->kind, EntityKind::Line) << "line " << i;
            EXPECT_TRUE(Near(doc.At(*rest[i], 0), Scaled(g["pointAtStart"], f), tol * f));
            EXPECT_TRUE(Near(doc.At(*rest[i], 1), Scaled(g["pointAtEnd"], f), tol * f));
        }
    } else if (fx.model == "polylines") {
        size_t k = 0;
        for (const Value& o : ModelTruth(fx.model)["objects"].items) {
            const Value& pts = o["geometry"]["points"];
            for (size_t i = 0; i + 1 < pts.size(); i++, k++) {
                ASSERT_LT(k, rest.size());
                ASSERT_EQ(rest[k]->kind, EntityKind::Line) << o["name"].Str() << " segment " << i;
                EXPECT_TRUE(Near(doc.At(*rest[k], 0), Scaled(pts[i], f), tol * f));
                EXPECT_TRUE(Near(doc.At(*rest[k], 1), Scaled(pts[i + 1], f), tol * f));
            }
        }
        EXPECT_EQ(k, rest.size());
    } else if (fx.model == "arcs") {
        const Value& objectsTruth = ModelTruth(fx.model)["objects"];
        ASSERT_EQ(rest.size(), objectsTruth.size());
        for (size_t i = 0; i < rest.size(); i++) {
            const Value& o = objectsTruth[i];
            const Value& arc = o["geometry"]["arc"];
            const std::string name = o["name"].Str();
            const Value& axis = arc["plane"]["zAxis"];
            const bool inXY = std::fabs(axis[0].Num()) < 1e-12 &&
                              std::fabs(axis[1].Num()) < 1e-12 &&
                              std::fabs(arc["center"][2].Num()) < 1e-12;
            if (!inXY) {
                // Off the world XY plane: fitted through points on the arc.
                ASSERT_EQ(rest[i]->kind, EntityKind::SplineThroughPoints) << name;
                const Vec3 c = Scaled(arc["center"], f);
                for (int k = 0; k < rest[i]->count; k++) {
                    const Vec3 p = doc.At(*rest[i], k);
                    const double r =
                        std::sqrt((p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y) +
                                  (p.z - c.z) * (p.z - c.z));
                    EXPECT_NEAR(r, arc["radius"].Num() * f, 1e-9 * f) << name << " point " << k;
                }
                continue;
            }
            EXPECT_NEAR(doc.Radius(*rest[i]), arc["radius"].Num() * f, tol * f) << name;
            EXPECT_TRUE(Near(doc.At(*rest[i], 0), Scaled(arc["center"], f), tol * f)) << name;
            if (o["geometry"]["isCompleteCircle"].Bool()) {
                EXPECT_EQ(rest[i]->kind, EntityKind::Circle) << name;
                continue;
            }
            ASSERT_EQ(rest[i]->kind, EntityKind::Arc) << name;
            EXPECT_TRUE(Near(doc.At(*rest[i], 1), Scaled(arc["startPoint"], f), tol * f)) << name;
            EXPECT_TRUE(Near(doc.At(*rest[i], 2), Scaled(arc["endPoint"], f), tol * f)) << name;
            EXPECT_EQ(rest[i]->direction, axis[2].Num() > 0 ? 1 : -1) << name;
        }
    } else if (fx.model.rfind("units-", 0) == 0) {
        // Rectangle (4 lines), circle, diagonal line, box (12 lines), point.
        EXPECT_EQ(doc.lengthUnit, UnitIndex(truth));
        EXPECT_EQ(Count(rest, EntityKind::Line), 4u + 1u + 12u);
        ASSERT_EQ(Count(rest, EntityKind::Circle), 1u);
        const Value& objs = ModelTruth(fx.model)["objects"];
        const Value& rect = objs[0]["geometry"]["points"];
        for (size_t i = 0; i < 4; i++) {
            EXPECT_TRUE(Near(doc.At(*rest[i], 0), Scaled(rect[i], f), tol * f)) << "side " << i;
            EXPECT_TRUE(Near(doc.At(*rest[i], 1), Scaled(rect[i + 1], f), tol * f)) << "side " << i;
        }
        const Value& circle = objs[1]["geometry"]["arc"];
        ASSERT_EQ(rest[4]->kind, EntityKind::Circle);
        EXPECT_TRUE(Near(doc.At(*rest[4], 0), Scaled(circle["center"], f), tol * f));
        EXPECT_NEAR(doc.Radius(*rest[4]), circle["radius"].Num() * f, tol * f);
        EXPECT_TRUE(
            Near(doc.At(*rest[5], 1), Scaled(objs[2]["geometry"]["pointAtEnd"], f), tol * f));
        EXPECT_EQ(all.size(), 19u); // and the point
    } else if (fx.model == "breps") {
        // No edge of these is a chain: one entity per edge, lines for the box.
        EXPECT_EQ(rest.size(), edges);
        for (size_t i = 0; i < 12 && i < rest.size(); i++)
            EXPECT_EQ(rest[i]->kind, EntityKind::Line) << "box edge " << i;
    }
}

} // namespace

TEST_F(FixturesTest, EveryFileConvertsInEveryCurveMode) {
    const std::vector<Fixture> fixtures = Fixtures();
    ASSERT_GE(fixtures.size(), 100u);
    for (const Fixture& fx : fixtures) {
        SCOPED_TRACE(fx.file);
        const Value truth = testjson::Load(FixtureDir() + fx.truth);
        FileObjects objects;
        ASSERT_TRUE(Read(fx.file, objects)) << CString(TMX3DM::GetError()).GetString();
        const int unit = UnitIndex(truth);
        const double f = UnitFactor(unit);
        // As the import run: the file's tolerance while converting.
        RecognitionTolerance tolerance(TMX3DM::GetAbsoluteTolerance());
        for (int mode : {0, 1, 2, -1}) {
            SCOPED_TRACE("curve mode " + std::to_string(mode));
            cadhost::Host h;
            IDispatch* a = h.Application();
            if (mode == -1) h.OpenDocument(HOST_KIND_PART); // the user's own part
            // Progress on as the import runs it, in one mode to keep the run short.
            ASSERT_EQ(ConvertCurves(a, mode, unit, &objects.points, &objects.curves, nullptr,
                                    &objects.breps, nullptr, mode == 0),
                      1);
            ASSERT_EQ(h.DocumentCount(), 1);
            const DocumentModel& doc = h.Document(0);
            const long kinds[] = {HOST_KIND_PART, HOST_KIND_ASSEMBLY, HOST_KIND_DRAWING};
            EXPECT_EQ(doc.kind, mode >= 0 ? kinds[mode] : HOST_KIND_PART);
            // A 3D sketch holds everything in a part or assembly made for it;
            // a drawing and the user's part get the entities outside any sketch.
            const bool sketch = mode == 0 || mode == 1;
            EXPECT_EQ(doc.sketches.size(), sketch ? 1u : 0u);
            if (sketch) {
                EXPECT_EQ(doc.sketches[0].count, doc.entities.size());
            }
            CheckCurveDocument(fx, truth, doc, objects, f);
            a->Release();
            EXPECT_EQ(h.OutstandingRefs(), 0) << h.Unreleased();
        }
    }
}

TEST_F(FixturesTest, MeshesBecomeBodiesAndSketchLines) {
    for (const Fixture& fx : Fixtures()) {
        if (fx.model != "meshes" && fx.model != "mixed") continue;
        SCOPED_TRACE(fx.file);
        const Value truth = testjson::Load(FixtureDir() + fx.truth);
        FileObjects objects;
        ASSERT_TRUE(Read(fx.file, objects));
        std::vector<const Value*> meshTruth;
        for (const Value& o : truth["objects"].items)
            if (o["type"].Str() == "Mesh") meshTruth.push_back(&o);
        ASSERT_EQ(size_t(objects.meshes.Count()), meshTruth.size());
        const double f = 0.001;

        for (size_t m = 0; m < meshTruth.size(); m++) {
            const std::string name = (*meshTruth[m])["name"].Str();
            SCOPED_TRACE(name);
            const Value& g = (*meshTruth[m])["geometry"];
            ON_ClassArray<ON_Mesh> one;
            one.Append(objects.meshes[int(m)]);
            cadhost::Host h;
            IDispatch* a = h.Application();

            // As a solid: one face per mesh face, corners exact.
            SetLastConversionError(L"");
            ResetConversionCounts();
            const int solid = ConvertMeshes(a, one, 0, 0, 0, 1);
            // The host cannot sew a mesh without faces: the one without any
            // fails; the one whose only face has no area is left out.
            const bool noFaces = name == "no-faces";
            const bool zeroArea = name == "degenerate-collinear";
            ASSERT_EQ(solid, noFaces ? 0 : 1) << CString(GetLastConversionError()).GetString();
            if (noFaces) {
                EXPECT_STREQ(GetLastConversionError(), L"Unable to create body from surfaces. 1 of "
                                                       L"1 mesh could not be made into a body: 1.");
            } else if (zeroArea) {
                EXPECT_TRUE(h.Document(0).bodies.empty());
                EXPECT_EQ(GetConversionCounts().zeroAreaFaces, 1);
                EXPECT_EQ(GetConversionCounts().meshesWithoutFaces, 1);
            } else {
                const DocumentModel& part = h.Document(0);
                ASSERT_EQ(part.bodies.size(), 1u);
                const auto& faces = part.bodies[0].faces;
                // A quad that is not planar (to 1e-9) in the file's precision
                // arrives as the two triangles it was split into.
                size_t j = 0;
                for (size_t i = 0; i < g["faces"].size(); i++) {
                    const Value& vi = g["faces"][i];
                    const bool quad = vi[2].Int() != vi[3].Int();
                    const int pieces = quad && j < faces.size() && faces[j].count == 3 ? 2 : 1;
                    for (int piece = 0; piece < pieces; piece++, j++) {
                        ASSERT_LT(j, faces.size()) << "face " << i;
                        ASSERT_EQ(faces[j].count, quad && pieces == 1 ? 4 : 3) << "face " << i;
                        for (int k = 0; k < faces[j].count; k++) {
                            const Vec3 got = faces[j].Corner(k);
                            bool found = false;
                            for (int c = 0; c < (quad ? 4 : 3) && !found; c++) {
                                const Vec3 want = Scaled(g["vertices"][size_t(vi[c].Int())], f);
                                found = got.x == want.x && got.y == want.y && got.z == want.z;
                            }
                            if (pieces == 1) {
                                const Vec3 want = Scaled(g["vertices"][size_t(vi[k].Int())], f);
                                EXPECT_TRUE(Near(got, want, 0)) << "face " << i << " corner " << k;
                            }
                            EXPECT_TRUE(found) << "face " << i << " corner " << k;
                        }
                    }
                }
                EXPECT_EQ(j, faces.size());
                EXPECT_EQ(part.bodies[0].solid, g["isClosed"].Bool());
            }

            // As sketch lines: one line per topology edge.
            ASSERT_EQ(ConvertMeshes(a, one, 0, 1, 1, 1), 1);
            const DocumentModel& sketch = h.Document(1);
            ASSERT_EQ(sketch.sketches.size(), 1u);
            EXPECT_EQ(sketch.Count(EntityKind::Line, 0), size_t(g["topologyEdgeCount"].Int()));
            a->Release();
            EXPECT_EQ(h.OutstandingRefs(), 0) << h.Unreleased();
        }
    }
}
