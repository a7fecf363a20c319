// Vectors, rotation matrices, quaternions, bounding boxes and the math helpers.
#include "engine/base/VisMath.h"

#include <algorithm>

namespace {
const double kDegToRad = 3.14159265358979323846 / 180.0;
const double kRadToDeg = 180.0 / 3.14159265358979323846;
const float kFloatMax = 3.4028235e38f;

float WrapDegrees(double a) {
  while (a <= -180.0) a += 360.0;
  while (a > 180.0) a -= 360.0;
  return (float)a;
}
}  // namespace

// VisVector_cl -------------------------------------------------------------------

float VisVector_cl::Normalize() {
  float len = GetLength();
  if (len > 0.0f) {
    x /= len;
    y /= len;
    z /= len;
  }
  return len;
}

void VisVector_cl::SetLength(float len) {
  if (Normalize() > 0.0f) *this *= len;
}

// VisMatrix3x3_cl ----------------------------------------------------------------

void VisMatrix3x3_cl::SetIdentity() { *this = VisMatrix3x3_cl(); }

VisVector_cl VisMatrix3x3_cl::operator*(const VisVector_cl& v) const {
  return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
          m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
}

VisMatrix3x3_cl VisMatrix3x3_cl::operator*(const VisMatrix3x3_cl& o) const {
  VisMatrix3x3_cl r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
  return r;
}

VisMatrix3x3_cl VisMatrix3x3_cl::GetTransposed() const {
  VisMatrix3x3_cl r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[j][i];
  return r;
}

bool VisMatrix3x3_cl::Invert() {
  const double a = m[0][0], b = m[0][1], c = m[0][2];
  const double d = m[1][0], e = m[1][1], f = m[1][2];
  const double g = m[2][0], h = m[2][1], k = m[2][2];
  const double c00 = e * k - f * h, c01 = -(d * k - f * g), c02 = d * h - e * g;
  const double det = a * c00 + b * c01 + c * c02;
  if (!std::isfinite(det) || std::fabs(det) < 1e-12) return false;
  const double inv = 1.0 / det;
  // Inverse = adjugate / det; the adjugate is the transposed cofactor matrix.
  m[0][0] = (float)(c00 * inv);
  m[0][1] = (float)(-(b * k - c * h) * inv);
  m[0][2] = (float)((b * f - c * e) * inv);
  m[1][0] = (float)(c01 * inv);
  m[1][1] = (float)((a * k - c * g) * inv);
  m[1][2] = (float)(-(a * f - c * d) * inv);
  m[2][0] = (float)(c02 * inv);
  m[2][1] = (float)(-(a * h - b * g) * inv);
  m[2][2] = (float)((a * e - b * d) * inv);
  return true;
}

void VisMatrix3x3_cl::SetEulerAngles(float yaw, float pitch, float roll) {
  const double y = yaw * kDegToRad, p = pitch * kDegToRad, r = roll * kDegToRad;
  const double cy = std::cos(y), sy = std::sin(y);
  const double cp = std::cos(p), sp = std::sin(p);
  const double cr = std::cos(r), sr = std::sin(r);
  m[0][0] = (float)(cy * cp);
  m[0][1] = (float)(cy * sp * sr - sy * cr);
  m[0][2] = (float)(cy * sp * cr + sy * sr);
  m[1][0] = (float)(sy * cp);
  m[1][1] = (float)(sy * sp * sr + cy * cr);
  m[1][2] = (float)(sy * sp * cr - cy * sr);
  m[2][0] = (float)(-sp);
  m[2][1] = (float)(cp * sr);
  m[2][2] = (float)(cp * cr);
}

VisVector_cl VisMatrix3x3_cl::GetEulerAngles() const {
  const double s = std::clamp((double)-m[2][0], -1.0, 1.0);
  double yaw, pitch, roll;
  if (std::fabs(s) > 0.99999) {
    // Pitch at +-90: yaw and roll turn about the same axis; keep it all in the yaw.
    pitch = s > 0 ? 90.0 : -90.0;
    roll = 0.0;
    yaw = std::atan2(-(double)m[0][1], (double)m[1][1]) * kRadToDeg;
  } else {
    pitch = std::asin(s) * kRadToDeg;
    yaw = std::atan2((double)m[1][0], (double)m[0][0]) * kRadToDeg;
    roll = std::atan2((double)m[2][1], (double)m[2][2]) * kRadToDeg;
  }
  return {WrapDegrees(yaw), (float)pitch, WrapDegrees(roll)};
}

void VisMatrix3x3_cl::SetRotationAxis(const VisVector_cl& axis, float angleDeg) {
  VisVector_cl k = axis;
  if (k.Normalize() == 0.0f) {
    SetIdentity();
    return;
  }
  const double a = angleDeg * kDegToRad;
  const double c = std::cos(a), s = std::sin(a), t = 1.0 - c;
  const double x = k.x, y = k.y, z = k.z;
  m[0][0] = (float)(c + x * x * t);
  m[0][1] = (float)(x * y * t - z * s);
  m[0][2] = (float)(x * z * t + y * s);
  m[1][0] = (float)(x * y * t + z * s);
  m[1][1] = (float)(c + y * y * t);
  m[1][2] = (float)(y * z * t - x * s);
  m[2][0] = (float)(x * z * t - y * s);
  m[2][1] = (float)(y * z * t + x * s);
  m[2][2] = (float)(c + z * z * t);
}

void VisMatrix3x3_cl::GetAsArray(float out[9]) const {
  for (int i = 0; i < 9; ++i) out[i] = m[i / 3][i % 3];
}

void VisMatrix3x3_cl::SetFromArray(const float in[9]) {
  for (int i = 0; i < 9; ++i) m[i / 3][i % 3] = in[i];
}

// VisQuaternion_cl ---------------------------------------------------------------

VisQuaternion_cl VisQuaternion_cl::FromMatrix(const VisMatrix3x3_cl& mat) {
  const auto& m = mat.m;
  const double tr = (double)m[0][0] + m[1][1] + m[2][2];
  double x, y, z, w;
  // Divide by the largest of the four terms for accuracy.
  if (tr > 0.0) {
    double s = std::sqrt(tr + 1.0) * 2.0;
    w = 0.25 * s;
    x = (m[2][1] - m[1][2]) / s;
    y = (m[0][2] - m[2][0]) / s;
    z = (m[1][0] - m[0][1]) / s;
  } else if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
    double s = std::sqrt(1.0 + m[0][0] - m[1][1] - m[2][2]) * 2.0;
    w = (m[2][1] - m[1][2]) / s;
    x = 0.25 * s;
    y = (m[0][1] + m[1][0]) / s;
    z = (m[0][2] + m[2][0]) / s;
  } else if (m[1][1] > m[2][2]) {
    double s = std::sqrt(1.0 + m[1][1] - m[0][0] - m[2][2]) * 2.0;
    w = (m[0][2] - m[2][0]) / s;
    x = (m[0][1] + m[1][0]) / s;
    y = 0.25 * s;
    z = (m[1][2] + m[2][1]) / s;
  } else {
    double s = std::sqrt(1.0 + m[2][2] - m[0][0] - m[1][1]) * 2.0;
    w = (m[1][0] - m[0][1]) / s;
    x = (m[0][2] + m[2][0]) / s;
    y = (m[1][2] + m[2][1]) / s;
    z = 0.25 * s;
  }
  VisQuaternion_cl q((float)x, (float)y, (float)z, (float)w);
  q.Normalize();
  return q;
}

VisQuaternion_cl VisQuaternion_cl::FromAxisAngle(const VisVector_cl& axis, float angleDeg) {
  VisVector_cl k = axis;
  if (k.Normalize() == 0.0f) return VisQuaternion_cl();
  const double h = angleDeg * kDegToRad * 0.5;
  const float s = (float)std::sin(h);
  return VisQuaternion_cl(k.x * s, k.y * s, k.z * s, (float)std::cos(h));
}

VisMatrix3x3_cl VisQuaternion_cl::ToMatrix() const {
  VisMatrix3x3_cl r;
  const float xx = x * x, yy = y * y, zz = z * z;
  const float xy = x * y, xz = x * z, yz = y * z, xw = x * w, yw = y * w, zw = z * w;
  r.m[0][0] = 1 - 2 * (yy + zz);
  r.m[0][1] = 2 * (xy - zw);
  r.m[0][2] = 2 * (xz + yw);
  r.m[1][0] = 2 * (xy + zw);
  r.m[1][1] = 1 - 2 * (xx + zz);
  r.m[1][2] = 2 * (yz - xw);
  r.m[2][0] = 2 * (xz - yw);
  r.m[2][1] = 2 * (yz + xw);
  r.m[2][2] = 1 - 2 * (xx + yy);
  return r;
}

VisQuaternion_cl VisQuaternion_cl::operator*(const VisQuaternion_cl& o) const {
  return VisQuaternion_cl(w * o.x + x * o.w + y * o.z - z * o.y, w * o.y - x * o.z + y * o.w + z * o.x,
                          w * o.z + x * o.y - y * o.x + z * o.w, w * o.w - x * o.x - y * o.y - z * o.z);
}

void VisQuaternion_cl::Normalize() {
  const float len = std::sqrt(x * x + y * y + z * z + w * w);
  if (len <= 0.0f || !std::isfinite(len)) {
    *this = VisQuaternion_cl();
    return;
  }
  x /= len;
  y /= len;
  z /= len;
  w /= len;
}

VisQuaternion_cl VisQuaternion_cl::Slerp(const VisQuaternion_cl& a, const VisQuaternion_cl& b, float t) {
  double bx = b.x, by = b.y, bz = b.z, bw = b.w;
  double cosTheta = (double)a.x * bx + (double)a.y * by + (double)a.z * bz + (double)a.w * bw;
  if (cosTheta < 0.0) {
    // q and -q are the same rotation; take the shorter way.
    cosTheta = -cosTheta;
    bx = -bx;
    by = -by;
    bz = -bz;
    bw = -bw;
  }
  double wa, wb;
  if (cosTheta > 0.9995) {
    // Nearly the same rotation: a straight blend avoids dividing by a tiny sine.
    wa = 1.0 - t;
    wb = t;
  } else {
    const double theta = std::acos(std::min(cosTheta, 1.0));
    const double s = std::sin(theta);
    wa = std::sin((1.0 - t) * theta) / s;
    wb = std::sin(t * theta) / s;
  }
  VisQuaternion_cl r((float)(wa * a.x + wb * bx), (float)(wa * a.y + wb * by), (float)(wa * a.z + wb * bz),
                     (float)(wa * a.w + wb * bw));
  r.Normalize();
  return r;
}

// VisMatrix4x4_cl ----------------------------------------------------------------

void VisMatrix4x4_cl::SetIdentity() { *this = VisMatrix4x4_cl(); }

VisMatrix4x4_cl VisMatrix4x4_cl::operator*(const VisMatrix4x4_cl& o) const {
  VisMatrix4x4_cl r;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j)
      r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
  return r;
}

VisVector_cl VisMatrix4x4_cl::TransformPoint(const VisVector_cl& v) const {
  float out[4];
  for (int i = 0; i < 4; ++i) out[i] = m[i][0] * v.x + m[i][1] * v.y + m[i][2] * v.z + m[i][3];
  if (out[3] != 0.0f && out[3] != 1.0f) return {out[0] / out[3], out[1] / out[3], out[2] / out[3]};
  return {out[0], out[1], out[2]};
}

// VisBoundingBox_cl --------------------------------------------------------------

void VisBoundingBox_cl::SetInvalid() { *this = VisBoundingBox_cl(); }

void VisBoundingBox_cl::ExpandToInclude(const VisVector_cl& p) {
  m_vMin.x = std::min(m_vMin.x, p.x);
  m_vMin.y = std::min(m_vMin.y, p.y);
  m_vMin.z = std::min(m_vMin.z, p.z);
  m_vMax.x = std::max(m_vMax.x, p.x);
  m_vMax.y = std::max(m_vMax.y, p.y);
  m_vMax.z = std::max(m_vMax.z, p.z);
}

void VisBoundingBox_cl::ExpandToInclude(const VisBoundingBox_cl& b) {
  if (!b.IsValid()) return;
  ExpandToInclude(b.m_vMin);
  ExpandToInclude(b.m_vMax);
}

bool VisBoundingBox_cl::Intersects(const VisBoundingBox_cl& b) const {
  if (!IsValid() || !b.IsValid()) return false;
  return m_vMin.x <= b.m_vMax.x && b.m_vMin.x <= m_vMax.x && m_vMin.y <= b.m_vMax.y && b.m_vMin.y <= m_vMax.y &&
         m_vMin.z <= b.m_vMax.z && b.m_vMin.z <= m_vMax.z;
}

bool VisBoundingBox_cl::IsInside(const VisVector_cl& p) const {
  return p.x >= m_vMin.x && p.x <= m_vMax.x && p.y >= m_vMin.y && p.y <= m_vMax.y && p.z >= m_vMin.z &&
         p.z <= m_vMax.z;
}

float VisBoundingBox_cl::GetDistance(const VisVector_cl& p) const {
  if (!IsValid()) return kFloatMax;
  const double dx = std::max({(double)m_vMin.x - p.x, 0.0, (double)p.x - m_vMax.x});
  const double dy = std::max({(double)m_vMin.y - p.y, 0.0, (double)p.y - m_vMax.y});
  const double dz = std::max({(double)m_vMin.z - p.z, 0.0, (double)p.z - m_vMax.z});
  return (float)std::sqrt(dx * dx + dy * dy + dz * dz);
}

VisBoundingBox_cl VisBoundingBox_cl::GetScaled(const VisVector_cl& scale) const {
  VisBoundingBox_cl out;
  if (!IsValid()) return out;
  for (int i = 0; i < 3; ++i) {
    const float a = m_vMin[i] * scale[i], b = m_vMax[i] * scale[i];
    out.m_vMin[i] = std::min(a, b);
    out.m_vMax[i] = std::max(a, b);
  }
  return out;
}

// VisMath_cl ---------------------------------------------------------------------

void VisMath_cl::MatrixLookAt(VisMatrix3x3_cl& out, const VisVector_cl& from, const VisVector_cl& to,
                              const VisVector_cl& up) {
  VisVector_cl forward = to - from;
  if (forward.Normalize() == 0.0f) {
    out.SetIdentity();
    return;
  }
  VisVector_cl left = up.Cross(forward);
  if (left.GetLength() < 1e-6f) {
    // 'up' is parallel to the view: use the world axis least aligned with it.
    const float ax = std::fabs(forward.x), ay = std::fabs(forward.y), az = std::fabs(forward.z);
    VisVector_cl helper = az <= ax && az <= ay ? VisVector_cl(0, 0, 1) : (ax <= ay ? VisVector_cl(1, 0, 0) : VisVector_cl(0, 1, 0));
    left = helper.Cross(forward);
  }
  left.Normalize();
  VisVector_cl realUp = forward.Cross(left);
  out.SetColumn(0, forward);
  out.SetColumn(1, left);
  out.SetColumn(2, realUp);
}

float VisMath_cl::AngleBetweenVectors(const VisVector_cl& a, const VisVector_cl& b) {
  const double la = a.GetLength(), lb = b.GetLength();
  if (la == 0.0 || lb == 0.0) return 0.0f;
  const double c = std::clamp((double)a.Dot(b) / (la * lb), -1.0, 1.0);
  return (float)(std::acos(c) * kRadToDeg);
}

VisVector_cl VisMath_cl::MatrixToEuler(const VisMatrix3x3_cl& m) { return m.GetEulerAngles(); }

VisMatrix3x3_cl VisMath_cl::EulerToMatrix(float yaw, float pitch, float roll) {
  VisMatrix3x3_cl m;
  m.SetEulerAngles(yaw, pitch, roll);
  return m;
}
