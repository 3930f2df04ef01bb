#include "ImportRun.h"
#include "ProductTitle.h"

#include <Convert.h>
#include <TMX3DM.h>

#include <new>

namespace {

const wchar_t* const kUnitNames[5] = {L"millimeters", L"centimeters", L"meters", L"inches",
                                      L"feet"};

// The openNURBS unit codes the run tells apart.
enum FileUnit { kUnitNone = 0, kUnitCustom = 11 };

// The system a file's unit belongs to: its documents stay in it.
UnitSystemFamily FamilyOf(int unitSystem) {
    switch (unitSystem) {
    case 1: case 2: case 3: case 4: case 5: // microns to kilometres
    case 12: case 13: case 14: case 15: case 16: case 17: case 18: // angstroms to gigameters
        return kMetric;
    case 6: case 7: case 8: case 9: case 10: // microinches to miles
    case 19: case 20: case 21: // yards, printer points and picas
        return kImperial;
    default: // nautical miles, astronomical units, light years, parsecs, custom
        return kAnySystem;
    }
}

// The reader's containers; freed in the order meshes, B-reps, curves, points
// on every path.
struct Containers {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;

    Containers() = default;
    Containers(const Containers&) = delete;
    Containers& operator=(const Containers&) = delete;
    ~Containers() {
        meshes.Destroy();
        breps.Destroy();
        curves.Destroy();
        points.Destroy();
    }
};

// Wait cursor on for the scope, also when a message box is up.
class Waiting {
public:
    explicit Waiting(ImportFeedback& feedback) : feedback_(feedback) { feedback_.BeginWait(); }
    ~Waiting() { feedback_.EndWait(); }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

private:
    ImportFeedback& feedback_;
};

void ShowBox(const CString& caption, const CString& text) {
    HWND owner = AfxGetSafeHwnd(AfxGetMainWnd());
    ::MessageBoxW(owner, text, caption, MB_OK | MB_ICONWARNING);
}

} // namespace

void MessageBoxFeedback::Error(const CString& caption, const CString& text) {
    ShowBox(caption, text);
}

void MessageBoxFeedback::Warning(const CString& caption, const CString& text) {
    ShowBox(caption, text);
}

void MessageBoxFeedback::BeginWait() {
    AfxDoWaitCursor(1);
}

void MessageBoxFeedback::EndWait() {
    AfxDoWaitCursor(-1);
}

bool IsNewDocumentCurveMode(int curveMode) {
    return curveMode == kCurvesInPart || curveMode == kCurvesInAssembly ||
           curveMode == kCurvesInDrawing;
}

int UnitIndexOfFileUnit(int unitSystem) {
    switch (unitSystem) {
    case 2:
        return 0; // millimeters
    case 3:
        return 1; // centimeters
    case 4:
        return 2; // meters
    case 8:
        return 3; // inches
    case 9:
        return 4; // feet
    default:
        return -1;
    }
}

CString FileUnitText(int unitSystem, double metersPerUnit) {
    CString text(TMXFileUnitName(unitSystem));
    if (unitSystem == kUnitCustom) {
        CString meters;
        meters.Format(L" of %.15g m", metersPerUnit);
        text += meters;
    }
    return text;
}

namespace {

// The file's name as messages give it: without its folder.
CString FileNameOf(const CString& path) {
    int cut = -1;
    for (int i = 0; i < path.GetLength(); i++)
        if (path[i] == L'\\' || path[i] == L'/') cut = i;
    return path.Mid(cut + 1);
}

// Thrown out of the run when the reader gave up for want of memory, so that
// every kind of running out ends alike.
struct ReaderOutOfMemory : std::bad_alloc {};

// The run itself; `step` follows it, so that a failure anywhere can be placed.
int ImportFile(HostAppHandle host, const CString& path, const ImportOptions& options,
               ImportFeedback& feedback, ImportOutcome& out, int& step) {
    const CString caption(ProductTitle);

    Waiting waiting(feedback);
    Containers objects;
    step = kImportReader;
    if (!TMX3DM::_3DMToObjects(path, objects.points, objects.curves, objects.breps,
                               objects.meshes)) {
        if (TMX3DM::OutOfMemory()) throw ReaderOutOfMemory();
        out.failedStep = kImportReader;
        feedback.Error(caption, TMX3DM::GetError());
        return 0;
    }

    const TMXFileReport& report = TMX3DM::GetReport();
    out.archiveVersion = report.archiveVersion;
    out.unitSystem = report.unitSystem;
    out.metersPerUnit = report.metersPerUnit;
    out.absoluteTolerance = report.absoluteTolerance;
    for (const TMXFileKindCount& k : report.read)
        out.read.push_back({k.kind, k.count, k.reason});
    for (const TMXFileKindCount& k : report.skipped)
        out.skipped.push_back({k.kind, k.count, k.reason});
    out.points = objects.points.Count();
    out.curves = objects.curves.Count();
    out.breps = objects.breps.Count();
    out.meshes = objects.meshes.Count();
    for (int i = 0; i < objects.breps.Count(); i++)
        out.brepEdges += objects.breps[i].m_E.Count();
    for (int i = 0; i < objects.meshes.Count(); i++)
        out.meshFaces += objects.meshes[i].FaceCount();

    int unitIndex = options.unitIndex;
    ConvertUnits units = UnitsOfIndex(unitIndex);
    if (options.unitFromFile) {
        const int fileUnit = UnitIndexOfFileUnit(report.unitSystem);
        const double exact = TMXFileMetersPerUnit(report.unitSystem);
        if (fileUnit >= 0) {
            unitIndex = fileUnit;
            units = UnitsOfIndex(unitIndex);
            out.unitFromFile = 1;
        } else if (report.unitSystem != kUnitNone && (exact > 0 || report.unitSystem == kUnitCustom) &&
                   NearestUnitIndex(report.metersPerUnit) >= 0) {
            // A length unit the dialog does not offer: its own size, exactly.
            unitIndex = -1;
            units = ExactUnits(report.metersPerUnit, FamilyOf(report.unitSystem));
            out.unitFromFile = 1;
        } else {
            CString text;
            text.Format(L"The file's unit system is \"%s\", which the import does not offer: its "
                        L"coordinates are taken to be in %s.",
                        static_cast<LPCWSTR>(FileUnitText(report.unitSystem, report.metersPerUnit)),
                        unitIndex >= 0 && unitIndex <= 4 ? kUnitNames[unitIndex]
                                                         : L"the host's own unit, unscaled");
            feedback.Warning(caption, text);
        }
    }
    out.unitIndex = unitIndex;
    out.unitFactor = units.factor;
    out.documentUnit = units.documentUnit;

    // Files keep lines and arcs as NURBS curves exact to their own tolerance.
    RecognitionTolerance tolerance(report.absoluteTolerance);
    ResetConversionCounts();
    struct CountsOut {
        ImportOutcome& out;
        ~CountsOut() { out.counts = GetConversionCounts(); }
    } countsOut{out};

    // Points and B-reps go with the curves: a file without curves still has them.
    int result = 1;
    if (objects.points.Count() > 0 || objects.curves.Count() > 0 || objects.breps.Count() > 0) {
        step = kImportCurves;
        out.curvesConverted = 1;
        if (!ConvertCurves(host, options.curveMode, units, &objects.points, &objects.curves,
                           nullptr, &objects.breps, nullptr, 1)) {
            out.failedStep = kImportCurves;
            feedback.Error(caption, GetLastConversionError());
            // A curve mode that creates no document (a damaged stored value)
            // found none open: the meshes still get parts of their own.
            if (IsNewDocumentCurveMode(options.curveMode)) return 0;
            result = 0;
        }
    }
    if (objects.meshes.Count() > 0) {
        step = kImportMeshes;
        out.meshesConverted = 1;
        if (!ConvertMeshes(host, objects.meshes, units, options.meshMode, options.multibody,
                           options.progress)) {
            out.failedStep = kImportMeshes;
            feedback.Error(caption, GetLastConversionError());
            return 0;
        }
    }
    return result;
}

} // namespace

int RunImport(HostAppHandle host, const CString& path, const ImportOptions& options,
              ImportFeedback& feedback, ImportOutcome* outcome) {
    ImportOutcome local;
    ImportOutcome& out = outcome ? *outcome : local;
    int step = kImportReader;
    try {
        out = ImportOutcome();
        return ImportFile(host, path, options, feedback, out, step);
    } catch (const std::bad_alloc&) {
        // Unwinding has freed the containers and closed the progress window;
        // the documents built so far stay open in the host.
    }
    out.failedStep = step;
    out.outOfMemory = 1;
    try {
        CString text;
        text.Format(L"Not enough memory to import %s.", static_cast<LPCWSTR>(FileNameOf(path)));
        feedback.Error(CString(ProductTitle), text);
    } catch (const std::bad_alloc&) {
        // Not even the message fits: the result still says what happened.
    }
    return 0;
}
