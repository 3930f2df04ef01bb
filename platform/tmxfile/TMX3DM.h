// The reader's Windows entry point, as the import calls it: a path in the
// framework's string, the four containers, nonzero on success, and the error
// text of the last failure. A thin layer over TMXFileReader (TMXFile.h);
// nothing is thrown out of it.
#pragma once

#include "TMXFile.h"
#include "framework.h"

class TMX3DM {
public:
    // Reads the .3dm file at path into the containers (appending); returns 1
    // on success, 0 on failure, when the containers hold what they held before.
    static int _3DMToObjects(CString path, ON_3dPointArray& points,
                             ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                             ON_ClassArray<ON_Mesh>& meshes);
    // The text for the last failure; empty after a success.
    static CString GetError();
    // Nonzero when the last failure was for want of memory.
    static int OutOfMemory();

    // About the last file read successfully.
    static int GetUnitSystem(); // openNURBS unit code: 0 none, 2 mm, 3 cm, 4 m, 8 in, 9 ft, ...
    static double GetAbsoluteTolerance();
    static int GetReadCount(const char* kind);    // objects of the file of that kind
    static int GetSkippedCount(const char* kind); // objects of that kind left out
    static const TMXFileReport& GetReport();      // all kinds, with the reasons for skipping
};
