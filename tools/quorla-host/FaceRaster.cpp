#include "FaceRaster.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorlahost {

namespace {
// Faces whose picture spans less than this many pixels each way are drawn
// as one pixel.
const float kDotSize = 1.5f;
} // namespace

using cadhost::Body;
using cadhost::Face;

void FaceRaster::Begin(std::uint32_t* pixels, int width, int height, std::uint32_t background) {
    pixels_ = pixels;
    width_ = std::max(0, width);
    height_ = std::max(0, height);
    const std::size_t n = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    std::fill(pixels_, pixels_ + n, background);
    depth_.assign(n, -std::numeric_limits<float>::infinity());
}

// Pixels whose centres lie inside the triangle (both windings), with depth
// interpolated across it.
void FaceRaster::Triangle(const float* a, const float* b, const float* c, std::uint32_t colour) {
    const float area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    if (area == 0 || !std::isfinite(area)) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({a[0], b[0], c[0]}))));
    const int x1 = std::min(width_ - 1, static_cast<int>(std::ceil(std::max({a[0], b[0], c[0]}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({a[1], b[1], c[1]}))));
    const int y1 = std::min(height_ - 1, static_cast<int>(std::ceil(std::max({a[1], b[1], c[1]}))));
    const float inv = 1.0f / area;
    for (int y = y0; y <= y1; y++) {
        const float py = y + 0.5f;
        std::uint32_t* row = pixels_ + static_cast<std::size_t>(y) * width_;
        float* zrow = depth_.data() + static_cast<std::size_t>(y) * width_;
        for (int x = x0; x <= x1; x++) {
            const float px = x + 0.5f;
            const float w0 = ((b[0] - px) * (c[1] - py) - (b[1] - py) * (c[0] - px)) * inv;
            const float w1 = ((c[0] - px) * (a[1] - py) - (c[1] - py) * (a[0] - px)) * inv;
            const float w2 = 1.0f - w0 - w1;
            if (w0 < 0 || w1 < 0 || w2 < 0) continue;
            const float z = w0 * a[2] + w1 * b[2] + w2 * c[2];
            if (z > zrow[x]) {
                zrow[x] = z;
                row[x] = colour;
            }
        }
    }
}

RasterStats FaceRaster::Draw(const cadhost::DocumentModel& doc, const docview::Projection& view,
                             const docview::ScreenMap& map) {
    RasterStats stats;
    const float w = static_cast<float>(width_), h = static_cast<float>(height_);
    // Model metres straight to pixels and depth: x = ox + (r.p - cu) scale,
    // y = oy - (up.p - cw) scale, one row of three products each.
    const cadhost::Vec3 r = view.Right(), up = view.Up(), d = view.Toward();
    const double sx[4] = {r.x * map.scale, r.y * map.scale, r.z * map.scale, map.ox - map.cu * map.scale};
    const double sy[4] = {-up.x * map.scale, -up.y * map.scale, -up.z * map.scale,
                          map.oy + map.cw * map.scale};
    for (const Body& body : doc.bodies) {
        stats.faces += body.faces.size();
        for (const Face& f : body.faces) {
            if (f.count < 3 || f.count > 4) continue;
            float p[4][3];
            float xmin = 1e30f, xmax = -1e30f, ymin = 1e30f, ymax = -1e30f;
            for (int i = 0; i < f.count; i++) {
                const double* c = f.corners + 3 * i;
                p[i][0] = static_cast<float>(sx[0] * c[0] + sx[1] * c[1] + sx[2] * c[2] + sx[3]);
                p[i][1] = static_cast<float>(sy[0] * c[0] + sy[1] * c[1] + sy[2] * c[2] + sy[3]);
                p[i][2] = static_cast<float>(d.x * c[0] + d.y * c[1] + d.z * c[2]);
                xmin = std::min(xmin, p[i][0]);
                xmax = std::max(xmax, p[i][0]);
                ymin = std::min(ymin, p[i][1]);
                ymax = std::max(ymax, p[i][1]);
            }
            // Off the picture (a face with a non-finite corner fails too).
            if (!(xmax >= 0 && xmin < w && ymax >= 0 && ymin < h)) {
                stats.culled++;
                continue;
            }
            stats.drawn++;
            if (xmax - xmin < kDotSize && ymax - ymin < kDotSize) {
                // About a pixel: the pixel of its centre, a depth test
                // instead of a triangle set-up. Neighbours this small fill
                // the pixels between their centres but for the odd pinhole.
                const int x = static_cast<int>((xmin + xmax) * 0.5f);
                const int y = static_cast<int>((ymin + ymax) * 0.5f);
                if (x < 0 || y < 0 || x >= width_ || y >= height_) continue;
                const std::size_t at = static_cast<std::size_t>(y) * width_ + x;
                const float z = (p[0][2] + p[1][2] + p[2][2]) * (1.0f / 3);
                stats.dots++;
                if (z > depth_[at]) {
                    depth_[at] = z;
                    pixels_[at] = docview::FaceColour(view.Shade(f.normal));
                }
                continue;
            }
            const std::uint32_t colour = docview::FaceColour(view.Shade(f.normal));
            Triangle(p[0], p[1], p[2], colour);
            if (f.count == 4) Triangle(p[0], p[2], p[3], colour);
        }
    }
    return stats;
}

} // namespace quorlahost
