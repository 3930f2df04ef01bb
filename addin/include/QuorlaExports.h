// The exports of Quorla.dll as a program that loads it sees them: the names
// to pass to GetProcAddress and the function types. C linkage, default C
// calling convention.
#pragma once

#include <windows.h>
#include <oaidl.h>

// The host hands over its application object and its reference to it;
// 1 on the first call, 0 when the add-in is already running.
typedef int (*QuorlaInitUserDLL3Fn)(IDispatch* host);
#define QUORLA_INIT_EXPORT "InitUserDLL3"

// The Import command, as the menu item Import runs it: Open File dialog,
// options dialog, import; 1 imported, 0 cancelled or failed (0 also when the
// add-in is not running).
typedef int (*QuorlaCommandFn)();
#define QUORLA_IMPORT_COMMAND_EXPORT "MyQuorla_Import"
#define QUORLA_HELP_COMMAND_EXPORT "MyQuorla_Help"
#define QUORLA_ABOUT_COMMAND_EXPORT "MyQuorla_About"

// Both names are one empty function, for hosts that call them.
typedef void (*QuorlaEmptyCallbackFn)();
#define QUORLA_MENUITEMCB_EXPORT "MenuItemCB"
#define QUORLA_SAVEASCB_EXPORT "SaveAsCB"

// Forms the product title for the host the add-in was started with, as every
// command does first, and copies it into `buffer` (`size` UTF-16 units with
// the terminating NUL). Returns the title's length; -1 when the add-in is not
// running or the buffer is too small (then `buffer` gets an empty text).
typedef int (*QuorlaProductTitleFn)(wchar_t* buffer, int size);
#define QUORLA_PRODUCTTITLE_EXPORT "QuorlaProductTitle"

// The module in which the framework finds resource `name` of `type` while
// the add-in runs a command (under its own module state, through the
// resource chain): Quorla.dll for its own dialogs and strings.
typedef HINSTANCE (*QuorlaFindResourceFn)(LPCWSTR name, LPCWSTR type);
#define QUORLA_FINDRESOURCE_EXPORT "QuorlaFindResource"

// One import, exactly as the Import command runs it after its two dialogs,
// for the command-line tool. The options dialog's values (-1: no selection);
// unitFromFile 1 takes the file's own unit: one of the five as its index,
// another length unit at its exact size in metres (documents in the nearest
// of the five), no unit at all as unitIndex with a warning.
// The options at first use: the options dialog's defaults when nothing is
// stored, and the command-line tool's.
enum {
    QUORLA_DEFAULT_CURVE_MODE = 0, // 3D sketch in a part
    QUORLA_DEFAULT_MESH_MODE = 0,  // solid bodies
    QUORLA_DEFAULT_MULTIBODY = 1,
    QUORLA_DEFAULT_UNIT_INDEX = 3, // inches
    QUORLA_DEFAULT_PROGRESS = 1
};

typedef struct QuorlaImportOptions {
    int curveMode; // 0 3D sketch in a part, 1 in an assembly, 2 drawing
    int meshMode;  // 0 solid bodies, 1 3D sketch lines
    int multibody; // 1: one part for all meshes
    int unitIndex; // 0 mm, 1 cm, 2 m, 3 in, 4 ft
    int progress;  // progress for the mesh conversion
    int unitFromFile;
} QuorlaImportOptions;

// What the Import command would show in a message box (severity 0, an error)
// or as a warning (severity 1): caption (the product title) and text.
typedef void (*QuorlaMessageFn)(void* context, int severity, const wchar_t* caption,
                                const wchar_t* text);
// The reader's objects by kind, in order of first appearance: read (skipped
// 0) or left out (skipped 1, with the reason). Texts are UTF-8.
typedef void (*QuorlaKindFn)(void* context, int skipped, const char* kind, int count,
                             const char* reason);
typedef struct QuorlaImportCallbacks {
    void* context;
    QuorlaMessageFn message; // null: the Import command's message boxes
    QuorlaKindFn kind;       // may be null
} QuorlaImportCallbacks;

// failedStep: 0 none, 1 reader, 2 curve conversion, 3 mesh conversion.
typedef struct QuorlaImportResult {
    int failedStep;
    int archiveVersion;
    int unitSystem; // the file's openNURBS unit code: 0 none, 2 mm, 3 cm, 4 m, 8 in, 9 ft, ...
    double metersPerUnit;
    double absoluteTolerance;
    int unitIndex; // the unit the import used, when one of the five (else -1)
    int unitFromFile;                             // 1 when that is the file's own
    int points, curves, breps, brepEdges, meshes; // what the reader gave the conversion
    int curvesConverted, meshesConverted;         // 1 when the conversion ran
    // Left out by the conversion: mesh faces of zero area, meshes left with no
    // face (no body made), entities and faces whose numbers overflowed when
    // scaled to metres.
    int zeroAreaFaces, meshesWithoutFaces, nonFinite;
    // Metres per unit of the coordinates as imported (exact for a file in
    // microns, yards or custom units, when unitFromFile), and the length unit
    // the documents got (0 mm ... 4 ft, -1 none).
    double unitFactor;
    int documentUnit;
    int outOfMemory; // 1 when the import ended for want of memory (failedStep: where)
    // The faces of the meshes read, and what became of those that reached no
    // body: mesh faces whose numbers overflowed (among nonFinite), refused
    // by the host one by one, or in a mesh or shell the host made no body
    // of; quadrangles that went as two triangles (one face more each).
    int meshFaces, nonFiniteFaces, refusedFaces, facesInNoBody, quadsSplit;
    // Meshes the host refused as one body, sent as shells: how many, their
    // non-manifold edges, faces turned to match their shell, and the solid
    // and sheet bodies made.
    int meshesSplit, nonManifoldEdges, reversedFaces, shellSolids, shellSheets;
    // Curves left out: of zero length or shorter than the file's tolerance.
    int shortCurves;
} QuorlaImportResult;

// Imports the file into new documents of the host given to InitUserDLL3.
// Returns 1 when the file was read and every conversion that ran succeeded,
// 0 otherwise (-1 when the add-in is not running or an argument is null);
// result may be null.
typedef int (*QuorlaImportFn)(const wchar_t* path, const QuorlaImportOptions* options,
                              const QuorlaImportCallbacks* callbacks, QuorlaImportResult* result);
#define QUORLA_IMPORT_EXPORT "QuorlaImport"
