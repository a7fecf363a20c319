// Math types of the engine: vectors, matrices, quaternions, bounding boxes, colours.
// Angles are degrees. Matrices rotate row by row (x' = m00 x + m01 y + m02 z); the
// columns are the axes: the first is forward (local x), the second left, the third up.
#pragma once

#include "engine/base/VBase.h"

#include <cmath>

class VBASE_IMPEXP VisVector_cl {
 public:
  float x = 0, y = 0, z = 0, w = 1.0f;
  VisVector_cl() = default;
  VisVector_cl(float x_, float y_, float z_, float w_ = 1.0f) : x(x_), y(y_), z(z_), w(w_) {}
  void Set(float x_, float y_, float z_) { x = x_; y = y_; z = z_; w = 1.0f; }
  float& operator[](int i) { return (&x)[i]; }
  float operator[](int i) const { return (&x)[i]; }

  // Results of arithmetic carry w = 1.
  VisVector_cl operator+(const VisVector_cl& o) const { return {x + o.x, y + o.y, z + o.z}; }
  VisVector_cl operator-(const VisVector_cl& o) const { return {x - o.x, y - o.y, z - o.z}; }
  VisVector_cl operator-() const { return {-x, -y, -z}; }
  VisVector_cl operator*(float s) const { return {x * s, y * s, z * s}; }
  VisVector_cl operator/(float s) const { return {x / s, y / s, z / s}; }
  VisVector_cl& operator+=(const VisVector_cl& o) { x += o.x; y += o.y; z += o.z; return *this; }
  VisVector_cl& operator-=(const VisVector_cl& o) { x -= o.x; y -= o.y; z -= o.z; return *this; }
  VisVector_cl& operator*=(float s) { x *= s; y *= s; z *= s; return *this; }
  VisVector_cl& operator/=(float s) { x /= s; y /= s; z /= s; return *this; }
  // Compares x, y, z only.
  bool operator==(const VisVector_cl& o) const { return x == o.x && y == o.y && z == o.z; }
  bool operator!=(const VisVector_cl& o) const { return !(*this == o); }
  bool IsEqual(const VisVector_cl& o, float eps) const {
    return std::fabs(x - o.x) <= eps && std::fabs(y - o.y) <= eps && std::fabs(z - o.z) <= eps;
  }

  float Dot(const VisVector_cl& o) const { return x * o.x + y * o.y + z * o.z; }
  VisVector_cl Cross(const VisVector_cl& o) const {
    return {y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x};
  }
  float GetLength() const { return std::sqrt(x * x + y * y + z * z); }
  float GetLengthSqr() const { return x * x + y * y + z * z; }
  // Returns the former length; a zero vector stays zero.
  float Normalize();
  VisVector_cl GetNormalized() const { VisVector_cl v(*this); v.Normalize(); return v; }
  bool IsZero(float eps = 0.0f) const { return std::fabs(x) <= eps && std::fabs(y) <= eps && std::fabs(z) <= eps; }
  float GetDistance(const VisVector_cl& o) const { return (*this - o).GetLength(); }
  float GetDistanceSqr(const VisVector_cl& o) const { return (*this - o).GetLengthSqr(); }
  // Distance in the x-y plane.
  float GetDistance2D(const VisVector_cl& o) const { float dx = x - o.x, dy = y - o.y; return std::sqrt(dx * dx + dy * dy); }
  void SetLength(float len);
};

inline VisVector_cl operator*(float s, const VisVector_cl& v) { return v * s; }

class VBASE_IMPEXP VisMatrix3x3_cl {
 public:
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};  // m[row][column]
  VisMatrix3x3_cl() = default;
  void SetIdentity();
  float& operator()(int r, int c) { return m[r][c]; }
  float operator()(int r, int c) const { return m[r][c]; }
  VisVector_cl GetColumn(int c) const { return {m[0][c], m[1][c], m[2][c]}; }
  void SetColumn(int c, const VisVector_cl& v) { m[0][c] = v.x; m[1][c] = v.y; m[2][c] = v.z; }
  VisVector_cl GetRow(int r) const { return {m[r][0], m[r][1], m[r][2]}; }
  VisVector_cl operator*(const VisVector_cl& v) const;
  VisMatrix3x3_cl operator*(const VisMatrix3x3_cl& o) const;
  VisMatrix3x3_cl GetTransposed() const;
  // General inverse; false (matrix unchanged) when singular.
  bool Invert();
  // Yaw about z, pitch about y, roll about x, in degrees: M = Rz(yaw) Ry(pitch) Rx(roll),
  // each a right-handed rotation (positive yaw turns x towards y, positive pitch
  // lowers the forward axis).
  void SetEulerAngles(float yaw, float pitch, float roll);
  // (yaw, pitch, roll) with pitch in [-90, 90] and the others in (-180, 180]; at
  // pitch +-90 the roll is 0 and the yaw carries the turn.
  VisVector_cl GetEulerAngles() const;
  // Right-handed rotation about the axis (need not be unit length; zero gives identity).
  void SetRotationAxis(const VisVector_cl& axis, float angleDeg);
  // Float array in row order (copies to and from physics matrices).
  void GetAsArray(float out[9]) const;
  void SetFromArray(const float in[9]);
};

class VBASE_IMPEXP VisQuaternion_cl {
 public:
  float x = 0, y = 0, z = 0, w = 1;
  VisQuaternion_cl() = default;
  VisQuaternion_cl(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
  // Rotates as the matrix does (v' = q v q*); the matrix must be a rotation.
  static VisQuaternion_cl FromMatrix(const VisMatrix3x3_cl& m);
  static VisQuaternion_cl FromAxisAngle(const VisVector_cl& axis, float angleDeg);
  VisMatrix3x3_cl ToMatrix() const;
  // Hamilton product.
  VisQuaternion_cl operator*(const VisQuaternion_cl& o) const;
  // A zero quaternion becomes the identity.
  void Normalize();
  // Along the shorter arc; t 0 gives a, t 1 gives b (or -b, the same rotation).
  static VisQuaternion_cl Slerp(const VisQuaternion_cl& a, const VisQuaternion_cl& b, float t);
};

class VBASE_IMPEXP VisMatrix4x4_cl {
 public:
  float m[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  void SetIdentity();
  VisMatrix4x4_cl operator*(const VisMatrix4x4_cl& o) const;
  // Point (x, y, z, 1) times the rows; divided by the resulting w when that is not 0 or 1.
  VisVector_cl TransformPoint(const VisVector_cl& v) const;
};

class VBASE_IMPEXP VisBoundingBox_cl {
 public:
  VisVector_cl m_vMin{3.4028235e38f, 3.4028235e38f, 3.4028235e38f};
  VisVector_cl m_vMax{-3.4028235e38f, -3.4028235e38f, -3.4028235e38f};
  VisBoundingBox_cl() = default;
  VisBoundingBox_cl(const VisVector_cl& mn, const VisVector_cl& mx) : m_vMin(mn), m_vMax(mx) {}
  void SetInvalid();
  bool IsValid() const { return m_vMin.x <= m_vMax.x && m_vMin.y <= m_vMax.y && m_vMin.z <= m_vMax.z; }
  void ExpandToInclude(const VisVector_cl& p);
  // An empty box adds nothing.
  void ExpandToInclude(const VisBoundingBox_cl& b);
  // Boxes that touch overlap; an empty box overlaps nothing.
  bool Intersects(const VisBoundingBox_cl& b) const;
  // Borders count as inside.
  bool IsInside(const VisVector_cl& p) const;
  VisVector_cl GetCenter() const { return (m_vMin + m_vMax) * 0.5f; }
  VisVector_cl GetExtent() const { return m_vMax - m_vMin; }
  float GetSizeX() const { return m_vMax.x - m_vMin.x; }
  float GetSizeY() const { return m_vMax.y - m_vMin.y; }
  float GetSizeZ() const { return m_vMax.z - m_vMin.z; }
  // 0 inside; else the distance to the nearest point of the box (3.4028235e38 for an empty box).
  float GetDistance(const VisVector_cl& p) const;
  void Translate(const VisVector_cl& v) { m_vMin += v; m_vMax += v; }
  // The box scaled per axis about the origin (a negative factor swaps that axis's
  // bounds); an empty box stays empty.
  VisBoundingBox_cl GetScaled(const VisVector_cl& scale) const;
};

// RGBA colour, 8 bits per channel.
class VBASE_IMPEXP VColorRef {
 public:
  UBYTE r = 255, g = 255, b = 255, a = 255;
  VColorRef() = default;
  VColorRef(UBYTE r_, UBYTE g_, UBYTE b_, UBYTE a_ = 255) : r(r_), g(g_), b(b_), a(a_) {}
  bool operator==(const VColorRef& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
  uint32_t GetRGBA() const { return ((uint32_t)r << 24) | ((uint32_t)g << 16) | ((uint32_t)b << 8) | a; }
  void SetRGBA(uint32_t v) { r = v >> 24; g = (v >> 16) & 255; b = (v >> 8) & 255; a = v & 255; }
};

class VBASE_IMPEXP VisMath_cl {
 public:
  // Rotation matrix looking from 'from' to 'to' (first column forward, second left,
  // third up, as close to 'up' as the direction allows). When 'up' is parallel to
  // the direction another axis stands in for it; with from == to the result is identity.
  static void MatrixLookAt(VisMatrix3x3_cl& out, const VisVector_cl& from, const VisVector_cl& to, const VisVector_cl& up);
  // Angle between two vectors, in degrees (0 for a zero vector).
  static float AngleBetweenVectors(const VisVector_cl& a, const VisVector_cl& b);
  static VisVector_cl MatrixToEuler(const VisMatrix3x3_cl& m);
  static VisMatrix3x3_cl EulerToMatrix(float yaw, float pitch, float roll);
};

#define VIS_PI 3.14159265358979323846f
#define VIS_DEG2RAD(a) ((a) * (VIS_PI / 180.0f))
#define VIS_RAD2DEG(a) ((a) * (180.0f / VIS_PI))
