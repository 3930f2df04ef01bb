// Points, vectors, intervals and bounding boxes.
//
// Default construction gives zero (openNURBS leaves them uninitialised; zero
// is safer and costs nothing measurable). All are trivially copyable so they
// live in ON_SimpleArray.
#pragma once

#include "opennurbs_array.h"
#include "opennurbs_defines.h"

class ON_3dVector;
class ON_3fPoint;
class ON_4dPoint;

class ON_2dPoint {
public:
    double x = 0.0, y = 0.0;
    ON_2dPoint() = default;
    ON_2dPoint(double x_, double y_) : x(x_), y(y_) {}
    double& operator[](int i) { return i ? y : x; }
    double operator[](int i) const { return i ? y : x; }
    bool operator==(const ON_2dPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const ON_2dPoint& p) const { return !(*this == p); }
    static const ON_2dPoint Origin;
};

class ON_2fPoint {
public:
    float x = 0.0f, y = 0.0f;
    ON_2fPoint() = default;
    ON_2fPoint(float x_, float y_) : x(x_), y(y_) {}
    bool operator==(const ON_2fPoint& p) const { return x == p.x && y == p.y; }
    bool operator!=(const ON_2fPoint& p) const { return !(*this == p); }
};

class ON_2dVector {
public:
    double x = 0.0, y = 0.0;
    ON_2dVector() = default;
    ON_2dVector(double x_, double y_) : x(x_), y(y_) {}
    double Length() const { return std::hypot(x, y); }
};

class ON_3dPoint {
public:
    double x = 0.0, y = 0.0, z = 0.0;
    ON_3dPoint() = default;
    ON_3dPoint(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit ON_3dPoint(const double* p) : x(p[0]), y(p[1]), z(p[2]) {}
    ON_3dPoint(const ON_3fPoint& p);
    ON_3dPoint(const ON_2dPoint& p) : x(p.x), y(p.y), z(0.0) {}
    // Euclidean point of a homogeneous one (w = 0 gives the unset point).
    explicit ON_3dPoint(const ON_4dPoint& p);
    explicit ON_3dPoint(const ON_3dVector& v);

    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    ON_3dPoint& operator+=(const ON_3dVector& v);
    ON_3dPoint& operator-=(const ON_3dVector& v);
    ON_3dPoint& operator*=(double s) {
        x *= s, y *= s, z *= s;
        return *this;
    }
    ON_3dPoint& operator/=(double s) { return *this *= (1.0 / s); }
    ON_3dPoint operator*(double s) const { return ON_3dPoint(x * s, y * s, z * s); }
    ON_3dPoint operator/(double s) const { return *this * (1.0 / s); }
    ON_3dPoint operator+(const ON_3dPoint& p) const {
        return ON_3dPoint(x + p.x, y + p.y, z + p.z);
    }
    ON_3dPoint operator+(const ON_3dVector& v) const;
    ON_3dVector operator-(const ON_3dPoint& p) const;
    ON_3dPoint operator-(const ON_3dVector& v) const;
    ON_3dPoint operator-() const { return ON_3dPoint(-x, -y, -z); }
    bool operator==(const ON_3dPoint& p) const { return x == p.x && y == p.y && z == p.z; }
    bool operator!=(const ON_3dPoint& p) const { return !(*this == p); }

    double DistanceTo(const ON_3dPoint& p) const;
    double MaximumCoordinate() const;
    bool IsValid() const { return ON_IsValid(x) && ON_IsValid(y) && ON_IsValid(z); }
    bool IsUnset() const {
        return x == ON_UNSET_VALUE || y == ON_UNSET_VALUE || z == ON_UNSET_VALUE;
    }
    void Set(double x_, double y_, double z_) { x = x_, y = y_, z = z_; }
    void Transform(const ON_Xform& xform);

    static const ON_3dPoint Origin;
    static const ON_3dPoint UnsetPoint;
};

ON_3dPoint operator*(double s, const ON_3dPoint& p);

class ON_3fPoint {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;
    ON_3fPoint() = default;
    ON_3fPoint(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    explicit ON_3fPoint(const ON_3dPoint& p) : x((float)p.x), y((float)p.y), z((float)p.z) {}
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    bool operator==(const ON_3fPoint& p) const { return x == p.x && y == p.y && z == p.z; }
    bool operator!=(const ON_3fPoint& p) const { return !(*this == p); }
    void Transform(const ON_Xform& xform);
};

class ON_4dPoint {
public:
    double x = 0.0, y = 0.0, z = 0.0, w = 0.0;
    ON_4dPoint() = default;
    ON_4dPoint(double x_, double y_, double z_, double w_) : x(x_), y(y_), z(z_), w(w_) {}
    ON_4dPoint(const ON_3dPoint& p) : x(p.x), y(p.y), z(p.z), w(1.0) {}
    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : (i == 2 ? z : w)); }
    bool operator==(const ON_4dPoint& p) const {
        return x == p.x && y == p.y && z == p.z && w == p.w;
    }
    bool operator!=(const ON_4dPoint& p) const { return !(*this == p); }
    void Transform(const ON_Xform& xform);
};

class ON_3dVector {
public:
    double x = 0.0, y = 0.0, z = 0.0;
    ON_3dVector() = default;
    ON_3dVector(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    explicit ON_3dVector(const double* v) : x(v[0]), y(v[1]), z(v[2]) {}
    explicit ON_3dVector(const ON_3dPoint& p) : x(p.x), y(p.y), z(p.z) {}

    double& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
    double operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }

    ON_3dVector operator+(const ON_3dVector& v) const {
        return ON_3dVector(x + v.x, y + v.y, z + v.z);
    }
    ON_3dVector operator-(const ON_3dVector& v) const {
        return ON_3dVector(x - v.x, y - v.y, z - v.z);
    }
    ON_3dVector operator-() const { return ON_3dVector(-x, -y, -z); }
    ON_3dVector operator*(double s) const { return ON_3dVector(x * s, y * s, z * s); }
    ON_3dVector operator/(double s) const { return *this * (1.0 / s); }
    double operator*(const ON_3dVector& v) const { return x * v.x + y * v.y + z * v.z; } // dot
    ON_3dVector& operator+=(const ON_3dVector& v) {
        x += v.x, y += v.y, z += v.z;
        return *this;
    }
    ON_3dVector& operator-=(const ON_3dVector& v) {
        x -= v.x, y -= v.y, z -= v.z;
        return *this;
    }
    ON_3dVector& operator*=(double s) {
        x *= s, y *= s, z *= s;
        return *this;
    }
    bool operator==(const ON_3dVector& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const ON_3dVector& v) const { return !(*this == v); }

    double Length() const;
    double LengthSquared() const { return x * x + y * y + z * z; }
    double MaximumCoordinate() const;
    // Scales to unit length; false (and the vector unchanged) when it is zero.
    bool Unitize();
    ON_3dVector UnitVector() const;
    bool IsZero() const { return x == 0.0 && y == 0.0 && z == 0.0; }
    bool IsTiny(double tiny_tol = ON_ZERO_TOLERANCE) const;
    bool IsUnitVector() const;
    bool IsValid() const { return ON_IsValid(x) && ON_IsValid(y) && ON_IsValid(z); }
    void Zero() { x = y = z = 0.0; }
    void Reverse() { x = -x, y = -y, z = -z; }
    // Sets *this to a unit vector perpendicular to v; false when v is zero.
    bool PerpendicularTo(const ON_3dVector& v);
    // Unit normal of the triangle P0, P1, P2 by the right-hand rule (the
    // direction of (P1 - P0) x (P2 - P0)): of the three normalised cross
    // products of the edge vectors, the one most perpendicular to all three
    // edges. Zero vector and false when the triangle is degenerate.
    bool PerpendicularTo(const ON_3dPoint& P0, const ON_3dPoint& P1, const ON_3dPoint& P2);
    void Transform(const ON_Xform& xform); // ignores the translation

    static const ON_3dVector ZeroVector;
    static const ON_3dVector XAxis;
    static const ON_3dVector YAxis;
    static const ON_3dVector ZAxis;
};

ON_3dVector operator*(double s, const ON_3dVector& v);
double ON_DotProduct(const ON_3dVector& a, const ON_3dVector& b);
ON_3dVector ON_CrossProduct(const ON_3dVector& a, const ON_3dVector& b);

class ON_3fVector {
public:
    float x = 0.0f, y = 0.0f, z = 0.0f;
    ON_3fVector() = default;
    ON_3fVector(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    explicit ON_3fVector(const ON_3dVector& v) : x((float)v.x), y((float)v.y), z((float)v.z) {}
    bool operator==(const ON_3fVector& v) const { return x == v.x && y == v.y && z == v.z; }
    bool operator!=(const ON_3fVector& v) const { return !(*this == v); }
    double Length() const { return std::sqrt((double)x * x + (double)y * y + (double)z * z); }
    bool Unitize();
};

// A parameter interval [m_t[0], m_t[1]]; normally increasing but not required.
class ON_Interval {
public:
    double m_t[2] = {0.0, 0.0};
    ON_Interval() = default;
    ON_Interval(double t0, double t1) : m_t{t0, t1} {}

    double& operator[](int i) { return m_t[i ? 1 : 0]; }
    double operator[](int i) const { return m_t[i ? 1 : 0]; }
    bool operator==(const ON_Interval& d) const { return m_t[0] == d.m_t[0] && m_t[1] == d.m_t[1]; }
    bool operator!=(const ON_Interval& d) const { return !(*this == d); }

    void Set(double t0, double t1) { m_t[0] = t0, m_t[1] = t1; }
    double Min() const { return m_t[0] <= m_t[1] ? m_t[0] : m_t[1]; }
    double Max() const { return m_t[0] <= m_t[1] ? m_t[1] : m_t[0]; }
    double Mid() const { return 0.5 * (m_t[0] + m_t[1]); }
    double Length() const { return m_t[1] - m_t[0]; }
    bool IsIncreasing() const { return m_t[0] < m_t[1] && IsValid(); }
    bool IsDecreasing() const { return m_t[0] > m_t[1] && IsValid(); }
    bool IsValid() const { return ON_IsValid(m_t[0]) && ON_IsValid(m_t[1]); }
    bool IsSingleton() const { return m_t[0] == m_t[1] && IsValid(); }
    // (1 - s) t0 + s t1; exact at s = 0 and s = 1.
    double ParameterAt(double s) const;
    ON_Interval ParameterAt(const ON_Interval& s) const;
    // (t - t0) / (t1 - t0); exact at the ends.
    double NormalizedParameterAt(double t) const;
    bool Includes(double t, bool bTestOpenInterval = false) const;
    void Reverse() {
        const double t = m_t[0];
        m_t[0] = -m_t[1];
        m_t[1] = -t;
    }
    void Swap() {
        const double t = m_t[0];
        m_t[0] = m_t[1];
        m_t[1] = t;
    }
};

class ON_BoundingBox {
public:
    // Empty box: min above max.
    ON_3dPoint m_min = ON_3dPoint(1.0, 0.0, 0.0);
    ON_3dPoint m_max = ON_3dPoint(-1.0, 0.0, 0.0);
    ON_BoundingBox() = default;
    ON_BoundingBox(const ON_3dPoint& min_pt, const ON_3dPoint& max_pt)
        : m_min(min_pt), m_max(max_pt) {}

    bool IsValid() const;
    bool IsEmpty() const { return !IsValid(); }
    void Destroy() { *this = ON_BoundingBox(); }
    // Grows the box to hold p (an empty box becomes the point) when
    // bGrowBox, else the box becomes the point.
    bool Set(const ON_3dPoint& p, int bGrowBox);
    bool Set(int dim, int is_rat, int count, int stride, const double* points, int bGrowBox);
    void Union(const ON_BoundingBox& b);
    ON_3dPoint Min() const { return m_min; }
    ON_3dPoint Max() const { return m_max; }
    ON_3dPoint Center() const { return (m_min + m_max) * 0.5; }
    ON_3dVector Diagonal() const { return m_max - m_min; }
    ON_3dPoint Corner(int x_index, int y_index, int z_index) const;
    bool IsPointIn(const ON_3dPoint& p, bool bStrictlyIn = false) const;

    static const ON_BoundingBox EmptyBoundingBox;
};

class ON_3dPointArray : public ON_SimpleArray<ON_3dPoint> {
public:
    ON_3dPointArray() = default;
    explicit ON_3dPointArray(int capacity)
        : ON_SimpleArray<ON_3dPoint>((size_t)(capacity > 0 ? capacity : 0)) {}
    ON_3dPointArray(const ON_SimpleArray<ON_3dPoint>& a) : ON_SimpleArray<ON_3dPoint>(a) {}
    ON_3dPointArray& operator=(const ON_SimpleArray<ON_3dPoint>& a) {
        ON_SimpleArray<ON_3dPoint>::operator=(a);
        return *this;
    }
    ON_BoundingBox BoundingBox() const;
    bool Transform(const ON_Xform& xform);
    void Append(const ON_3dPoint& p) { ON_SimpleArray<ON_3dPoint>::Append(p); }
    void Append(int count, const ON_3dPoint* p) { ON_SimpleArray<ON_3dPoint>::Append(count, p); }
    void Append(double x, double y, double z) { Append(ON_3dPoint(x, y, z)); }
};

// RGBA colour; stored as 0xAABBGGRR like COLORREF with alpha in the top byte.
class ON_Color {
public:
    unsigned int m_color = 0;
    ON_Color() = default;
    ON_Color(int r, int g, int b, int a = 0)
        : m_color((unsigned)(r & 0xFF) | ((unsigned)(g & 0xFF) << 8) |
                  ((unsigned)(b & 0xFF) << 16) | ((unsigned)(a & 0xFF) << 24)) {}
    explicit ON_Color(unsigned int abgr) : m_color(abgr) {}
    int Red() const { return (int)(m_color & 0xFF); }
    int Green() const { return (int)((m_color >> 8) & 0xFF); }
    int Blue() const { return (int)((m_color >> 16) & 0xFF); }
    int Alpha() const { return (int)((m_color >> 24) & 0xFF); }
    void SetRGBA(int r, int g, int b, int a) { *this = ON_Color(r, g, b, a); }
    bool operator==(const ON_Color& c) const { return m_color == c.m_color; }
    bool operator!=(const ON_Color& c) const { return m_color != c.m_color; }
};
