// Geometry conversion: turns the reader's openNURBS objects into host
// documents and entities through the host operations of Host.h.
//
// Entry points: ConvertCurves (points, curves, surfaces, B-reps and mesh
// edges into a 3D sketch of a new part or assembly, or into a new drawing)
// and ConvertMeshes (meshes into solid bodies or sketch lines of new parts).
// The stages they run are public too, for the command-line import and the
// tests. Every coordinate and radius handed to the host is multiplied by
// UnitFactor (file unit to metres); knots, angles and normals are not.
//
// Every stage builds its TMXProgress window object in every case; only with
// progress on is it opened, stepped once per item and closed.
//
// No number that is not finite is sent to the host: an entity or face whose
// numbers overflow when scaled is left out and counted (ConversionCounts).
//
// Results: 1 (nonzero) success, 0 failure with the text in
// LastConversionError.
#pragma once

#include "Host.h"
#include "opennurbs.h"

#include <framework.h>

// Options as the options dialog stores them; -1 means no selection.
enum ConvertCurveMode { kCurvesInPart = 0, kCurvesInAssembly = 1, kCurvesInDrawing = 2 };
enum ConvertMeshMode { kMeshAsSolid = 0, kMeshAsSketch = 1 };

// File unit to metres by unit index: 0 mm 0.001, 1 cm 0.01, 2 m 1.0,
// 3 in 0.0254, 4 ft 12 * 0.0254 (0.30479999999999996); anything else 1.0.
double UnitFactor(int unitIndex);

// How lengths reach the host: the factor every coordinate and radius is
// multiplied by, and the length unit the documents get (a unit index, or -1
// for none: DocSetLengthUnit is not called).
struct ConvertUnits {
    int documentUnit = -1;
    double factor = 1.0;
};
// The options dialog's units: the index is both the document unit and the
// factor's (UnitFactor).
ConvertUnits UnitsOfIndex(int unitIndex);
// Which of the five units a document may be shown in: those of the file
// unit's own system (a decimetre is nearer to the foot than to the metre,
// but a metric file stays metric), or any.
enum UnitSystemFamily { kAnySystem, kMetric, kImperial };
// Of the five units of the family (millimetres, centimetres and metres;
// inches and feet; or all five), the one nearest to a unit of metersPerUnit
// by ratio; of two as near, the smaller (a decimetre is shown in
// centimetres). -1 when metersPerUnit is not a finite number above 0.
int NearestUnitIndex(double metersPerUnit, UnitSystemFamily family = kAnySystem);
// A unit of exactly `metersPerUnit`, shown in the nearest unit of its family.
ConvertUnits ExactUnits(double metersPerUnit, UnitSystemFamily family = kAnySystem);

// The module-wide text of the last conversion failure: empty at load, never
// cleared, overwritten by each failure.
void SetLastConversionError(const CString& text);
CString GetLastConversionError();

// What the conversions left out since the last ResetConversionCounts (the
// import run resets them per file): module-wide, like LastConversionError.
struct ConversionCounts {
    int zeroAreaFaces = 0;      // mesh faces of zero area, not sent for their body
    int meshesWithoutFaces = 0; // meshes whose every face was left out: no body made
    int nonFinite = 0;          // entities and faces whose numbers overflowed when scaled
    int nonFiniteFaces = 0;     // the mesh faces among them
    int quadsSplit = 0;         // non-planar quadrangles sent as two triangles
    int refusedFaces = 0;       // mesh faces the host would not add to their body
    int facesInNoBody = 0;      // mesh faces of a mesh or shell the host made no body of
    // Meshes the host refused as one body, sent as shells (MeshShells.h):
    // how many, their non-manifold edges, faces turned to match their
    // shell, and the bodies made of the shells.
    int meshesSplit = 0, nonManifoldEdges = 0, reversedFaces = 0;
    int shellSolids = 0, shellSheets = 0;
    int shortCurves = 0;        // curves of zero length or shorter than the file's tolerance
};
void ResetConversionCounts();
ConversionCounts GetConversionCounts();

// Creates the document that curveMode asks for (0 part, 1 assembly,
// 2 drawing; any other value: the active document, no 3D sketch), sets its
// length unit, opens a 3D sketch for modes 0 and 1 and runs the stages for
// each collection present (null: absent), in the order points, curves,
// surfaces, B-reps, meshes. Returns 1; 0 with LastConversionError set when
// the host gives no document (nothing is converted then).
int ConvertCurves(HostAppHandle app, int curveMode, int unitIndex, const ON_3dPointArray* points,
                  const ON_ClassArray<ON_NurbsCurve>* curves,
                  const ON_ClassArray<ON_NurbsSurface>* surfaces,
                  const ON_ClassArray<ON_Brep>* breps, const ON_ClassArray<ON_Mesh>* meshes,
                  int progress);
// The same with the units given as such (a file in microns, yards, ...).
int ConvertCurves(HostAppHandle app, int curveMode, const ConvertUnits& units,
                  const ON_3dPointArray* points, const ON_ClassArray<ON_NurbsCurve>* curves,
                  const ON_ClassArray<ON_NurbsSurface>* surfaces,
                  const ON_ClassArray<ON_Brep>* breps, const ON_ClassArray<ON_Mesh>* meshes,
                  int progress);

// Meshes into new part documents: with multibody 0 one part per mesh, with
// 1 one part for all. meshMode 0: a solid body per mesh, built from a
// private copy whose non-planar quads were split (the array is not changed);
// 1: sketch lines along the mesh edges in a 3D sketch; any other value:
// the parts are prepared and nothing is converted. Every mesh is tried: one
// that fails ends nothing. Returns 1; 0 when any mesh failed (its part or
// body could not be made), with LastConversionError set to the first
// failure's text followed by how many failed and which, by position in the
// array from 1 ("... 2 of 23 meshes could not be made into bodies: 1, 4."),
// or when the one part for all meshes could not be made.
int ConvertMeshes(HostAppHandle app, const ON_ClassArray<ON_Mesh>& meshes, int unitIndex,
                  int meshMode, int multibody, int progress);
int ConvertMeshes(HostAppHandle app, const ON_ClassArray<ON_Mesh>& meshes,
                  const ConvertUnits& units, int meshMode, int multibody, int progress);

// Stages. Each returns 1 except MeshToSolidBody (0 on failure, with
// LastConversionError set). Progress titles: "Creating points", "Creating
// curves", "Creating surface curves", "Creating brep curves", "Creating
// meshes", "Creating solid", "Creating mesh".
int ConvertPoints(HostDocHandle doc, const ON_3dPointArray& points, double unitFactor,
                  int progress);
// Per curve: a line, else an arc or circle (natively only in the world XY
// plane), else a chain of lines, else a spline.
int ConvertCurveArray(HostDocHandle doc, const ON_ClassArray<ON_NurbsCurve>& curves,
                      double unitFactor, int progress);
// Iso-curves at equal parameter steps: n + 1 curves of constant v, then
// m + 1 of constant u, for m x n control points.
int ConvertSurfaceCurves(HostDocHandle doc, const ON_ClassArray<ON_NurbsSurface>& surfaces,
                         double unitFactor, int progress);
// One curve per B-rep edge.
int ConvertBrepCurves(HostDocHandle doc, const ON_ClassArray<ON_Brep>& breps, double unitFactor,
                      int progress);
// MeshToSketchLines for each mesh, with one progress step per mesh.
int ConvertMeshLines(HostDocHandle doc, const ON_ClassArray<ON_Mesh>& meshes, double unitFactor,
                     int progress);
// One planar face per mesh face (triangles and quadrangles), then the body
// from all of them. part: the part side of the document. Faces of zero area
// (repeated or collinear corners: height over the longest side, or distance
// between two corners, at most 1e-8 of the size of the mesh's used
// vertices) are left out and counted; when that (or numbers overflowing)
// leaves none of a mesh's faces, no body is made, the mesh is counted, and
// the result is 1. A mesh without faces in the file still asks the host.
// A face's normal is that of its first three corners, unless that points
// against the winding of the whole face (a concave quadrangle whose first
// three corners hold its reflex corner) or is zero: then the face's own
// (Newell's) normal. A mesh the host refuses as one body goes again as
// shells, a body each (MeshShells.h); 0 when the host refuses one of them
// too (its faces counted in facesInNoBody).
int MeshToSolidBody(HostPartHandle part, const ON_Mesh& mesh, double unitFactor, int progress);
// One line per topological edge of the mesh.
int MeshToSketchLines(HostDocHandle doc, const ON_Mesh& mesh, double unitFactor, int progress);

// The file's absolute tolerance for the curve tests (line, arc, polyline)
// while the object lives: files store exact lines and arcs as NURBS curves
// that are exact only to that tolerance. A value <= 0 or not finite changes
// nothing (normally the tests' relative default stays). The previous setting
// comes back on destruction.
class RecognitionTolerance {
public:
    explicit RecognitionTolerance(double fileAbsoluteTolerance);
    ~RecognitionTolerance();
    RecognitionTolerance(const RecognitionTolerance&) = delete;
    RecognitionTolerance& operator=(const RecognitionTolerance&) = delete;

private:
    double previous_;
};
