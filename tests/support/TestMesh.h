// Meshes for tests, built from vertex positions and faces of three or four
// vertex indices.
#pragma once

#include "opennurbs.h"

#include <vector>

inline ON_Mesh TestMeshOf(const std::vector<ON_3dPoint>& vertices,
                          const std::vector<std::vector<int>>& faces) {
    ON_Mesh m;
    for (const ON_3dPoint& p : vertices)
        m.m_V.Append(ON_3fPoint(p));
    for (size_t i = 0; i < faces.size(); i++) {
        const auto& f = faces[i];
        if (f.size() == 3)
            m.SetTriangle(static_cast<int>(i), f[0], f[1], f[2]);
        else
            m.SetQuad(static_cast<int>(i), f[0], f[1], f[2], f[3]);
    }
    return m;
}
