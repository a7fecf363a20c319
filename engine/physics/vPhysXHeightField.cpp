// Triangle selection of the terrain's height field.
#include "engine/physics/bullet/vPhysXHeightField.h"

#include <algorithm>
#include <cmath>

int vPhysXHeightField::s_iTightScopes = 0;

namespace {
// Bullet's rounding of grid coordinates.
int Quantized(btScalar x) { return x < 0.0f ? (int)(x - 0.5f) : (int)(x + 0.5f); }

// A rectangle of the grid in grid units.
struct Footprint {
  double u0, u1, v0, v1;
  bool IsEmpty() const { return !(u0 <= u1 && v0 <= v1); }
  // Whether it touches the first triangle of cell (x, y), where the cell's own
  // coordinates add up to 1 or less, or the second, where they add up to 1 or more.
  bool Touches(int x, int y, bool second) const {
    if (second) return std::min(u1 - x, 1.0) + std::min(v1 - y, 1.0) >= 1.0 - 1e-6;
    return std::max(u0 - x, 0.0) + std::max(v0 - y, 0.0) <= 1.0 + 1e-6;
  }
};
}  // namespace

vPhysXHeightField::vPhysXHeightField(int samplesX, int samplesY, const float* heights, float minHeight,
                                     float maxHeight)
    : btHeightfieldTerrainShape(samplesX, samplesY, heights, minHeight, maxHeight, 2, false) {}

void vPhysXHeightField::processAllTriangles(btTriangleCallback* callback, const btVector3& aabbMin,
                                            const btVector3& aabbMax) const {
  const btVector3& scale = m_localScaling;
  bool usable = s_iTightScopes > 0 && scale.x() > 0.0f && scale.y() > 0.0f && scale.z() > 0.0f;
  for (int i = 0; i < 3 && usable; ++i) usable = std::isfinite(aabbMin[i]) && std::isfinite(aabbMax[i]);
  if (!usable) {
    btHeightfieldTerrainShape::processAllTriangles(callback, aabbMin, aabbMax);
    return;
  }

  // Bullet's selection: the cells around the box, rounded and widened by one.
  const btVector3 inverse(1.0f / scale.x(), 1.0f / scale.y(), 1.0f / scale.z());
  btVector3 localMin = aabbMin * inverse + m_localOrigin, localMax = aabbMax * inverse + m_localOrigin;
  localMin.setMax(m_localAabbMin);
  localMin.setMin(m_localAabbMax);
  localMax.setMax(m_localAabbMin);
  localMax.setMin(m_localAabbMax);
  const int startX = std::max(0, Quantized(localMin.x()) - 1);
  const int endX = std::min(m_heightStickWidth - 1, Quantized(localMax.x()) + 1);
  const int startY = std::max(0, Quantized(localMin.y()) - 1);
  const int endY = std::min(m_heightStickLength - 1, Quantized(localMax.y()) + 1);
  if (startX >= endX || startY >= endY) return;

  // The box's footprint grown by 'grow', in grid units, within that selection.
  const double halfW = m_width * 0.5, halfL = m_length * 0.5;
  auto footprint = [&](double grow) {
    return Footprint{std::max((double)startX, (aabbMin.x() - grow) / scale.x() + halfW),
                     std::min((double)endX, (aabbMax.x() + grow) / scale.x() + halfW),
                     std::max((double)startY, (aabbMin.y() - grow) / scale.y() + halfL),
                     std::min((double)endY, (aabbMax.y() + grow) / scale.y() + halfL)};
  };
  auto cells = [&](const Footprint& f, int& x0, int& x1, int& y0, int& y1) {
    x0 = std::max(startX, (int)std::floor(f.u0));
    x1 = std::min(endX - 1, (int)std::floor(f.u1));
    y0 = std::max(startY, (int)std::floor(f.v0));
    y1 = std::min(endY - 1, (int)std::floor(f.v1));
  };
  auto height = [&](int x, int y) { return m_heightfieldDataFloat[(size_t)y * m_heightStickWidth + x]; };

  // A level patch under a box reaching beyond it by the box's height at least, so that a
  // shape sunk into it leaves through the plane and not over the patch's edge.
  const Footprint wide = footprint(std::max((double)kSlack, (double)(aabbMax.z() - aabbMin.z())));
  if (!wide.IsEmpty()) {
    int x0, x1, y0, y1;
    cells(wide, x0, x1, y0, y1);
    const float h = height(x0, y0);
    bool level = true;
    for (int y = y0; y <= y1 && level; ++y)
      for (int x = x0; x <= x1 && level; ++x)
        if (wide.Touches(x, y, false) || wide.Touches(x, y, true))
          level = height(x, y) == h && height(x + 1, y) == h && height(x, y + 1) == h && height(x + 1, y + 1) == h;
    const double w = (wide.u1 - wide.u0) * scale.x(), l = (wide.v1 - wide.v0) * scale.y();
    if (level && w > 1e-3 && l > 1e-3) {
      btVector3 corner;
      getVertex(x0, y0, corner);  // the patch's height as Bullet places it
      const btScalar z = corner.z();
      if (z < aabbMin.z() - kSlack || z > aabbMax.z() + kSlack) return;
      const btScalar left = (btScalar)((wide.u0 - halfW) * scale.x()), near = (btScalar)((wide.v0 - halfL) * scale.y());
      const btScalar right = (btScalar)((wide.u1 - halfW) * scale.x()), far = (btScalar)((wide.v1 - halfL) * scale.y());
      if (right < aabbMax.x() + kSlack || far < aabbMax.y() + kSlack) {
        // The patch ends near the box (at the field's edge): exactly its rectangle.
        btVector3 first[3] = {btVector3(left, near, z), btVector3(left, far, z), btVector3(right, near, z)};
        callback->processTriangle(first, 2 * x0, y0);
        btVector3 second[3] = {btVector3(right, near, z), btVector3(left, far, z), btVector3(right, far, z)};
        callback->processTriangle(second, 2 * x0 + 1, y0);
        return;
      }
      // One triangle, turned as Bullet's first triangles are, whose long side passes
      // beyond the rectangle's far corner, away from the box.
      btVector3 triangle[3] = {btVector3(left, near, z), btVector3(left, near + (btScalar)(2.5 * l), z),
                               btVector3(left + (btScalar)(2.5 * w), near, z)};
      callback->processTriangle(triangle, 2 * x0, y0);
      return;
    }
  }

  // Bullet's cells and order, without the triangles beyond the slack around the box.
  const Footprint near = footprint(kSlack);
  if (near.IsEmpty()) return;
  int x0, x1, y0, y1;
  cells(near, x0, x1, y0, y1);
  const Range up(aabbMin.z() - kSlack, aabbMax.z() + kSlack);
  auto emit = [&](const btVector3& a, const btVector3& b, const btVector3& c, int part, int index) {
    if (!up.overlaps(Range(std::min({a.z(), b.z(), c.z()}), std::max({a.z(), b.z(), c.z()})))) return;
    btVector3 triangle[3] = {a, b, c};
    callback->processTriangle(triangle, part, index);
  };
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      btVector3 c00, c01, c10, c11;
      getVertex(x, y, c00);
      getVertex(x, y + 1, c01);
      getVertex(x + 1, y, c10);
      getVertex(x + 1, y + 1, c11);
      if (near.Touches(x, y, false)) emit(c00, c01, c10, 2 * x, y);
      if (near.Touches(x, y, true)) emit(c10, c01, c11, 2 * x + 1, y);
    }
  }
}
