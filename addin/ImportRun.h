// The import run: what the Import command does once its two dialogs have
// given a file and the options (reader, curve conversion, mesh conversion,
// messages, freeing). The Import command and the command-line tool (through
// the QuorlaImport export) both call RunImport, so both import alike.
#pragma once

#include <framework.h>

#include "Convert.h"
#include "Host.h"
#include "QuorlaExports.h"

#include <string>
#include <vector>

// The options dialog's five values (-1: no selection), plus one the dialog
// does not have: unitFromFile 1 takes the file's own unit. One of the five
// units is used as the dialog would; any other length unit the file names
// (microns, yards, custom units of so many metres, ...) scales by its exact
// metres per unit, with documents in the nearest of the five; a file without
// a unit ("none", unset) falls back to unitIndex with a warning.
struct ImportOptions {
    int curveMode = QUORLA_DEFAULT_CURVE_MODE;
    int meshMode = QUORLA_DEFAULT_MESH_MODE;
    int multibody = QUORLA_DEFAULT_MULTIBODY;
    int unitIndex = QUORLA_DEFAULT_UNIT_INDEX;
    int progress = QUORLA_DEFAULT_PROGRESS;
    int unitFromFile = 0;
};

// How the run reports. The Import command shows message boxes and the wait
// cursor; the command-line tool writes to standard error instead.
class ImportFeedback {
public:
    virtual ~ImportFeedback() = default;
    // A failure, as the command's message box shows it: caption and text.
    virtual void Error(const CString& caption, const CString& text) = 0;
    // Something the user should know although the import goes on.
    virtual void Warning(const CString& caption, const CString& text) = 0;
    virtual void BeginWait() {}
    virtual void EndWait() {}
};

// Message boxes owned by the framework's main window (OK, warning icon) and
// the framework's wait cursor: the Import command's feedback.
class MessageBoxFeedback : public ImportFeedback {
public:
    void Error(const CString& caption, const CString& text) override;
    void Warning(const CString& caption, const CString& text) override;
    void BeginWait() override;
    void EndWait() override;
};

enum ImportStep { kImportDone = 0, kImportReader = 1, kImportCurves = 2, kImportMeshes = 3 };

struct ImportKindCount {
    std::string kind;
    int count = 0;
    std::string reason; // why a skipped kind was left out
};

// What one run found and did, for callers that report it.
struct ImportOutcome {
    int failedStep = kImportDone;
    int archiveVersion = 0;
    int unitSystem = 0; // the file's openNURBS unit code
    double metersPerUnit = 0.0;
    double absoluteTolerance = 0.0;
    int unitIndex = -1;   // the unit the run used, when one of the five; else -1
    int unitFromFile = 0; // 1 when that is the file's own unit
    double unitFactor = 1.0; // metres per unit of the coordinates, as used
    int documentUnit = -1;   // the length unit the documents got (-1: none set)
    int points = 0, curves = 0, breps = 0, brepEdges = 0, meshes = 0; // read into the containers
    int curvesConverted = 0, meshesConverted = 0; // 1 when ConvertCurves / ConvertMeshes ran
    std::vector<ImportKindCount> read, skipped;   // the reader's objects by kind
    int meshFaces = 0; // the faces of the meshes read
    // What the conversions counted: left out (faces of zero area, meshes
    // left with none, numbers that overflow, short curves, ...) and meshes
    // sent as shells.
    ConversionCounts counts;
    int outOfMemory = 0; // 1 when the run ended for want of memory (failedStep: where)
};

// Whether a curve mode makes a new document (0 part, 1 assembly, 2 drawing);
// any other puts the curves into the active document.
bool IsNewDocumentCurveMode(int curveMode);

// The unit index of an openNURBS unit code, -1 for a unit the import does not
// offer (none, microns, kilometres, custom, ...).
int UnitIndexOfFileUnit(int unitSystem);

// The name of a file's unit for messages and reports: "microns", "yards",
// "custom units of 0.25 m", "none", ...
CString FileUnitText(int unitSystem, double metersPerUnit);

// Imports the .3dm file at path into new documents of host. Messages are
// captioned with ProductTitle, which the caller has formed. Returns 1 when the
// file was read and every conversion that ran succeeded, else 0; documents
// built before a failure stay in the host. outcome may be null. Running out
// of memory anywhere ends the run with "Not enough memory to import <file>."
// as an error of the feedback and 0; nothing is thrown.
int RunImport(HostAppHandle host, const CString& path, const ImportOptions& options,
              ImportFeedback& feedback, ImportOutcome* outcome);
