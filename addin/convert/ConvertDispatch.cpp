// The two entry points: documents, their preparation, the order of the
// stages and the release of every host handle.
#include "Convert.h"
#include "Finite.h"
#include "ScopeGuards.h"

#include <TMXMesh.h>

#include <cmath>
#include <vector>

namespace {

// Unit codes given to DocSetLengthUnit are the unit indexes themselves.
bool IsKnownUnit(int unitIndex) {
    return unitIndex >= 0 && unitIndex <= 4;
}

double SetUnit(HostDocHandle doc, const ConvertUnits& units) {
    if (IsKnownUnit(units.documentUnit)) DocSetLengthUnit(doc, units.documentUnit);
    return units.factor;
}

// A part and its document side as the host gave them; released on every path.
struct PartDocument {
    HostPartHandle part = nullptr;
    HostDocHandle doc = nullptr;

    PartDocument() = default;
    PartDocument(const PartDocument&) = delete;
    PartDocument& operator=(const PartDocument&) = delete;
    ~PartDocument() {
        HostRelease(doc);
        HostRelease(part);
    }

    // HostNewPart, then HostActiveDocument; false (and the error set) when
    // the host gave no part or no document.
    bool Create(HostAppHandle app) {
        HostNewPart(app, &part);
        HostActiveDocument(app, &doc);
        if (!part) {
            SetLastConversionError(L"Unable to create a new part document for the meshes.");
            return false;
        }
        if (!doc) {
            SetLastConversionError(L"No document is open to receive the meshes.");
            return false;
        }
        return true;
    }
};

// Ends the editing of a mesh part: the sketch first, when the meshes went into one.
void CloseOutMeshPart(HostDocHandle doc, int meshMode) {
    if (meshMode == kMeshAsSketch) {
        DocCloseOutB(doc);
        DocToggle3DSketch(doc, 0);
    }
    DocCloseOutA(doc);
    DocCloseOutC(doc);
}

int SolidFromCopy(HostPartHandle part, ON_Mesh& working, const ON_Mesh& mesh, double unitFactor,
                  int progress) {
    working = mesh;
    TMXMesh::BreakQuads(working, 1, nullptr);
    // Each quadrangle split adds one face.
    ConversionCountsToFill().quadsSplit += working.FaceCount() - mesh.FaceCount();
    return MeshToSolidBody(part, working, unitFactor, progress);
}

// The meshes that failed, by their position in the file (1-based), and the
// text of the first failure, which opens the message.
class MeshFailures {
public:
    void Add(int index) {
        if (positions_.empty()) first_ = GetLastConversionError();
        positions_.push_back(index + 1);
    }

    // 1 when none failed; otherwise 0 with the message set, such as "Unable
    // to create body from surfaces. 2 of 23 meshes could not be made into
    // bodies: 1, 4."
    int Result(int meshCount) const {
        if (positions_.empty()) return 1;
        const int failed = static_cast<int>(positions_.size());
        CString text = first_;
        if (!text.IsEmpty() && text[text.GetLength() - 1] != L'.') text += L".";
        text.AppendFormat(L" %d of %d %s could not be made into %s: ", failed, meshCount,
                          meshCount == 1 ? L"mesh" : L"meshes", failed == 1 ? L"a body" : L"bodies");
        // A message box holds so many; the report has the counts.
        const int listed = failed <= kListed ? failed : kListed;
        for (int i = 0; i < listed; i++)
            text.AppendFormat(i ? L", %d" : L"%d", positions_[i]);
        if (listed < failed) text.AppendFormat(L" and %d more", failed - listed);
        text += L".";
        SetLastConversionError(text);
        return 0;
    }

private:
    static constexpr int kListed = 20;
    std::vector<int> positions_;
    CString first_;
};

// One mesh in a part document of its own (multibody 0).
int MeshInOwnPart(HostAppHandle app, const ON_Mesh& mesh, const ConvertUnits& units, int meshMode,
                  int progress) {
    PartDocument target;
    if (!target.Create(app)) return 0;
    HostDocHandle doc = target.doc;
    DocCreationSwitchA(doc, 1);
    DocCreationSwitchB(doc, 0);
    const double unitFactor = SetUnit(doc, units);
    if (meshMode == kMeshAsSketch) DocToggle3DSketch(doc, 0);
    AtScopeExit closeOut([doc, meshMode] { CloseOutMeshPart(doc, meshMode); });

    if (meshMode == kMeshAsSolid) {
        ON_Mesh working; // destroyed on return, whatever MeshToSolidBody gave
        return SolidFromCopy(target.part, working, mesh, unitFactor, progress);
    }
    if (meshMode == kMeshAsSketch) return MeshToSketchLines(doc, mesh, unitFactor, progress);
    return 1;
}

// All meshes in one part document (multibody 1).
int MeshesInOnePart(HostAppHandle app, const ON_ClassArray<ON_Mesh>& meshes,
                    const ConvertUnits& units, int meshMode, int progress) {
    PartDocument target;
    if (!target.Create(app)) return 0;
    HostDocHandle doc = target.doc;
    DocCreationSwitchA(doc, 1);
    DocCreationSwitchB(doc, 0);
    const double unitFactor = SetUnit(doc, units);
    if (meshMode == kMeshAsSketch) DocToggle3DSketch(doc, 0);
    AtScopeExit closeOut([doc, meshMode] { CloseOutMeshPart(doc, meshMode); });

    // A mesh that fails ends nothing: every mesh is tried.
    MeshFailures failures;
    ON_Mesh working; // one working copy, refilled for each mesh
    for (int i = 0; i < meshes.Count(); i++) {
        int result = 1;
        if (meshMode == kMeshAsSolid)
            result = SolidFromCopy(target.part, working, meshes[i], unitFactor, progress);
        else if (meshMode == kMeshAsSketch)
            result = MeshToSketchLines(doc, meshes[i], unitFactor, progress);
        if (!result) failures.Add(i);
    }
    return failures.Result(meshes.Count());
}

} // namespace

double UnitFactor(int unitIndex) {
    switch (unitIndex) {
    case 0:
        return 0.001;
    case 1:
        return 0.01;
    case 2:
        return 1.0;
    case 3:
        return 0.0254;
    case 4:
        return 12 * 0.0254; // a foot as twelve inches, not the double nearest 0.3048
    default:
        return 1.0;
    }
}

ConvertUnits UnitsOfIndex(int unitIndex) {
    ConvertUnits u;
    u.documentUnit = IsKnownUnit(unitIndex) ? unitIndex : -1;
    u.factor = UnitFactor(unitIndex);
    return u;
}

int NearestUnitIndex(double metersPerUnit, UnitSystemFamily family) {
    if (!(std::isfinite(metersPerUnit) && metersPerUnit > 0)) return -1;
    // The five by size, so that a tie goes to the smaller.
    const int bySize[5] = {0, 1, 3, 4, 2};
    const double meters[5] = {0.001, 0.01, 1.0, 0.0254, 0.3048};
    int best = -1;
    double bestDistance = 0;
    for (int index : bySize) {
        const bool imperial = index == 3 || index == 4;
        if ((family == kMetric && imperial) || (family == kImperial && !imperial)) continue;
        const double d = std::fabs(std::log(metersPerUnit / meters[index]));
        if (best < 0 || d < bestDistance * (1 - 1e-12)) {
            best = index;
            bestDistance = d;
        }
    }
    return best;
}

ConvertUnits ExactUnits(double metersPerUnit, UnitSystemFamily family) {
    ConvertUnits u;
    u.documentUnit = NearestUnitIndex(metersPerUnit, family);
    u.factor = u.documentUnit >= 0 ? metersPerUnit : 1.0;
    return u;
}

int ConvertCurves(HostAppHandle app, int curveMode, int unitIndex, const ON_3dPointArray* points,
                  const ON_ClassArray<ON_NurbsCurve>* curves,
                  const ON_ClassArray<ON_NurbsSurface>* surfaces,
                  const ON_ClassArray<ON_Brep>* breps, const ON_ClassArray<ON_Mesh>* meshes,
                  int progress) {
    return ConvertCurves(app, curveMode, UnitsOfIndex(unitIndex), points, curves, surfaces, breps,
                         meshes, progress);
}

int ConvertCurves(HostAppHandle app, int curveMode, const ConvertUnits& units,
                  const ON_3dPointArray* points, const ON_ClassArray<ON_NurbsCurve>* curves,
                  const ON_ClassArray<ON_NurbsSurface>* surfaces,
                  const ON_ClassArray<ON_Brep>* breps, const ON_ClassArray<ON_Mesh>* meshes,
                  int progress) {
    // The created document's handle (part or other kind) and the active one.
    HostHeld<HostPartHandle> createdPart;
    HostHeld<HostDocHandle> createdDoc;
    bool created = true;
    switch (curveMode) {
    case kCurvesInPart:
        HostNewPart(app, &createdPart.handle);
        created = createdPart.handle != nullptr;
        break;
    case kCurvesInAssembly:
        HostNewAssembly(app, &createdDoc.handle);
        created = createdDoc.handle != nullptr;
        break;
    case kCurvesInDrawing:
        HostNewDrawing(app, 11, 0, 11, 0, 0, 0, 0, &createdDoc.handle);
        created = createdDoc.handle != nullptr;
        break;
    default: // no new document: the active one receives the entities
        break;
    }
    HostHeld<HostDocHandle> active;
    HostActiveDocument(app, &active.handle);
    HostDocHandle doc = active.handle;
    if (!created || !doc) {
        // Without the new document the entities would land in some other
        // open document, or on a null handle.
        SetLastConversionError(created ? L"No document is open to receive the curves."
                                       : L"Unable to create a new document for the curves.");
        return 0;
    }

    const bool sketch = curveMode == kCurvesInPart || curveMode == kCurvesInAssembly;
    DocCreationSwitchA(doc, 1);
    const double unitFactor = SetUnit(doc, units);
    if (sketch) DocToggle3DSketch(doc, 0);
    DocCreationSwitchB(doc, 0);
    // Also when a stage runs out of memory: the document is left as a finished one.
    AtScopeExit closeOut([doc, sketch] {
        DocCloseOutA(doc);
        DocCloseOutB(doc);
        if (sketch) DocToggle3DSketch(doc, 0);
    });

    // A stage's result never stops the ones after it.
    if (points) ConvertPoints(doc, *points, unitFactor, progress);
    if (curves) ConvertCurveArray(doc, *curves, unitFactor, progress);
    if (surfaces) ConvertSurfaceCurves(doc, *surfaces, unitFactor, progress);
    if (breps) ConvertBrepCurves(doc, *breps, unitFactor, progress);
    if (meshes) ConvertMeshLines(doc, *meshes, unitFactor, progress);
    return 1;
}

int ConvertMeshes(HostAppHandle app, const ON_ClassArray<ON_Mesh>& meshes, int unitIndex,
                  int meshMode, int multibody, int progress) {
    return ConvertMeshes(app, meshes, UnitsOfIndex(unitIndex), meshMode, multibody, progress);
}

int ConvertMeshes(HostAppHandle app, const ON_ClassArray<ON_Mesh>& meshes,
                  const ConvertUnits& units, int meshMode, int multibody, int progress) {
    if (multibody) return MeshesInOnePart(app, meshes, units, meshMode, progress);
    MeshFailures failures;
    for (int i = 0; i < meshes.Count(); i++)
        if (!MeshInOwnPart(app, meshes[i], units, meshMode, progress)) failures.Add(i);
    return failures.Result(meshes.Count());
}
