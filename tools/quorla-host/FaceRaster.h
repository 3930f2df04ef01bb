// The body faces of a document drawn into a pixel buffer with a depth
// buffer, so that a view of a million faces takes one pass over them: faces
// off the picture are skipped, a face of about one pixel sets that pixel, and
// the nearest face wins wherever faces overlap. GDI then draws the sketch
// entities over the buffer and puts it on screen.
#pragma once

#include "CadHostModel.h"
#include "Projection.h"

#include <cstdint>
#include <vector>

namespace quorlahost {

struct RasterStats {
    std::size_t faces = 0;   // faces of the document
    std::size_t drawn = 0;   // faces that reached the picture
    std::size_t culled = 0;  // faces off the picture
    std::size_t dots = 0;    // faces of about a pixel, drawn as one
};

class FaceRaster {
public:
    // pixels: width * height values 0x00RRGGBB, rows top to bottom, as a
    // 32-bit top-down DIB holds them; the caller owns them.
    void Begin(std::uint32_t* pixels, int width, int height, std::uint32_t background);
    RasterStats Draw(const cadhost::DocumentModel& doc, const docview::Projection& view,
                     const docview::ScreenMap& map);

private:
    void Triangle(const float* a, const float* b, const float* c, std::uint32_t colour);

    std::uint32_t* pixels_ = nullptr;
    int width_ = 0, height_ = 0;
    std::vector<float> depth_; // toward the viewer; larger is nearer
};

} // namespace quorlahost
