// Bodies from planar faces: the modeller's check of the shell and what the
// part document records.
#include "CadHost.h"
#include "HostContract.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace cadhost;

namespace {

struct P {
    double x, y, z;
};

struct TestFace {
    std::vector<P> corners;
    P normal{0, 0, 0};
};

P Sub(P a, P b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
P Cross(P a, P b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// The normal by the right-hand rule over the first three corners, as the
// converters send it (zero for a degenerate triangle).
TestFace MakeFace(std::vector<P> corners) {
    TestFace f;
    f.corners = std::move(corners);
    P n = Cross(Sub(f.corners[1], f.corners[0]), Sub(f.corners[2], f.corners[0]));
    double len = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (len > 0) f.normal = {n.x / len, n.y / len, n.z / len};
    return f;
}

TestFace Flipped(const TestFace& f) {
    std::vector<P> c(f.corners.rbegin(), f.corners.rend());
    return MakeFace(c);
}

// An axis-aligned box with outward faces, as six quadrangles or twelve triangles.
std::vector<TestFace> Box(double size, P at, bool quads) {
    auto v = [&](int x, int y, int z) {
        return P{at.x + x * size, at.y + y * size, at.z + z * size};
    };
    const std::vector<std::vector<P>> sides = {
        {v(0, 0, 0), v(0, 1, 0), v(1, 1, 0), v(1, 0, 0)}, // bottom
        {v(0, 0, 1), v(1, 0, 1), v(1, 1, 1), v(0, 1, 1)}, // top
        {v(0, 0, 0), v(1, 0, 0), v(1, 0, 1), v(0, 0, 1)}, // front
        {v(0, 1, 0), v(0, 1, 1), v(1, 1, 1), v(1, 1, 0)}, // back
        {v(0, 0, 0), v(0, 0, 1), v(0, 1, 1), v(0, 1, 0)}, // left
        {v(1, 0, 0), v(1, 1, 0), v(1, 1, 1), v(1, 0, 1)}, // right
    };
    std::vector<TestFace> faces;
    for (const auto& q : sides) {
        if (quads) {
            faces.push_back(MakeFace(q));
        } else {
            faces.push_back(MakeFace({q[0], q[1], q[2]}));
            faces.push_back(MakeFace({q[0], q[2], q[3]}));
        }
    }
    return faces;
}

std::vector<TestFace> TriangleBox() {
    return Box(1.0, {0, 0, 0}, false);
}

// A torus of n × m quadrangles split into triangles: closed, every edge
// shared twice, enough faces for the hash tables to grow.
std::vector<TestFace> Torus(int n, int m) {
    const double pi = 3.14159265358979323846;
    auto at = [&](int i, int j) {
        double u = 2 * pi * (i % n) / n, w = 2 * pi * (j % m) / m;
        double r = 0.05 + 0.02 * std::cos(w);
        return P{r * std::cos(u), r * std::sin(u), 0.02 * std::sin(w)};
    };
    std::vector<TestFace> faces;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < m; ++j) {
            P a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
            faces.push_back(MakeFace({a, b, c}));
            faces.push_back(MakeFace({a, c, d}));
        }
    return faces;
}

class BodyTest : public ::testing::Test {
protected:
    void SetUp() override {
        IDispatch* d = host.Application();
        d->QueryInterface(IID_IHostApplication, reinterpret_cast<void**>(&app));
        d->Release();
        ASSERT_NE(app, nullptr);
        ASSERT_EQ(app->NewPart(&part), S_OK);
    }
    void TearDown() override {
        if (part) part->Release();
        app->Release();
        EXPECT_EQ(host.OutstandingRefs(), 0) << host.Unreleased();
    }

    IHostBody* NewBody() {
        IHostBody* body = nullptr;
        EXPECT_EQ(part->CreateBody(&body), S_OK);
        return body;
    }

    static HRESULT Add(IHostBody* body, const TestFace& f) {
        std::vector<double> c;
        for (const P& p : f.corners)
            c.insert(c.end(), {p.x, p.y, p.z});
        const double n[3] = {f.normal.x, f.normal.y, f.normal.z};
        return body->AddPlanarFace(static_cast<LONG>(f.corners.size()), c.data(), n);
    }

    // Sends the faces and builds the body; *solid gets the out flag.
    HRESULT Build(const std::vector<TestFace>& faces, VARIANT_BOOL* solid) {
        IHostBody* body = NewBody();
        for (const TestFace& f : faces)
            EXPECT_EQ(Add(body, f), S_OK);
        HRESULT hr = body->CreateFromFaces(solid);
        body->Release();
        return hr;
    }

    Host host;
    IHostApplication* app = nullptr;
    IHostPart* part = nullptr;
};

struct ShellCase {
    const char* name;
    std::vector<TestFace> (*faces)();
    HRESULT status;
    bool solid;
};

std::vector<TestFace> OpenBox() {
    auto f = TriangleBox();
    f.erase(f.begin() + 2, f.begin() + 4); // the top
    return f;
}

std::vector<TestFace> ThreeFacesOnOneEdge() {
    P a{0, 0, 0}, b{1, 0, 0};
    return {MakeFace({a, b, {0.5, 1, 0}}), MakeFace({b, a, {0.5, -1, 0}}),
            MakeFace({a, b, {0.5, 0, 1}})};
}

std::vector<TestFace> OneFaceFlipped() {
    auto f = TriangleBox();
    f[5] = Flipped(f[5]);
    return f;
}

std::vector<TestFace> DegenerateTriangle() {
    auto f = TriangleBox();
    f.push_back(MakeFace({{0, 0, 0}, {0.5, 0, 0}, {1, 0, 0}})); // on a line, zero normal
    return f;
}

std::vector<TestFace> TwoCornersCoincide() {
    return {MakeFace({{0, 0, 0}, {0, 0, 0}, {1, 1, 0}})};
}

std::vector<TestFace> AllCornersCoincide() {
    return {MakeFace({{2, 2, 2}, {2, 2, 2}, {2, 2, 2}})};
}

std::vector<TestFace> DuplicateFace() {
    auto f = TriangleBox();
    f.push_back(f[0]);
    return f;
}

std::vector<TestFace> CornersWithinTolerance() {
    auto f = TriangleBox();
    int i = 0;
    for (TestFace& face : f)
        for (P& p : face.corners)
            p.x += (++i % 3 - 1) * 1e-12; // well inside 1e-8 × 1.73
    return f;
}

std::vector<TestFace> CornerBeyondTolerance() {
    auto f = TriangleBox();
    f[0].corners[0].x += 1e-6; // a gap: its edges find no partner
    return f;
}

std::vector<TestFace> FarFromOrigin() {
    return Box(0.001, {1e6, -2e6, 3e5}, false);
}
std::vector<TestFace> QuadBox() {
    return Box(2.0, {-1, -1, -1}, true);
}
std::vector<TestFace> TwoSeparateBoxes() {
    auto f = TriangleBox();
    auto g = Box(1.0, {5, 0, 0}, true);
    f.insert(f.end(), g.begin(), g.end());
    return f;
}
std::vector<TestFace> NoFaces() {
    return {};
}
std::vector<TestFace> OneTriangle() {
    return {MakeFace({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}})};
}
std::vector<TestFace> BigTorus() {
    return Torus(300, 200);
}

class ShellTest : public BodyTest, public ::testing::WithParamInterface<ShellCase> {};

TEST_P(ShellTest, ChecksTheShellAndRecordsTheBody) {
    const ShellCase& c = GetParam();
    const std::vector<TestFace> faces = c.faces();
    VARIANT_BOOL solid = 1;
    HRESULT hr = Build(faces, &solid);
    EXPECT_EQ(hr, c.status) << std::hex << "status 0x" << hr;
    const DocumentModel& doc = host.Document(0);
    if (FAILED(c.status)) {
        EXPECT_EQ(solid, VARIANT_FALSE);
        EXPECT_TRUE(doc.bodies.empty()) << "a failed body is not recorded";
        return;
    }
    EXPECT_EQ(solid, c.solid ? VARIANT_TRUE : VARIANT_FALSE);
    ASSERT_EQ(doc.bodies.size(), 1u);
    const Body& body = doc.bodies[0];
    EXPECT_EQ(body.solid, c.solid);
    ASSERT_EQ(body.faces.size(), faces.size());
    // Faces are kept exactly as sent.
    for (std::size_t i = 0; i < faces.size(); ++i) {
        ASSERT_EQ(body.faces[i].count, static_cast<int>(faces[i].corners.size()));
        for (std::size_t k = 0; k < faces[i].corners.size(); ++k) {
            Vec3 p = body.faces[i].Corner(static_cast<int>(k));
            EXPECT_EQ(p.x, faces[i].corners[k].x) << "face " << i << " corner " << k;
            EXPECT_EQ(p.y, faces[i].corners[k].y);
            EXPECT_EQ(p.z, faces[i].corners[k].z);
        }
        EXPECT_EQ(body.faces[i].normal[2], faces[i].normal.z);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shells, ShellTest,
    ::testing::Values(ShellCase{"ClosedBoxOfTriangles", TriangleBox, S_OK, true},
                      ShellCase{"ClosedBoxOfQuadrangles", QuadBox, S_OK, true},
                      ShellCase{"TwoSeparateClosedBoxes", TwoSeparateBoxes, S_OK, true},
                      ShellCase{"ClosedTorus", BigTorus, S_OK, true},
                      ShellCase{"OpenBox", OpenBox, S_OK, false},
                      ShellCase{"OneTriangle", OneTriangle, S_OK, false},
                      ShellCase{"NoFaces", NoFaces, HOST_E_NOFACES, false},
                      ShellCase{"ThreeFacesOnOneEdge", ThreeFacesOnOneEdge, HOST_E_NONMANIFOLD,
                                false},
                      ShellCase{"DuplicateFace", DuplicateFace, HOST_E_NONMANIFOLD, false},
                      ShellCase{"OneFaceFlipped", OneFaceFlipped, HOST_E_ORIENTATION, false},
                      ShellCase{"DegenerateTriangle", DegenerateTriangle, HOST_E_DEGENERATE, false},
                      ShellCase{"TwoCornersCoincide", TwoCornersCoincide, HOST_E_DEGENERATE, false},
                      ShellCase{"AllCornersCoincide", AllCornersCoincide, HOST_E_DEGENERATE, false},
                      ShellCase{"CornersWithinTolerance", CornersWithinTolerance, S_OK, true},
                      ShellCase{"CornerBeyondTolerance", CornerBeyondTolerance, S_OK, false},
                      ShellCase{"SmallBoxFarFromOrigin", FarFromOrigin, S_OK, true}),
    [](const ::testing::TestParamInfo<ShellCase>& i) { return std::string(i.param.name); });

TEST_F(BodyTest, FailedBodyKeepsItsFacesSoTheCallCanBeRepeated) {
    IHostBody* body = NewBody();
    auto faces = TriangleBox();
    for (std::size_t i = 0; i + 1 < faces.size(); ++i)
        Add(body, faces[i]);
    VARIANT_BOOL solid = VARIANT_TRUE;
    // Eleven triangles: open, so a sheet would be made; a flipped twelfth spoils it.
    ASSERT_EQ(Add(body, Flipped(faces.back())), S_OK);
    EXPECT_EQ(body->CreateFromFaces(&solid), HOST_E_ORIENTATION);
    EXPECT_TRUE(host.Document(0).bodies.empty());
    body->Release();

    body = NewBody();
    for (const TestFace& f : faces)
        Add(body, f);
    EXPECT_EQ(body->CreateFromFaces(&solid), S_OK);
    EXPECT_EQ(solid, VARIANT_TRUE);
    // A made body takes no more faces and is not made twice.
    EXPECT_EQ(Add(body, faces[0]), HOST_E_STATE);
    EXPECT_EQ(body->CreateFromFaces(&solid), HOST_E_STATE);
    body->Release();
    ASSERT_EQ(host.Document(0).bodies.size(), 1u);
    EXPECT_EQ(host.Document(0).bodies[0].faces.size(), 12u);
}

TEST_F(BodyTest, SeveralBodiesGoIntoOnePart) {
    VARIANT_BOOL solid = 0;
    EXPECT_EQ(Build(TriangleBox(), &solid), S_OK);
    EXPECT_EQ(Build(OpenBox(), &solid), S_OK);
    EXPECT_EQ(Build(QuadBox(), &solid), S_OK);
    const auto& bodies = host.Document(0).bodies;
    ASSERT_EQ(bodies.size(), 3u);
    EXPECT_TRUE(bodies[0].solid);
    EXPECT_FALSE(bodies[1].solid);
    EXPECT_TRUE(bodies[2].solid);
    EXPECT_EQ(host.BodyHandleCount(), 3);
}

TEST_F(BodyTest, MalformedFacesAreRefusedOnArrival) {
    IHostBody* body = NewBody();
    const double c[12] = {0, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0};
    const double n[3] = {0, 0, 1};
    const double nan = std::nan("");
    const double bad[9] = {0, 0, 0, nan, 0, 0, 0, 1, 0};
    EXPECT_EQ(body->AddPlanarFace(2, c, n), E_INVALIDARG);
    EXPECT_EQ(body->AddPlanarFace(5, c, n), E_INVALIDARG);
    EXPECT_EQ(body->AddPlanarFace(3, nullptr, n), E_POINTER);
    EXPECT_EQ(body->AddPlanarFace(3, c, nullptr), E_POINTER);
    EXPECT_EQ(body->AddPlanarFace(3, bad, n), E_INVALIDARG);
    EXPECT_EQ(body->AddPlanarFace(3, c, n), S_OK);
    VARIANT_BOOL solid = VARIANT_TRUE;
    EXPECT_EQ(body->CreateFromFaces(&solid), S_OK) << "only the sound face counts";
    EXPECT_EQ(host.Document(0).bodies.at(0).faces.size(), 1u);
    body->Release();
}

TEST_F(BodyTest, OnlyPartsHaveThePartSide) {
    IHostDocument* assembly = nullptr;
    ASSERT_EQ(app->NewAssembly(&assembly), S_OK);
    IHostPart* p = nullptr;
    EXPECT_EQ(assembly->QueryInterface(IID_IHostPart, reinterpret_cast<void**>(&p)), E_NOINTERFACE);
    EXPECT_EQ(p, nullptr);
    IHostDocument* doc = nullptr;
    ASSERT_EQ(part->QueryInterface(IID_IHostDocument, reinterpret_cast<void**>(&doc)), S_OK);
    EXPECT_EQ(host.DocumentRefs(0), 2) << "part and document side count together";
    doc->Release();
    assembly->Release();
}

} // namespace
