// The stages' progress windows: opened with their titles only when progress
// is on (also for empty collections), never for inner stages, and always
// closed again.
#include "ConvertTestSupport.h"

using namespace converttest;
using cadhost::Op;
using Titles = std::vector<std::wstring>;

using ProgressWindowsTest = ConvertTest;

namespace {

int OpenProgressWindows() {
    int n = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM count) -> BOOL {
            if (GetDlgItem(hwnd, 8001) && GetDlgItem(hwnd, 8000)) ++*reinterpret_cast<int*>(count);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&n));
    return n;
}

ON_Brep OneEdgeBrep() {
    ON_Brep b;
    const int c = b.AddEdgeCurve(new ON_NurbsCurve(NurbsLine({0, 0, 0}, {1, 0, 0})));
    b.NewEdge(b.NewVertex({0, 0, 0}).m_vertex_index, b.NewVertex({1, 0, 0}).m_vertex_index, c);
    return b;
}

} // namespace

TEST_F(ProgressWindowsTest, EveryStageOfTheCurvesOpensItsWindowEvenWhenEmpty) {
    const ON_3dPointArray points;
    const ON_ClassArray<ON_NurbsCurve> curves;
    const ON_ClassArray<ON_NurbsSurface> surfaces;
    const ON_ClassArray<ON_Brep> breps;
    const ON_ClassArray<ON_Mesh> meshes;
    {
        ProgressWatch watch;
        ASSERT_EQ(ConvertCurves(app, 0, 0, &points, &curves, &surfaces, &breps, &meshes, 1), 1);
        EXPECT_EQ(watch.Created(), 5);
        EXPECT_EQ(watch.Closed(),
                  (Titles{L"Creating points", L"Creating curves", L"Creating surface curves",
                          L"Creating brep curves", L"Creating meshes"}))
            << watch.ClosedText();
    }
    {
        ProgressWatch watch;
        ASSERT_EQ(ConvertCurves(app, 0, 0, &points, &curves, &surfaces, &breps, &meshes, 0), 1);
        EXPECT_EQ(watch.Created(), 0) << watch.ClosedText();
    }
    EXPECT_EQ(OpenProgressWindows(), 0);
}

TEST_F(ProgressWindowsTest, InnerStagesKeepTheirWindowsClosed) {
    ON_ClassArray<ON_Brep> breps;
    breps.Append(OneEdgeBrep());
    breps.Append(OneEdgeBrep());
    ON_ClassArray<ON_Mesh> meshes;
    meshes.Append(TwoTriangles());
    ProgressWatch watch;
    ASSERT_EQ(ConvertCurves(app, 2, 0, nullptr, nullptr, nullptr, &breps, &meshes, 1), 1);
    // One window per stage present; the curves and mesh inside them show none.
    EXPECT_EQ(watch.Closed(), (Titles{L"Creating brep curves", L"Creating meshes"}))
        << watch.ClosedText();
    EXPECT_EQ(watch.ClosedStatus(), (Titles{L"100 % complete", L"100 % complete"}));
    EXPECT_EQ(host.Calls(Op::DocCreateLine), 7u);
}

TEST_F(ProgressWindowsTest, MeshWindowsFollowTheProgressFlag) {
    ON_ClassArray<ON_Mesh> meshes;
    meshes.Append(TwoTriangles());
    {
        ProgressWatch watch;
        ASSERT_EQ(ConvertMeshes(app, meshes, 0, 0, 0, 1), 1);
        ASSERT_EQ(ConvertMeshes(app, meshes, 0, 1, 1, 1), 1);
        EXPECT_EQ(watch.Closed(), (Titles{L"Creating solid", L"Creating mesh"}))
            << watch.ClosedText();
        // The solid's window ends on the text for the slow last step.
        EXPECT_EQ(watch.ClosedStatus(),
                  (Titles{L"Creating body from surfaces. This may take several minutes...",
                          L"100 % complete"}));
    }
    {
        ProgressWatch watch;
        ASSERT_EQ(ConvertMeshes(app, meshes, 0, 0, 1, 0), 1);
        ASSERT_EQ(ConvertMeshes(app, meshes, 0, 1, 0, 0), 1);
        EXPECT_EQ(watch.Created(), 0) << watch.ClosedText();
    }
    {
        // No body, no window.
        host.RefuseAll(Op::PartCreateBody);
        ProgressWatch watch;
        EXPECT_EQ(ConvertMeshes(app, meshes, 0, 0, 0, 1), 0);
        EXPECT_EQ(watch.Created(), 0) << watch.ClosedText();
        host.AcceptAll();
    }
    {
        // A failed body still closes its window.
        host.RefuseAll(Op::BodyCreateFromFaces);
        ProgressWatch watch;
        EXPECT_EQ(ConvertMeshes(app, meshes, 0, 0, 0, 1), 0);
        EXPECT_EQ(watch.Closed(), Titles{L"Creating solid"});
        host.AcceptAll();
    }
    EXPECT_EQ(OpenProgressWindows(), 0);
}
