// The view of one host document in its window: the body faces (FaceRaster)
// with the sketch entities, points and axes drawn over them by GDI, seen
// from a turntable camera. Drag with the left button to turn, with the
// right or middle button (or Shift and the left) to pan; the wheel zooms
// about the pointer; a double click or F fits the document, I goes back to
// the isometric view.
#pragma once

#include "CadHost.h"
#include "FaceRaster.h"
#include "Projection.h"

#include <windows.h>

#include <vector>

namespace quorlahost {

class DocumentView {
public:
    static const wchar_t* const kClassName;
    static bool Register(HINSTANCE instance);
    // A child window showing document `id` of host.
    static HWND Create(HWND parent, const cadhost::Host& host, int id);
    static DocumentView* From(HWND hwnd);

    HWND Window() const { return hwnd_; }
    int DocumentId() const { return id_; }

    void Fit();       // the whole document in the window, keeping the direction
    void Isometric(); // the isometric direction, fitted
    // Turns the camera to azimuth and elevation (radians), keeping its centre.
    void Turn(double azimuth, double elevation);
    void Zoom(double factor, int x, int y); // about the client point (x, y)
    void Pan(int dx, int dy);               // by pixels
    const docview::Projection& Projection() const { return view_; }
    docview::ScreenMap Map() const; // model to client pixels
    // Where a model point appears in the client area.
    POINT ClientPoint(const cadhost::Vec3& p) const;
    // Draws everything into dc at the client size; what WM_PAINT and
    // WM_PRINTCLIENT both do. The result of the face pass is kept.
    void Render(HDC dc);
    const RasterStats& LastStats() const { return stats_; }

    static constexpr COLORREF kBackground = RGB(246, 247, 249);

private:
    DocumentView(HWND hwnd, const cadhost::Host& host, int id);
    ~DocumentView();
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT Handle(UINT msg, WPARAM wp, LPARAM lp);
    const cadhost::DocumentModel& Doc() const { return host_.Document(id_); }
    void Sample();
    void DrawEntities(HDC dc, std::uint32_t* pixels, int width, int height);
    void DrawAxes(HDC dc, int height);
    bool EnsureBuffer(HDC dc, int width, int height);

    HWND hwnd_;
    const cadhost::Host& host_;
    int id_;
    docview::Projection view_ = docview::Projection::Isometric();
    cadhost::Vec3 centre_{};  // the model point at the middle of the window
    double scale_ = 1000.0;   // pixels per metre
    bool fitted_ = false;     // fitted once the window had a size
    bool moved_ = false;      // turned, zoomed or panned since the last fit
    // Curves sampled once; lines and points are read from the document.
    std::vector<cadhost::Vec3> samples_;
    std::vector<std::size_t> sampleStart_; // per entity, its first sample (lines, points: unused)
    FaceRaster raster_;
    RasterStats stats_;
    HBITMAP buffer_ = nullptr;
    std::uint32_t* bits_ = nullptr;
    int bufferWidth_ = 0, bufferHeight_ = 0;
    POINT drag_{};
    int dragMode_ = 0; // 0 none, 1 turn, 2 pan
};

} // namespace quorlahost
