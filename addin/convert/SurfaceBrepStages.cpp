// Surfaces and B-reps as wireframes: their curves go through
// ConvertCurveArray, whose own window stays closed.
#include "Convert.h"
#include "StageProgress.h"

#include <TMXBrep.h>

#include <memory>

namespace {

// The iso-curves of direction dir at count equal steps over the other
// direction's domain, then at its end. Each parameter is computed from the
// start, so rounding cannot add a curve next to the last. A curve without
// a NURBS form is left out.
void AppendIsoCurves(const ON_NurbsSurface& surface, int dir,
                     ON_ClassArray<ON_NurbsCurve>& curves) {
    const ON_Interval domain = surface.Domain(1 - dir);
    const int count = surface.CVCount(1 - dir);
    const double step = domain.Length() / count;
    for (int i = 0; i <= count; i++) {
        const double t = i < count ? domain[0] + i * step : domain[1];
        std::unique_ptr<ON_Curve> iso(surface.IsoCurve(dir, t));
        if (!iso) continue;
        ON_NurbsCurve nurbs;
        if (iso->GetNurbForm(nurbs, 0.0, nullptr) > 0) curves.AppendNew() = std::move(nurbs);
    }
}

} // namespace

int ConvertSurfaceCurves(HostDocHandle doc, const ON_ClassArray<ON_NurbsSurface>& surfaces,
                         double unitFactor, int progress) {
    StageProgress window(L"Creating surface curves", progress);
    window.Start(surfaces.Count());
    for (int i = 0; i < surfaces.Count(); i++) {
        window.Step();
        ON_ClassArray<ON_NurbsCurve> curves;
        if (surfaces[i].CVCount(0) > 0 && surfaces[i].CVCount(1) > 0) {
            AppendIsoCurves(surfaces[i], 0, curves); // constant v
            AppendIsoCurves(surfaces[i], 1, curves); // constant u
        }
        ConvertCurveArray(doc, curves, unitFactor, 0);
    }
    window.End();
    return 1;
}

int ConvertBrepCurves(HostDocHandle doc, const ON_ClassArray<ON_Brep>& breps, double unitFactor,
                      int progress) {
    StageProgress window(L"Creating brep curves", progress);
    window.Start(breps.Count());
    for (int i = 0; i < breps.Count(); i++) {
        window.Step();
        ON_ClassArray<ON_NurbsCurve> edges;
        TMXBrep::GetEdgeCurves(breps[i], edges);
        ConvertCurveArray(doc, edges, unitFactor, 0);
    }
    window.End();
    return 1;
}
