// Turns one serialized openNURBS object (a class chunk) into the import's
// containers: points, NURBS curves, B-reps and meshes. Knows which classes it
// converts, which it leaves out and why.
#pragma once

#include "ChunkReader.h"
#include "opennurbs.h"

#include <memory>
#include <string>

namespace tmxfile {

// Where converted geometry goes.
struct Sink {
    ON_3dPointArray& points;
    ON_ClassArray<ON_NurbsCurve>& curves;
    ON_ClassArray<ON_Brep>& breps;
    ON_ClassArray<ON_Mesh>& meshes;
};

struct ObjectResult {
    enum class Outcome { Converted, Skipped, Reference, Null };
    Outcome outcome = Outcome::Null;
    std::string kind;   // counting name: "line", "B-rep", "SubD", ...
    std::string reason; // why a skipped object was left out
    Uuid definition;    // instance references: the block definition
    ON_Xform xform;     // instance references: block to world
};

// Reasons for leaving objects out, shared with the archive level.
extern const char* const kReasonCannotConvert;
extern const char* const kReasonViewAid;
// An object whose own numbers are unusable is left out, and the rest of the
// file read: a NaN or infinity where its shape is, an arc of zero radius, a
// curve or surface that has no NURBS form, a B-rep face without a surface.
extern const char* const kReasonNonFinite;
extern const char* const kReasonNoNurbsForm;
extern const char* const kReasonNoBrepForm;
extern const char* const kReasonFaceWithoutSurface;
extern const char* const kReasonEdgeWithoutCurve;

class ObjectDecoder {
public:
    ObjectDecoder(ChunkReader& r, unsigned openNurbsVersion) : r_(r), ov_(openNurbsVersion) {}

    // Reads the class chunk at the cursor and converts what it holds into out.
    bool ReadObject(Sink& out, ObjectResult& result);

    struct ClassInfo;

private:
    bool ReadObjectInto(Sink& out, ObjectResult& result);
    bool ReadClassHeader(Chunk& cls, const ClassInfo*& info, bool& isNull);
    bool FinishClass(ON_Mesh* mesh = nullptr);

    bool ReadPoint(ON_3dPoint& p);
    bool ReadPointCloud(ON_3dPointArray& pts);
    bool ReadLineCurve(ON_LineCurve& c);
    bool ReadArrow(ON_LineCurve& c);
    bool ReadArcCurve(ON_ArcCurve& c);
    bool ReadPolylineCurve(ON_PolylineCurve& c);
    bool ReadPolyCurveData(ON_PolyCurve& c, int depth);
    bool ReadNurbsCurve(ON_NurbsCurve& c);
    bool OpenClassOf(bool surface, int depth, int& type);
    bool ReadCurveFromClass(std::unique_ptr<ON_Curve>& curve, int depth);
    bool ReadCurveBody(int type, std::unique_ptr<ON_Curve>& c, int depth);
    bool ReadCurveData(int type, std::unique_ptr<ON_Curve>& c, int depth);
    bool EmitCurve(const ON_Curve& c, Sink& out, int depth);

    bool ReadNurbsSurface(ON_NurbsSurface& s);
    bool ReadPlaneSurface(ON_PlaneSurface& s);
    bool ReadRevSurface(ON_RevSurface& s, int depth);
    bool ReadSumSurface(ON_SumSurface& s, int depth);
    bool ReadSurfaceFromClass(std::unique_ptr<ON_Surface>& surface, int depth);
    bool ReadSurfaceBody(int type, std::unique_ptr<ON_Surface>& s, int depth);
    bool ReadSurfaceData(int type, std::unique_ptr<ON_Surface>& s, int depth);
    bool ReadSurfaceObject(int type, Sink& out);
    bool ReadExtrusionObject(Sink& out);
    bool ReadBrepObject(Sink& out);
    bool ReadBrep(ON_Brep& b);
    bool ReadLegacyBrep(ON_Brep& b, int minor);
    bool ReadBrepCurves(ON_CurveArray& curves, const char* what);
    bool ReadBrepSurfaces(ON_SurfaceArray& surfaces);
    bool ReadBrepElements(ON_Brep& b);
    bool CheckBrep(const ON_Brep& b);
    bool ReadMeshObject(Sink& out);
    bool ReadMesh(ON_Mesh& m);
    bool ReadMeshDoubleUserData(ON_Mesh& m);
    bool ReadInstanceRef(ObjectResult& result);

    // A compressed buffer of exactly `expected` bytes (or an empty one) into dst.
    bool CompressedCanHold(uint64_t size);
    bool ReadCompressed(void* dst, size_t expected, bool& present, const char* what);
    bool ReadXform(ON_Xform& x);
    bool ReadPoint3(ON_3dPoint& p);
    bool ReadInterval(ON_Interval& i);
    bool ReadPlane(ON_Plane& p);
    bool ReadBox();

    ChunkReader& r_;
    unsigned ov_;
    std::string unknown_;     // the class id last found unknown
    // Why the object being read is left out: a nested part of a class this
    // reader cannot convert (unsupported_), or one of the reasons above
    // (leftOut_). The object is still read to its end.
    bool Unusable() const { return !unsupported_.empty() || !leftOut_.empty(); }
    std::string LeftOutReason() const {
        return unsupported_.empty() ? leftOut_ : "it holds " + unsupported_;
    }
    void LeaveOut(const char* reason) {
        if (leftOut_.empty()) leftOut_ = reason;
    }
    std::string unsupported_;
    std::string leftOut_;
    ON_Mesh* mesh_ = nullptr; // the mesh being read, for its user data
};

} // namespace tmxfile
