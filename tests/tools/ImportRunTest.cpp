// The add-in's import run through its export, in this process with the
// embedded host: the Import command's message boxes when the caller gives no
// message callback, and the calls the run makes into the host.
#include "CadHost.h"
#include "HostContract.h"
#include "DialogDriver.h"
#include "QuorlaExports.h"

#include <TMXProgress.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Z(const std::string& unixPath) {
    return L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
}

class ImportRun : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"Quorla.dll");
        ASSERT_NE(module_, nullptr);
        auto init = reinterpret_cast<QuorlaInitUserDLL3Fn>(
            reinterpret_cast<void*>(GetProcAddress(module_, QUORLA_INIT_EXPORT)));
        import_ = reinterpret_cast<QuorlaImportFn>(
            reinterpret_cast<void*>(GetProcAddress(module_, QUORLA_IMPORT_EXPORT)));
        ASSERT_TRUE(init && import_);
        ASSERT_EQ(init(host_.Application()), 1);
        refsAfterStart_ = host_.OutstandingRefs();
        boxes_.AnswerOthers(IDOK);
        TMXProgress::SetPresentation(TMXProgress::PresentNone);
    }
    void TearDown() override {
        TMXProgress::SetPresentation(TMXProgress::PresentWindow);
        if (module_) FreeLibrary(module_);
    }

    int Import(const std::wstring& path, QuorlaImportResult* result, int progress = 1) {
        QuorlaImportOptions options{0, 0, 1, 3, progress, 1};
        QuorlaImportCallbacks boxes{nullptr, nullptr, nullptr};
        return import_(path.c_str(), &options, &boxes, result);
    }

    cadhost::Host host_; // outlives the add-in
    HMODULE module_ = nullptr;
    QuorlaImportFn import_ = nullptr;
    testsupport::DialogDriver boxes_; // the run's message boxes, each answered with OK
    long refsAfterStart_ = 0; // the add-in's own: the host and its event connection
};

TEST_F(ImportRun, WithoutACallbackAFailureIsTheCommandsMessageBox) {
    QuorlaImportResult result;
    EXPECT_EQ(Import(L"no-such-file.3dm", &result), 0);
    EXPECT_EQ(result.failedStep, 1);
    ASSERT_EQ(boxes_.Count(), 1);
    EXPECT_EQ(boxes_.Last().caption, L"Quorla for SolidWorks 2008 version 1.0");
    EXPECT_NE(boxes_.Last().message.find(L"no-such-file.3dm"), std::wstring::npos);
    EXPECT_TRUE(boxes_.Last().warningIcon);
    EXPECT_TRUE(boxes_.Last().OkOnly());
    EXPECT_EQ(host_.DocumentCount(), 0);

    // A mesh that cannot be a solid (it has no faces): the converter's text,
    // naming it; the other meshes are bodies all the same.
    EXPECT_EQ(Import(Z(QUORLA_SHARED_DIR "/fixtures/3dm/meshes.v8.3dm"), &result), 0);
    EXPECT_EQ(result.failedStep, 3);
    ASSERT_EQ(boxes_.Count(), 2);
    EXPECT_EQ(boxes_.Last().message, L"Unable to create body from surfaces. 1 of 8 meshes could "
                                     L"not be made into a body: 4.");
    ASSERT_EQ(host_.DocumentCount(), 1);
    EXPECT_EQ(host_.Document(0).bodies.size(), 6u);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << "handles the run kept:\n"
                                                        << host_.Unreleased();
}

TEST_F(ImportRun, CurvesRunWithProgressWhateverTheOptionAndMeshesWithIt) {
    host_.ClearJournal();
    QuorlaImportResult result;
    EXPECT_EQ(Import(Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm"), &result, 0), 1);
    EXPECT_EQ(boxes_.Count(), 0) << "no message on success";
    EXPECT_EQ(result.failedStep, 0);
    EXPECT_EQ(result.unitIndex, 0) << "the file's millimetres";
    EXPECT_EQ(result.unitFromFile, 1);
    EXPECT_EQ(result.curvesConverted, 1);
    EXPECT_EQ(result.meshesConverted, 1);
    EXPECT_EQ(result.points, 4);
    EXPECT_EQ(result.breps, 2);
    EXPECT_EQ(result.meshes, 2);
    // Points, curves and B-rep edges into one part, meshes into a second.
    EXPECT_EQ(host_.Calls(cadhost::Op::HostNewPart), 2u);
    EXPECT_EQ(host_.Calls(cadhost::Op::DocCreatePoint), 4u);
    EXPECT_EQ(host_.Calls(cadhost::Op::PartCreateBody), 2u);
    EXPECT_EQ(host_.Document(0).lengthUnit, 0);
    EXPECT_EQ(host_.Document(1).bodies.size(), 2u);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << host_.Unreleased();
}

TEST_F(ImportRun, ADamagedCurveModeWithNoDocumentOpenStillConvertsTheMeshes) {
    // Curve mode -1 (no button in the stored options) puts the curves into
    // the active document; with none open they cannot go anywhere.
    QuorlaImportOptions options{-1, 0, 1, 3, 0, 1};
    QuorlaImportResult result;
    EXPECT_EQ(import_(Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm").c_str(), &options, nullptr,
                      &result),
              0)
        << "the curves were not imported";
    EXPECT_EQ(result.failedStep, 2);
    ASSERT_EQ(boxes_.Count(), 1);
    EXPECT_EQ(boxes_.Last().message, L"No document is open to receive the curves.");
    EXPECT_EQ(result.meshesConverted, 1);
    ASSERT_EQ(host_.DocumentCount(), 1) << "one part for the meshes";
    EXPECT_EQ(host_.Document(0).bodies.size(), 2u);
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << host_.Unreleased();
}

// Files in units the options dialog does not offer: every coordinate is the
// file's times the unit's exact size in metres, and the documents show the
// nearest unit of the file's system.
TEST_F(ImportRun, AFileInAnotherUnitIsImportedAtItsExactSize) {
    const struct {
        const char* file;
        double factor;
        int documentUnit;
    } files[] = {
        {"units-microns.3dm", 1e-6, 0},    // millimetres
        {"units-decimeters.3dm", 0.1, 1},  // as far from centimetres as from metres
        {"units-yards.3dm", 0.9144, 4},    // feet
        {"units-custom.3dm", 0.25, 4},     // custom units of 0.25 m: feet
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const int first = host_.DocumentCount();
        QuorlaImportResult result;
        ASSERT_EQ(Import(Z(std::string(QUORLA_SOURCE_DIR "/tests/tools/data/") + f.file), &result),
                  1);
        EXPECT_EQ(boxes_.Count(), 0) << "no warning: the unit is known";
        EXPECT_EQ(result.unitFromFile, 1);
        EXPECT_EQ(result.unitIndex, -1) << "not one of the five";
        EXPECT_EQ(result.unitFactor, f.factor);
        EXPECT_EQ(result.documentUnit, f.documentUnit);
        ASSERT_EQ(host_.DocumentCount(), first + 2) << "curves and the mesh";
        const cadhost::DocumentModel& curves = host_.Document(first);
        const cadhost::DocumentModel& mesh = host_.Document(first + 1);
        EXPECT_EQ(curves.lengthUnit, f.documentUnit);
        EXPECT_EQ(mesh.lengthUnit, f.documentUnit);
        ASSERT_EQ(curves.entities.size(), 3u);
        // The point (1, 2, 3), the line to (10, 20, 30): exactly the file's
        // numbers times the factor.
        const cadhost::Entity& point = curves.entities[0];
        const cadhost::Vec3 p = curves.At(point, 0);
        EXPECT_EQ(p.x, 1 * f.factor);
        EXPECT_EQ(p.y, 2 * f.factor);
        EXPECT_EQ(p.z, 3 * f.factor);
        const cadhost::Entity& line = curves.entities[1];
        EXPECT_EQ(curves.At(line, 1).x, 10 * f.factor);
        EXPECT_EQ(curves.At(line, 1).y, 20 * f.factor);
        EXPECT_EQ(curves.At(line, 1).z, 30 * f.factor);
        // The circle of radius 0.5: a circle also where the file's tolerance
        // (0.5 microns) is as large as it.
        const cadhost::Entity& circle = curves.entities[2];
        ASSERT_EQ(circle.kind, cadhost::EntityKind::Circle);
        EXPECT_NEAR(curves.Radius(circle), 0.5 * f.factor, 1e-12 * f.factor);
        EXPECT_NEAR(curves.At(circle, 0).x, 5 * f.factor, 1e-12 * f.factor);
        ASSERT_EQ(mesh.bodies.size(), 1u);
        const cadhost::Face& face = mesh.bodies[0].faces[0];
        EXPECT_EQ(face.Corner(1).x, 4 * f.factor);
        EXPECT_EQ(face.Corner(2).y, 4 * f.factor);
    }
}

std::wstring Data(const char* file) {
    return Z(std::string(QUORLA_SOURCE_DIR "/tests/tools/data/") + file);
}

// Meshes the host refuses as one body arrive as the shells they split into.
TEST_F(ImportRun, AMeshTheHostRefusesWholeArrivesAsSoundShells) {
    const struct {
        const char* file;
        size_t solids, sheets, faces;
        int nonManifoldEdges, reversedFaces;
    } files[] = {
        {"shells-two-boxes.3dm", 2, 0, 12, 1, 0},
        {"shells-fan.3dm", 0, 3, 3, 1, 0},
        {"shells-flipped-box.3dm", 1, 0, 6, 0, 1},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.file);
        const int id = host_.DocumentCount();
        QuorlaImportResult result;
        ASSERT_EQ(Import(Data(f.file), &result), 1);
        EXPECT_EQ(result.meshesSplit, 1);
        EXPECT_EQ(result.nonManifoldEdges, f.nonManifoldEdges);
        EXPECT_EQ(result.reversedFaces, f.reversedFaces);
        EXPECT_EQ(size_t(result.shellSolids), f.solids);
        EXPECT_EQ(size_t(result.shellSheets), f.sheets);
        ASSERT_EQ(host_.DocumentCount(), id + 1);
        size_t solids = 0, sheets = 0, faces = 0;
        for (const cadhost::Body& b : host_.Document(id).bodies) {
            (b.solid ? solids : sheets)++;
            faces += b.faces.size();
            // Every face of the unit boxes (millimetres) looks out of its box.
            for (const cadhost::Face& face : b.faces) {
                if (!b.solid) continue;
                cadhost::Vec3 m;
                for (int k = 0; k < face.count; k++) {
                    m.x += face.Corner(k).x / face.count;
                    m.y += face.Corner(k).y / face.count;
                    m.z += face.Corner(k).z / face.count;
                }
                const double centre = m.x > 1.0005e-3 || m.y > 1.0005e-3 ? 1.5e-3 : 0.5e-3;
                const double out = (m.x - centre) * face.normal[0] +
                                   (m.y - centre) * face.normal[1] +
                                   (m.z - 0.5e-3) * face.normal[2];
                EXPECT_GT(out, 0) << "a face looking into its box";
            }
        }
        EXPECT_EQ(solids, f.solids);
        EXPECT_EQ(sheets, f.sheets);
        EXPECT_EQ(faces, f.faces);
    }
}

// A mesh between two good ones that cannot be a body (it has no faces):
// the good ones are imported, in one part or one each, and the message names
// the failed one; as sketch lines every mesh is imported.
TEST_F(ImportRun, AFailedMeshBetweenGoodOnesLosesNothingElse) {
    const struct {
        int meshMode, multibody, ok;
        std::vector<size_t> bodies, lines; // per document
    } cases[] = {
        {0, 1, 0, {2}, {0}},
        {0, 0, 0, {1, 0, 1}, {0, 0, 0}},
        {1, 1, 1, {0}, {24}},
        {1, 0, 1, {0, 0, 0}, {12, 0, 12}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("mesh mode " + std::to_string(c.meshMode) + ", multibody " +
                     std::to_string(c.multibody));
        const int first = host_.DocumentCount();
        const int boxes = boxes_.Count();
        QuorlaImportOptions options{0, c.meshMode, c.multibody, 3, 0, 1};
        QuorlaImportResult result;
        EXPECT_EQ(import_(Data("shells-bad-between.3dm").c_str(), &options, nullptr, &result), c.ok);
        if (!c.ok) {
            ASSERT_EQ(boxes_.Count(), boxes + 1);
            EXPECT_EQ(boxes_.Last().message, L"Unable to create body from surfaces. 1 of 3 meshes "
                                             L"could not be made into a body: 2.");
        }
        std::vector<size_t> bodies, lines;
        for (int d = first; d < host_.DocumentCount(); d++) {
            bodies.push_back(host_.Document(d).bodies.size());
            lines.push_back(host_.Document(d).Count(cadhost::EntityKind::Line));
        }
        EXPECT_EQ(bodies, c.bodies);
        EXPECT_EQ(lines, c.lines);
    }
}

// What the command-line tool does after each file of a batch: the
// documents written, it closes them through the host; then the host holds
// nothing for anyone but the add-in's own references.
TEST_F(ImportRun, AfterClosingAFilesDocumentsTheHostIsBackWhereItStarted) {
    IHostApplication* app = nullptr;
    IDispatch* dispatch = host_.Application();
    ASSERT_EQ(dispatch->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&app)), S_OK);
    dispatch->Release();
    for (const std::wstring& file : {Z(QUORLA_SOURCE_DIR "/examples/bracket.3dm"),
                                     Data("shells-fan.3dm"), Data("shells-bad-between.3dm")}) {
        QuorlaImportOptions options{0, 0, 0, 3, 0, 1};
        QuorlaImportResult result;
        import_(file.c_str(), &options, nullptr, &result);
        ASSERT_GT(host_.OpenDocumentCount(), 0);
        for (int id = 0; id < host_.DocumentCount(); id++) {
            if (!host_.DocumentOpen(id)) continue;
            EXPECT_EQ(app->CloseDocument(std::wstring(host_.Document(id).name).c_str()), S_OK);
        }
        EXPECT_EQ(host_.OpenDocumentCount(), 0);
        EXPECT_EQ(host_.ActiveDocumentId(), -1);
        EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_ + 1) << host_.Unreleased(); // app
    }
    app->Release();
    EXPECT_EQ(host_.OutstandingRefs(), refsAfterStart_) << host_.Unreleased();
}

TEST_F(ImportRun, MissingArgumentsOrAStoppedAddinGiveMinusOne) {
    QuorlaImportOptions options{0, 0, 1, 3, 1, 1};
    QuorlaImportResult result;
    result.failedStep = 99;
    EXPECT_EQ(import_(nullptr, &options, nullptr, &result), -1);
    EXPECT_EQ(result.failedStep, 0) << "the result is cleared";
    EXPECT_EQ(import_(L"x.3dm", nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(boxes_.Count(), 0);
}

} // namespace
