#include "TMX3DM.h"

#include <new>
#include <string>

namespace {

TMXFileReader& Reader() {
    static TMXFileReader reader;
    return reader;
}

bool s_outOfMemory = false; // the last call ran out of memory outside the reader

std::wstring FromUtf8(const std::string& s) {
    std::wstring out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const int n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = n == 1 ? c : n == 2 ? (c & 0x1F) : n == 3 ? (c & 0x0F) : (c & 0x07);
        for (int k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (s[i + k] & 0x3F);
        i += n;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<wchar_t>(cp);
        }
    }
    return out;
}

} // namespace

int TMX3DM::_3DMToObjects(CString path, ON_3dPointArray& points,
                          ON_ClassArray<ON_NurbsCurve>& curves, ON_ClassArray<ON_Brep>& breps,
                          ON_ClassArray<ON_Mesh>& meshes) {
    s_outOfMemory = false;
    try {
        const std::wstring wpath(path.GetString(), static_cast<size_t>(path.GetLength()));
        return Reader().ReadFile(wpath, points, curves, breps, meshes) ? 1 : 0;
    } catch (const std::bad_alloc&) {
        s_outOfMemory = true; // around the reader's own guard: the path, the file's mapping
        return 0;
    } catch (...) {
        return 0; // the core catches its own failures; this is the last guard
    }
}

CString TMX3DM::GetError() {
    try {
        return CString(FromUtf8(Reader().GetError()).c_str());
    } catch (...) {
        return CString();
    }
}

int TMX3DM::OutOfMemory() {
    return s_outOfMemory || Reader().OutOfMemory() ? 1 : 0;
}

int TMX3DM::GetUnitSystem() {
    return Reader().GetReport().unitSystem;
}
double TMX3DM::GetAbsoluteTolerance() {
    return Reader().GetReport().absoluteTolerance;
}
int TMX3DM::GetReadCount(const char* kind) {
    return kind ? Reader().GetReport().ReadCount(kind) : 0;
}
int TMX3DM::GetSkippedCount(const char* kind) {
    return kind ? Reader().GetReport().SkippedCount(kind) : 0;
}
const TMXFileReport& TMX3DM::GetReport() {
    return Reader().GetReport();
}
