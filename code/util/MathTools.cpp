// Random draws, distances, angle wrapping, interpolation and the rotation helpers.
#include "util/MathTools.h"

#include "engine/core/VisBaseEntity.h"
#include "engine/os/VOs.h"

#include <cmath>
#include <ctime>

namespace {

const float kRandScale = 3.051851e-5f;  // 1 / 32767

// v moved by whole steps of (hi - lo) into [lo, hi). Values far outside are first
// brought near the range: stepping alone would take ages or, once a step no longer
// changes a huge float, never end.
float WrapInto(float v, float lo, float hi) {
  const float range = hi - lo;
  if (!(range > 0.0f) || !std::isfinite(v)) return v;
  if (std::fabs(v - lo) > range * 1024.0f) v = lo + std::fmod(v - lo, range);
  while (v >= hi) v -= range;
  while (v < lo) v += range;
  // A tiny negative step can round up onto hi itself.
  if (v >= hi) v = lo;
  return v;
}

uint32_t XorShift(uint32_t x) {
  x ^= x << 13;
  x ^= x >> 17;
  x ^= x << 5;
  return x;
}

float Distance2DSquared(const VisVector_cl& local, const VisBoundingBox_cl& box) {
  const float cx = std::fmin(std::fmax(local.x, box.m_vMin.x), box.m_vMax.x);
  const float cy = std::fmin(std::fmax(local.y, box.m_vMin.y), box.m_vMax.y);
  const float dx = local.x - cx, dy = local.y - cy;
  return dx * dx + dy * dy;
}

}  // namespace

// ---- random numbers -----------------------------------------------------------

int MathTools::RandomInt(int lo, int hi) {
  if (s_bFixedRandom) return s_bTestReturnMax ? hi - 1 : lo;
  if (hi - lo < 2) return lo;
  return lo + VRandomInt() % (hi - lo);
}

int MathTools::RandomInt(int n) {
  if (s_bFixedRandom) return s_bTestReturnMax ? n - 1 : 0;
  if (n < 2) return 0;
  return VRandomInt() % n;
}

int MathTools::NextSoundDraw() {
  // The engine's generator, on a state of its own.
  s_soundState = s_soundState * 214013u + 2531011u;
  return (int)((s_soundState >> 16) & V_RAND_MAX);
}

int MathTools::SoundRandomInt(int n) {
  if (s_bFixedRandom) return s_bTestReturnMax ? n - 1 : 0;
  if (n < 2) return 0;
  return NextSoundDraw() % n;
}

float MathTools::SoundRandomUnit() {
  return (float)NextSoundDraw() / (float)(V_RAND_MAX + 1);
}

float MathTools::RandomFloat() { return (float)VRandomInt() * kRandScale; }

float MathTools::RandomFloat(float lo, float hi) { return lo + (hi - lo) * (float)VRandomInt() * kRandScale; }

float MathTools::GaussianRandom() {
  const uint32_t s0 = s_gaussianState ? s_gaussianState : (uint32_t)std::time(nullptr);
  const uint32_t s1 = XorShift(s0);
  const uint32_t s2 = XorShift(s1);
  const uint32_t s3 = XorShift(s2);
  s_gaussianState = s3;
  const float scale = 4.656613e-10f;  // 2^-31
  const float a = (float)(int32_t)(s0 + s1) * scale;
  const float b = (float)(int32_t)(s1 + s2) * scale;
  const float c = (float)(int32_t)(s2 + s3) * scale;
  return (a + b + c) * 0.33333334f;
}

VisVector_cl MathTools::RandomDirection(float a, float b) {
  const float t = a + (b - a) * (float)VRandomInt() / 32767.0f;
  const float rad = VIS_DEG2RAD(t);
  return VisVector_cl(std::sin(rad), std::cos(rad), 0.0f);
}

// ---- distances ----------------------------------------------------------------

float MathTools::DistanceBetweenVectors(const VisVector_cl& p, const VisVector_cl& q) {
  const double dx = (double)p.x - q.x, dy = (double)p.y - q.y, dz = (double)p.z - q.z;
  return (float)std::sqrt(dx * dx + dy * dy + dz * dz);
}

float MathTools::DistanceBetweenVectorsSquared(const VisVector_cl& p, const VisVector_cl& q) {
  const double dx = (double)p.x - q.x, dy = (double)p.y - q.y, dz = (double)p.z - q.z;
  return (float)(dx * dx + dy * dy + dz * dz);
}

float MathTools::DistanceBetweenVectorsIgnoreZ(const VisVector_cl& p, const VisVector_cl& q) {
  const double dx = (double)p.x - q.x, dy = (double)p.y - q.y;
  return (float)std::sqrt(dx * dx + dy * dy);
}

float MathTools::DistanceBetweenVectorsIgnoreZSquared(const VisVector_cl& p, const VisVector_cl& q) {
  const double dx = (double)p.x - q.x, dy = (double)p.y - q.y;
  return (float)(dx * dx + dy * dy);
}

// ---- angles -------------------------------------------------------------------

float MathTools::AngleDiff(float a, float b) {
  const float d = std::fabs(WrapAngle(a) - WrapAngle(b));
  return d > 180.0f ? 360.0f - d : d;
}

float MathTools::WrapAngle(float a) { return WrapInto(a, -180.0f, 180.0f); }

float MathTools::Clamp360(float a) { return WrapInto(a, 0.0f, 360.0f); }

void MathTools::Wrap(float& value, float lo, float hi) { value = WrapInto(value, lo, hi); }

// ---- interpolation and sides --------------------------------------------------

float MathTools::LinearInterpolate(float a, float b, float t) { return a + (b - a) * t; }

float MathTools::CosineInterpolate(float a, float b, float t) {
  return a + (b - a) * (1.0f - std::cos(t * VIS_PI)) * 0.5f;
}

bool MathTools::IsTargetOnRightSide(const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c) {
  const float fx = a.x - b.x, fy = a.y - b.y;
  const float gx = c.x - b.x, gy = c.y - b.y;
  return gy * fx - gx * fy > 0.0f;
}

// ---- box distances ------------------------------------------------------------

float MathTools::DistanceToOrientedBoundingBoxSquared(const VisVector_cl& p, const VisBoundingBox_cl& box,
                                                      const VisVector_cl& origin, const VisMatrix3x3_cl& rotation) {
  VisMatrix3x3_cl inverse = rotation;
  if (!inverse.Invert()) inverse = rotation.GetTransposed();
  return Distance2DSquared(inverse * (p - origin), box);
}

float MathTools::DistanceToOrientedBoundingBox(const VisVector_cl& p, const VisBoundingBox_cl& box,
                                               const VisVector_cl& origin, const VisMatrix3x3_cl& rotation) {
  return std::sqrt(DistanceToOrientedBoundingBoxSquared(p, box, origin, rotation));
}

float MathTools::DistanceToEntityBoundingBoxSquared(const VisVector_cl& p, const VisBaseEntity_cl* entity) {
  if (!entity) return 3.4028235e38f;
  VisBoundingBox_cl box;
  entity->GetBoundingBox(box);
  if (!box.IsValid()) {
    box = VisBoundingBox_cl(VisVector_cl(0, 0, 0), VisVector_cl(0, 0, 0));
  } else {
    const VisVector_cl& s = entity->GetScaling();
    for (VisVector_cl* v : {&box.m_vMin, &box.m_vMax}) *v = VisVector_cl(v->x * s.x, v->y * s.y, v->z * s.z);
    // A negative scale swaps the corners.
    VisBoundingBox_cl fixed;
    fixed.ExpandToInclude(box.m_vMin);
    fixed.ExpandToInclude(box.m_vMax);
    box = fixed;
  }
  return DistanceToOrientedBoundingBoxSquared(p, box, entity->GetPosition(), entity->GetRotationMatrix());
}

float MathTools::DistanceToEntityBoundingBox(const VisVector_cl& p, const VisBaseEntity_cl* entity) {
  if (!entity) return 3.4028235e38f;
  return std::sqrt(DistanceToEntityBoundingBoxSquared(p, entity));
}

// ---- matrix helpers -----------------------------------------------------------

void Matrix3x3Multiply(float out[3][3], const float a[3][3], const float b[3][3]) {
  float r[3][3];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = a[i][0] * b[0][j] + a[i][1] * b[1][j] + a[i][2] * b[2][j];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) out[i][j] = r[i][j];
}

void Matrix3x3ToQuaternion(const float m[3][3], float q[4]) {
  const float t = m[0][0] + m[1][1] + m[2][2] + 1.0f;
  if (t >= 1.0f) {
    const float s = 2.0f * std::sqrt(t);
    q[3] = s / 4.0f;
    q[0] = (m[1][2] - m[2][1]) / s;
    q[1] = (m[2][0] - m[0][2]) / s;
    q[2] = (m[0][1] - m[1][0]) / s;
  } else {
    int i = m[0][0] > m[1][1] ? 0 : 1;
    if (m[2][2] > m[i][i]) i = 2;
    const int j = (i + 1) % 3, k = (j + 1) % 3;
    const float s = 2.0f * std::sqrt(m[i][i] - m[j][j] - m[k][k] + 1.0f);
    q[i] = s / 4.0f;
    q[j] = (m[j][i] + m[i][j]) / s;
    q[k] = (m[k][i] + m[i][k]) / s;
    q[3] = (m[j][k] - m[k][j]) / s;
  }
  const float len2 = q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3];
  if (len2 > 0.0f) {
    const float inv = 1.0f / std::sqrt(len2);
    for (int n = 0; n < 4; ++n) q[n] *= inv;
  }
}

void QuaternionToMatrix3x3(const float q[4], float m[3][3]) {
  const float x = q[0], y = q[1], z = q[2], w = q[3];
  m[0][0] = 1.0f - 2.0f * (y * y + z * z);
  m[0][1] = 2.0f * (x * y + w * z);
  m[0][2] = 2.0f * (x * z - w * y);
  m[1][0] = 2.0f * (x * y - w * z);
  m[1][1] = 1.0f - 2.0f * (x * x + z * z);
  m[1][2] = 2.0f * (y * z + w * x);
  m[2][0] = 2.0f * (x * z + w * y);
  m[2][1] = 2.0f * (y * z - w * x);
  m[2][2] = 1.0f - 2.0f * (x * x + y * y);
}

bool AxisAngleToRotationMatrix(float m[3][3], const VisVector_cl& axis, float degrees) {
  const float len = axis.GetLength();
  if (!(len > 0.0001f)) {
    for (int i = 0; i < 3; ++i)
      for (int j = 0; j < 3; ++j) m[i][j] = i == j ? 1.0f : 0.0f;
    return false;
  }
  const float x = axis.x / len, y = axis.y / len, z = axis.z / len;
  const float rad = degrees * 0.017453292f;
  const float c = std::cos(rad), s = std::sin(rad), t = 1.0f - c;
  m[0][0] = x * x * t + c;
  m[0][1] = x * y * t - z * s;
  m[0][2] = x * z * t + y * s;
  m[1][0] = x * y * t + z * s;
  m[1][1] = y * y * t + c;
  m[1][2] = y * z * t - x * s;
  m[2][0] = x * z * t - y * s;
  m[2][1] = y * z * t + x * s;
  m[2][2] = z * z * t + c;
  return true;
}
