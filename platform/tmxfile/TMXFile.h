// The portable .3dm reader: reads archive versions 2 to 8 from a path or a
// byte buffer into the four openNURBS containers the import works on, and
// tells for the last read what the file held, what became of it and why
// anything was left out. Builds natively and for Windows; no Windows headers.
#pragma once

#include "opennurbs.h"

#include <cstddef>
#include <string>
#include <vector>

// One kind of object with how many of it there were; reason says why a
// skipped kind was left out.
struct TMXFileKindCount {
    std::string kind;
    int count = 0;
    std::string reason;
};

struct TMXFileReport {
    int archiveVersion = 0;        // 2, 3, 4, 5, 50, 60, 70, 80
    unsigned openNurbsVersion = 0; // version number of the writing toolkit
    // The model unit system as the openNURBS unit code: 0 none, 1 microns,
    // 2 millimeters, 3 centimeters, 4 meters, 8 inches, 9 feet, 11 custom, ...
    // (255 when the file says "unset").
    int unitSystem = 2;
    double metersPerUnit = 0.001; // 1 for "none"; the file's value for custom units
    double absoluteTolerance = 0.001;
    int objectRecords = 0; // records in the object table, block members included
    int layers = 0;
    int instanceDefinitions = 0;
    // Objects of the file by kind ("point", "line", "arc", "NURBS curve", "polycurve",
    // "B-rep", "extrusion", "mesh", "instance reference", ...), in order of first
    // appearance. A block member is counted once, where it is stored.
    std::vector<TMXFileKindCount> read;
    // Objects left out, by kind and reason ("SubD", "annotation", "clipping
    // plane", "page-space object", ...): a kind left out for two reasons has
    // two entries.
    std::vector<TMXFileKindCount> skipped;
    // What reached the containers.
    int pointsOut = 0, curvesOut = 0, brepsOut = 0, meshesOut = 0;

    int ReadCount(const std::string& kind) const;    // 0 when the kind did not occur
    int SkippedCount(const std::string& kind) const; // 0 when nothing of the kind was skipped
    int SkippedTotal() const;
};

// The openNURBS length units a file can name, by their code: "microns",
// "millimeters", ... "parsecs", "custom units", "none"; "unset" for 255 and
// for any code the format does not have.
const char* TMXFileUnitName(int unitSystem);
// Metres per unit of a unit code; 0 for none, custom units and unset (the
// file's own value is in TMXFileReport::metersPerUnit).
double TMXFileMetersPerUnit(int unitSystem);

namespace tmxfile {
class FileMap;
}

class TMXFileReader {
public:
    // Reads the file at path (UTF-8). Returns 1 on success, 0 on failure with
    // GetError() naming the file, what is wrong and where. Geometry is appended
    // to the containers; after a failure they hold what they held before.
    int ReadFile(const std::string& path, ON_3dPointArray& points,
                 ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                 ON_ClassArray<ON_Mesh>& meshes);
#ifdef _WIN32
    int ReadFile(const std::wstring& path, ON_3dPointArray& points,
                 ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                 ON_ClassArray<ON_Mesh>& meshes);
#endif
    // Reads a file image already in memory; fileName names it in error texts.
    int ReadBuffer(const void* data, size_t size, const std::string& fileName,
                   ON_3dPointArray& points, ON_ClassArray<ON_NurbsCurve>& curves,
                   ON_ClassArray<ON_Brep>& breps, ON_ClassArray<ON_Mesh>& meshes);

    const std::string& GetError() const {
        return error_;
    } // empty after a success
    // Whether the last failure was for want of memory rather than the file's.
    bool OutOfMemory() const {
        return outOfMemory_;
    }
    const TMXFileReport& GetReport() const {
        return report_;
    }

private:
    int ReadMapped(const tmxfile::FileMap& map, const std::string& name, ON_3dPointArray& points,
                   ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                   ON_ClassArray<ON_Mesh>& meshes);
    // release, when given, is told of file bytes the reader is done with.
    int ReadImage(const void* data, size_t size, const std::string& fileName,
                  ON_3dPointArray& points, ON_ClassArray<ON_NurbsCurve>& curves,
                  ON_ClassArray<ON_Brep>& breps, ON_ClassArray<ON_Mesh>& meshes,
                  void (*release)(void*, const unsigned char*, size_t), void* context);

    std::string error_;
    bool outOfMemory_ = false;
    TMXFileReport report_;
};
