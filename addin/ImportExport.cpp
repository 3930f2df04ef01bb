// QuorlaImport: the import run for programs that load the add-in (the
// command-line tool), with its messages handed to the caller.
#include "AddinObject.h"
#include "ImportRun.h"
#include "ProductTitle.h"
#include "QuorlaExports.h"

#include <new>

namespace {

// The caller's callbacks as the run's feedback; without a message callback
// the messages go to the Import command's message boxes.
class CallbackFeedback : public ImportFeedback {
public:
    explicit CallbackFeedback(const QuorlaImportCallbacks* callbacks) : callbacks_(callbacks) {}

    void Error(const CString& caption, const CString& text) override { Send(0, caption, text); }
    void Warning(const CString& caption, const CString& text) override { Send(1, caption, text); }

private:
    void Send(int severity, const CString& caption, const CString& text) {
        if (callbacks_ && callbacks_->message)
            callbacks_->message(callbacks_->context, severity, caption, text);
        else if (severity == 0)
            boxes_.Error(caption, text);
        else
            boxes_.Warning(caption, text);
    }

    const QuorlaImportCallbacks* callbacks_;
    MessageBoxFeedback boxes_;
};

int Import(const wchar_t* path, const QuorlaImportOptions* options,
           const QuorlaImportCallbacks* callbacks, QuorlaImportResult* result) {
    FormProductTitle(TheAddin->Host());

    ImportOptions run;
    run.curveMode = options->curveMode;
    run.meshMode = options->meshMode;
    run.multibody = options->multibody;
    run.unitIndex = options->unitIndex;
    run.progress = options->progress;
    run.unitFromFile = options->unitFromFile;

    CallbackFeedback feedback(callbacks);
    ImportOutcome outcome;
    int ok = RunImport(TheAddin->Host(), CString(path), run, feedback, &outcome);

    if (callbacks && callbacks->kind) {
        for (const ImportKindCount& k : outcome.read)
            callbacks->kind(callbacks->context, 0, k.kind.c_str(), k.count, "");
        for (const ImportKindCount& k : outcome.skipped)
            callbacks->kind(callbacks->context, 1, k.kind.c_str(), k.count, k.reason.c_str());
    }
    if (result) {
        result->failedStep = outcome.failedStep;
        result->archiveVersion = outcome.archiveVersion;
        result->unitSystem = outcome.unitSystem;
        result->metersPerUnit = outcome.metersPerUnit;
        result->absoluteTolerance = outcome.absoluteTolerance;
        result->unitIndex = outcome.unitIndex;
        result->unitFromFile = outcome.unitFromFile;
        result->points = outcome.points;
        result->curves = outcome.curves;
        result->breps = outcome.breps;
        result->brepEdges = outcome.brepEdges;
        result->meshes = outcome.meshes;
        result->curvesConverted = outcome.curvesConverted;
        result->meshesConverted = outcome.meshesConverted;
        const ConversionCounts& c = outcome.counts;
        result->zeroAreaFaces = c.zeroAreaFaces;
        result->meshesWithoutFaces = c.meshesWithoutFaces;
        result->nonFinite = c.nonFinite;
        result->unitFactor = outcome.unitFactor;
        result->documentUnit = outcome.documentUnit;
        result->outOfMemory = outcome.outOfMemory;
        result->meshFaces = outcome.meshFaces;
        result->nonFiniteFaces = c.nonFiniteFaces;
        result->refusedFaces = c.refusedFaces;
        result->facesInNoBody = c.facesInNoBody;
        result->quadsSplit = c.quadsSplit;
        result->meshesSplit = c.meshesSplit;
        result->nonManifoldEdges = c.nonManifoldEdges;
        result->reversedFaces = c.reversedFaces;
        result->shellSolids = c.shellSolids;
        result->shellSheets = c.shellSheets;
        result->shortCurves = c.shortCurves;
    }
    return ok;
}

} // namespace

extern "C" int QuorlaImport(const wchar_t* path, const QuorlaImportOptions* options,
                            const QuorlaImportCallbacks* callbacks, QuorlaImportResult* result) {
    AFX_MANAGE_STATE(AfxGetStaticModuleState());
    if (result) *result = QuorlaImportResult{};
    if (!TheAddin || !path || !options) return -1;
    try {
        return Import(path, options, callbacks, result);
    } catch (const std::bad_alloc&) {
        // The run reports running out of memory itself; this is the last guard.
        if (result) result->outOfMemory = 1;
    } catch (...) {
    }
    return 0; // nothing may be thrown into the caller
}
