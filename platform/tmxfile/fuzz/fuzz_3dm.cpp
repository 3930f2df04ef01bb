// libFuzzer target: any bytes go to the reader, which must answer with a
// result and, on failure, an error text; never a crash, a hang or a huge
// allocation.
#include "TMXFile.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ON_3dPointArray points;
    ON_ClassArray<ON_NurbsCurve> curves;
    ON_ClassArray<ON_Brep> breps;
    ON_ClassArray<ON_Mesh> meshes;
    TMXFileReader reader;
    const int ok = reader.ReadBuffer(data, size, "fuzz.3dm", points, curves, breps, meshes);
    if (!ok && (reader.GetError().empty() || points.Count() || curves.Count() || breps.Count() ||
                meshes.Count()))
        std::abort(); // a failure must explain itself and leave nothing behind
    return 0;
}
