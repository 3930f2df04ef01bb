#include "DocumentView.h"

#include "EntitySampling.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>

namespace quorlahost {

using cadhost::DocumentModel;
using cadhost::Entity;
using cadhost::EntityKind;
using cadhost::Vec3;

namespace {

const int kMargin = 24;                    // pixels around a fitted document
const COLORREF kEntityColour = RGB(0xb3, 0x26, 0x1e);
const COLORREF kPointColour = RGB(0x1b, 0x5e, 0x20);
const double kTurnPerPixel = 0.01;         // radians
const std::size_t kBatch = 8192;           // points per PolyPolyline call

Vec3 Add(const Vec3& a, const Vec3& b, double k) {
    return {a.x + b.x * k, a.y + b.y * k, a.z + b.z * k};
}
double Dot(const Vec3& a, const Vec3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// Clips the segment to the rectangle [lo, hi] in both directions
// (Liang-Barsky); false when nothing of it is inside.
bool Clip(double& x0, double& y0, double& x1, double& y1, double lo, double hix, double hiy) {
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy}, q[4] = {x0 - lo, hix - x0, y0 - lo, hiy - y0};
    for (int i = 0; i < 4; i++) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double ex = x0 + t1 * dx, ey = y0 + t1 * dy;
    x0 += t0 * dx;
    y0 += t0 * dy;
    x1 = ex;
    y1 = ey;
    return std::isfinite(x0) && std::isfinite(y0) && std::isfinite(x1) && std::isfinite(y1);
}

// Segments for one PolyPolyline call, sent when the batch is full.
class Polylines {
public:
    explicit Polylines(HDC dc) : dc_(dc) {}
    ~Polylines() { Flush(); }
    void Segment(int x0, int y0, int x1, int y1) {
        if (!points_.empty() && points_.back().x == x0 && points_.back().y == y0 && open_) {
            points_.push_back({x1, y1});
            counts_.back()++;
        } else {
            points_.push_back({x0, y0});
            points_.push_back({x1, y1});
            counts_.push_back(2);
        }
        open_ = true;
        if (points_.size() >= kBatch) Flush();
    }
    void Break() { open_ = false; }
    void Flush() {
        if (!counts_.empty())
            PolyPolyline(dc_, points_.data(), counts_.data(), static_cast<DWORD>(counts_.size()));
        points_.clear();
        counts_.clear();
        open_ = false;
    }

private:
    HDC dc_;
    std::vector<POINT> points_;
    std::vector<DWORD> counts_;
    bool open_ = false;
};

} // namespace

const wchar_t* const DocumentView::kClassName = L"QuorlaHostDocumentView";

bool DocumentView::Register(HINSTANCE instance) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, kClassName, &wc)) return true;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_CROSS);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

struct ViewCreate {
    const cadhost::Host* host;
    int id;
};

HWND DocumentView::Create(HWND parent, const cadhost::Host& host, int id) {
    ViewCreate args{&host, id};
    return CreateWindowExW(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10,
                           parent, nullptr, GetModuleHandleW(nullptr), &args);
}

DocumentView* DocumentView::From(HWND hwnd) {
    return reinterpret_cast<DocumentView*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

DocumentView::DocumentView(HWND hwnd, const cadhost::Host& host, int id)
    : hwnd_(hwnd), host_(host), id_(id) {
    Sample();
}

DocumentView::~DocumentView() {
    if (buffer_) DeleteObject(buffer_);
}

void DocumentView::Sample() {
    const DocumentModel& doc = Doc();
    sampleStart_.assign(doc.entities.size(), 0);
    for (std::size_t i = 0; i < doc.entities.size(); i++) {
        const Entity& e = doc.entities[i];
        sampleStart_[i] = samples_.size();
        if (e.kind == EntityKind::Point || e.kind == EntityKind::Line) continue;
        const std::vector<Vec3> points = docview::SampleEntity(doc, e);
        samples_.insert(samples_.end(), points.begin(), points.end());
    }
}

docview::ScreenMap DocumentView::Map() const {
    RECT r{};
    GetClientRect(hwnd_, &r);
    docview::ScreenMap m;
    m.scale = scale_;
    m.cu = Dot(view_.Right(), centre_);
    m.cw = Dot(view_.Up(), centre_);
    m.ox = r.right / 2.0;
    m.oy = r.bottom / 2.0;
    return m;
}

POINT DocumentView::ClientPoint(const Vec3& p) const {
    const docview::ScreenMap m = Map();
    const docview::Projected q = view_.Project(p);
    return {static_cast<LONG>(std::floor(m.X(q))), static_cast<LONG>(std::floor(m.Y(q)))};
}

void DocumentView::Fit() {
    RECT r{};
    GetClientRect(hwnd_, &r);
    const int w = std::max(1, static_cast<int>(r.right) - 2 * kMargin);
    const int h = std::max(1, static_cast<int>(r.bottom) - 2 * kMargin);
    const docview::Bounds b = docview::DocumentBounds(Doc(), view_);
    const docview::ScreenMap m = docview::ScreenMap::Fit(b, kMargin, kMargin, w, h);
    scale_ = m.scale;
    const double dmid = b.Empty() ? 0.0 : (b.dmin + b.dmax) / 2;
    centre_ = Add(Add(Add(Vec3{}, view_.Right(), m.cu), view_.Up(), m.cw), view_.Toward(), dmid);
    fitted_ = r.right > 0 && r.bottom > 0;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void DocumentView::Isometric() {
    view_ = docview::Projection::Isometric();
    moved_ = false;
    Fit();
}

void DocumentView::Turn(double azimuth, double elevation) {
    moved_ = true;
    view_ = docview::Projection::FromAngles(azimuth, elevation);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void DocumentView::Zoom(double factor, int x, int y) {
    if (!(factor > 0) || !std::isfinite(factor)) return;
    const double next = scale_ * factor;
    if (!(next > 1e-9 && next < 1e15)) return;
    moved_ = true;
    const docview::ScreenMap m = Map();
    // The model point under (x, y) stays there.
    const double du = (x - m.ox) / scale_ - (x - m.ox) / next;
    const double dw = -(y - m.oy) / scale_ + (y - m.oy) / next;
    centre_ = Add(Add(centre_, view_.Right(), du), view_.Up(), dw);
    scale_ = next;
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void DocumentView::Pan(int dx, int dy) {
    moved_ = true;
    centre_ = Add(Add(centre_, view_.Right(), -dx / scale_), view_.Up(), dy / scale_);
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool DocumentView::EnsureBuffer(HDC dc, int width, int height) {
    if (buffer_ && width == bufferWidth_ && height == bufferHeight_) return true;
    if (buffer_) DeleteObject(buffer_);
    buffer_ = nullptr;
    bits_ = nullptr;
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    buffer_ = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!buffer_) return false;
    bits_ = static_cast<std::uint32_t*>(bits);
    bufferWidth_ = width;
    bufferHeight_ = height;
    return true;
}

void DocumentView::DrawEntities(HDC dc, std::uint32_t* pixels, int width, int height) {
    const DocumentModel& doc = Doc();
    const docview::ScreenMap m = Map();
    const double lo = -2, hix = width + 2, hiy = height + 2;
    const std::uint32_t dot = static_cast<std::uint32_t>(GetRValue(kEntityColour)) << 16 |
                              GetGValue(kEntityColour) << 8 | GetBValue(kEntityColour);
    HPEN pen = CreatePen(PS_SOLID, 1, kEntityColour);
    HGDIOBJ oldPen = SelectObject(dc, pen);
    std::vector<RECT> points;
    {
        Polylines lines(dc);
        auto segment = [&](const Vec3& a, const Vec3& b) {
            const docview::Projected qa = view_.Project(a), qb = view_.Project(b);
            double x0 = m.X(qa), y0 = m.Y(qa), x1 = m.X(qb), y1 = m.Y(qb);
            if (!Clip(x0, y0, x1, y1, lo, hix, hiy)) {
                lines.Break();
                return;
            }
            const int ix0 = static_cast<int>(std::floor(x0)), iy0 = static_cast<int>(std::floor(y0));
            const int ix1 = static_cast<int>(std::floor(x1)), iy1 = static_cast<int>(std::floor(y1));
            if (ix0 == ix1 && iy0 == iy1) {
                // Within one pixel: set it.
                if (ix0 >= 0 && iy0 >= 0 && ix0 < width && iy0 < height)
                    pixels[static_cast<std::size_t>(iy0) * width + ix0] = dot;
                return;
            }
            lines.Segment(ix0, iy0, ix1, iy1);
        };
        for (std::size_t i = 0; i < doc.entities.size(); i++) {
            const Entity& e = doc.entities[i];
            if (e.kind == EntityKind::Point) {
                const POINT p = ClientPoint(doc.At(e, 0));
                if (p.x >= -3 && p.y >= -3 && p.x < width + 3 && p.y < height + 3)
                    points.push_back({p.x - 2, p.y - 2, p.x + 3, p.y + 3});
                continue;
            }
            lines.Break();
            if (e.kind == EntityKind::Line) {
                segment(doc.At(e, 0), doc.At(e, 1));
                continue;
            }
            const std::size_t end = i + 1 < sampleStart_.size() ? sampleStart_[i + 1] : samples_.size();
            for (std::size_t k = sampleStart_[i]; k + 1 < end; k++)
                segment(samples_[k], samples_[k + 1]);
        }
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    if (!points.empty()) {
        HBRUSH brush = CreateSolidBrush(kPointColour);
        for (const RECT& r : points)
            FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
}

void DocumentView::DrawAxes(HDC dc, int height) {
    const int ax = 28, ay = height - 28, len = 20;
    const struct {
        Vec3 dir;
        const wchar_t* name;
        COLORREF colour;
    } axes[3] = {{{1, 0, 0}, L"x", RGB(0xc6, 0x28, 0x28)},
                 {{0, 1, 0}, L"y", RGB(0x2e, 0x7d, 0x32)},
                 {{0, 0, 1}, L"z", RGB(0x15, 0x65, 0xc0)}};
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    for (const auto& a : axes) {
        const docview::Projected q = view_.Project(a.dir);
        const int ex = ax + static_cast<int>(std::lround(q.u * len));
        const int ey = ay - static_cast<int>(std::lround(q.w * len));
        HPEN pen = CreatePen(PS_SOLID, 2, a.colour);
        HGDIOBJ old = SelectObject(dc, pen);
        MoveToEx(dc, ax, ay, nullptr);
        LineTo(dc, ex, ey);
        SelectObject(dc, old);
        DeleteObject(pen);
        SetTextColor(dc, a.colour);
        TextOutW(dc, ex + (ex - ax) / 3 - 3, ey + (ey - ay) / 3 - 7, a.name, 1);
    }
    SelectObject(dc, oldFont);
}

void DocumentView::Render(HDC target) {
    RECT r{};
    GetClientRect(hwnd_, &r);
    const int w = r.right, h = r.bottom;
    if (w <= 0 || h <= 0) return;
    if (!fitted_) Fit();
    HDC memory = CreateCompatibleDC(target);
    if (!memory) return;
    if (EnsureBuffer(memory, w, h)) {
        HGDIOBJ old = SelectObject(memory, buffer_);
        raster_.Begin(bits_, w, h,
                      static_cast<std::uint32_t>(GetRValue(kBackground)) << 16 |
                          GetGValue(kBackground) << 8 | GetBValue(kBackground));
        stats_ = raster_.Draw(Doc(), view_, Map());
        DrawEntities(memory, bits_, w, h);
        DrawAxes(memory, h);
        BitBlt(target, 0, 0, w, h, memory, 0, 0, SRCCOPY);
        SelectObject(memory, old);
    }
    DeleteDC(memory);
}

LRESULT CALLBACK DocumentView::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        const auto* args = static_cast<const ViewCreate*>(cs->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(new DocumentView(hwnd, *args->host, args->id)));
    }
    DocumentView* self = From(hwnd);
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        delete self;
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    return self->Handle(msg, wp, lp);
}

LRESULT DocumentView::Handle(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1; // Render covers every pixel
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd_, &ps);
        Render(dc);
        EndPaint(hwnd_, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Render(reinterpret_cast<HDC>(wp));
        return 0;
    case WM_SIZE:
        // Until the user moves it, the view keeps the document fitted.
        if (!moved_) Fit();
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        SetFocus(hwnd_);
        SetCapture(hwnd_);
        drag_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        dragMode_ = msg == WM_LBUTTONDOWN && !(wp & MK_SHIFT) ? 1 : 2;
        return 0;
    case WM_MOUSEMOVE:
        if (dragMode_ && GetCapture() == hwnd_) {
            const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const int dx = p.x - drag_.x, dy = p.y - drag_.y;
            drag_ = p;
            if (dragMode_ == 1)
                Turn(view_.Azimuth() - dx * kTurnPerPixel, view_.Elevation() + dy * kTurnPerPixel);
            else
                Pan(dx, dy);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        dragMode_ = 0;
        if (GetCapture() == hwnd_) ReleaseCapture();
        return 0;
    case WM_CAPTURECHANGED:
        dragMode_ = 0;
        return 0;
    case WM_LBUTTONDBLCLK:
        moved_ = false;
        Fit();
        return 0;
    case WM_MOUSEWHEEL: {
        POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        ScreenToClient(hwnd_, &p);
        Zoom(std::pow(1.2, GET_WHEEL_DELTA_WPARAM(wp) / double(WHEEL_DELTA)), p.x, p.y);
        return 0;
    }
    case WM_KEYDOWN:
        if (wp == 'F') {
            moved_ = false;
            Fit();
        }
        else if (wp == 'I') Isometric();
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

} // namespace quorlahost
