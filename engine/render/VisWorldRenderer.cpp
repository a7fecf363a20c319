// The world pass and its OpenGL drawing.
#include "engine/render/VisWorldRenderer.h"

#include "engine/base/VarTable.h"
#include "engine/base/VisError.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisGame.h"
#include "engine/core/VisParticleGroupManager.h"
#include "engine/core/VisRenderContext.h"
#include "engine/core/VisStaticGeometryInstance.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/core/VisWorld.h"
#include "engine/render/VGLDevice.h"
#include "engine/render/VisRenderer.h"
#include "engine/render/VisScreenMask.h"

#include <GL/glew.h>

#include <algorithm>
#include <cmath>
#include <cstring>

// ---- view volume ----------------------------------------------------------------

VisFrustum_cl::VisFrustum_cl(const VisRenderContext_cl& context)
    : m_position(context.GetCameraPosition()), m_rotation(context.GetCameraRotation()) {
  context.GetHalfFovTangents(m_tanX, m_tanY);
  context.GetClipPlanes(m_near, m_far);
}

VisVector_cl VisFrustum_cl::ToLocal(const VisVector_cl& world) const {
  const VisVector_cl d = world - m_position;
  return VisVector_cl(m_rotation.GetColumn(0).Dot(d), m_rotation.GetColumn(1).Dot(d), m_rotation.GetColumn(2).Dot(d));
}

bool VisFrustum_cl::IsPointInside(const VisVector_cl& world) const {
  const VisVector_cl l = ToLocal(world);
  return l.x >= m_near && l.x <= m_far && std::fabs(l.y) <= m_tanX * l.x && std::fabs(l.z) <= m_tanY * l.x;
}

bool VisFrustum_cl::IsBoxInside(const VisVector_cl corners[8]) const {
  // Per plane, whether some corner is on its inner side.
  bool nearIn = false, farIn = false, leftIn = false, rightIn = false, upIn = false, downIn = false;
  for (int i = 0; i < 8; ++i) {
    const VisVector_cl l = ToLocal(corners[i]);
    nearIn |= l.x >= m_near;
    farIn |= l.x <= m_far;
    leftIn |= l.y <= m_tanX * l.x;
    rightIn |= -l.y <= m_tanX * l.x;
    upIn |= l.z <= m_tanY * l.x;
    downIn |= -l.z <= m_tanY * l.x;
  }
  return nearIn && farIn && leftIn && rightIn && upIn && downIn;
}

bool VisFrustum_cl::IsBoxInside(const VisBoundingBox_cl& local, const VisVector_cl& position,
                                const VisMatrix3x3_cl& rotation) const {
  VisVector_cl corners[8];
  for (int i = 0; i < 8; ++i)
    corners[i] = position + rotation * VisVector_cl((i & 1) ? local.m_vMax.x : local.m_vMin.x,
                                                    (i & 2) ? local.m_vMax.y : local.m_vMin.y,
                                                    (i & 4) ? local.m_vMax.z : local.m_vMin.z);
  return IsBoxInside(corners);
}

void VisFrustum_cl::GetCorners(VisVector_cl out[8]) const {
  for (int i = 0; i < 8; ++i) {
    const float d = i < 4 ? m_near : m_far;
    const VisVector_cl local(d, ((i & 1) ? 1.0f : -1.0f) * m_tanX * d, ((i & 2) ? 1.0f : -1.0f) * m_tanY * d);
    out[i] = m_position + m_rotation * local;
  }
}

bool VisFrustum_cl::CrossesPlane(float height) const {
  VisVector_cl corners[8];
  GetCorners(corners);
  bool above = false, below = false;
  for (const VisVector_cl& c : corners) {
    above |= c.z >= height;
    below |= c.z <= height;
  }
  return above && below;
}

// ---- the pass ---------------------------------------------------------------------

namespace {

void SetColour(float out[4], float r, float g, float b, float a = 1.0f) {
  out[0] = r;
  out[1] = g;
  out[2] = b;
  out[3] = a;
}

// 0xRRGGBBAA, as VColorRef::GetRGBA.
void ColourFromRGBA(uint32_t c, float out[4]) {
  SetColour(out, ((c >> 24) & 255) / 255.0f, ((c >> 16) & 255) / 255.0f, ((c >> 8) & 255) / 255.0f, (c & 255) / 255.0f);
}

// The sea and a flat terrain are drawn as a square this far around the camera.
float PlaneReach(const VisRenderContext_cl& context) {
  float n = 0, f = 0;
  context.GetClipPlanes(n, f);
  return std::clamp(f, 100.0f, 50000.0f);
}

void AddPlane(VisDrawList_cl& list, int kind, const void* object, const VisVector_cl& camera, float reach, float height,
              const float colour[4]) {
  VisDrawItem_t item;
  item.kind = kind;
  item.object = object;
  item.a = VisVector_cl(camera.x - reach, camera.y - reach, height);
  item.b = VisVector_cl(2.0f * reach, 2.0f * reach, 0.0f);
  std::memcpy(item.colour, colour, sizeof(item.colour));
  list.Add(item);
}

// Whether the box holds the point (a camera inside a box looks out of it).
bool BoxHolds(const VisStaticGeometryInstance_cl& g, const VisVector_cl& point) {
  const VisVector_cl l = g.GetRotationMatrix().GetTransposed() * (point - g.GetCenter());
  const VisVector_cl h = g.GetSize() * 0.5f;
  return std::fabs(l.x) <= h.x && std::fabs(l.y) <= h.y && std::fabs(l.z) <= h.z;
}

// Hidden: the sight line from the camera to the point enters a static box first.
bool IsHiddenBehind(const std::vector<VisStaticGeometryInstance_cl*>& occluders, const VisVector_cl& camera,
                    const VisVector_cl& point) {
  float t = 0.0f;
  VisVector_cl normal;
  for (const VisStaticGeometryInstance_cl* g : occluders)
    if (g->IntersectSegment(camera, point, t, normal)) return true;
  return false;
}

constexpr float kTerrainColour[4] = {0.36f, 0.52f, 0.27f, 1.0f};
constexpr float kSeaColour[4] = {0.10f, 0.30f, 0.55f, 1.0f};
constexpr float kStaticColour[4] = {0.55f, 0.50f, 0.45f, 1.0f};

}  // namespace

VisWorldRenderer_cl& VisWorldRenderer_cl::GetInstance() {
  static VisWorldRenderer_cl renderer;
  return renderer;
}

void VisWorldRenderer_cl::GetNationColour(int nation, float out[4]) {
  static const float palette[8][3] = {
      {0.20f, 0.40f, 0.90f}, {0.85f, 0.20f, 0.20f}, {0.90f, 0.80f, 0.20f}, {0.20f, 0.70f, 0.30f},
      {0.95f, 0.55f, 0.10f}, {0.60f, 0.30f, 0.80f}, {0.20f, 0.80f, 0.80f}, {0.90f, 0.90f, 0.90f},
  };
  if (nation <= 0) {
    SetColour(out, 0.55f, 0.55f, 0.55f);
    return;
  }
  const float* c = palette[(nation - 1) % 8];
  SetColour(out, c[0], c[1], c[2]);
}

int VisWorldRenderer_cl::GetEntityNation(const VisBaseEntity_cl* entity) {
  const VType* type = entity->GetTypeId();
  auto it = m_nationVars.find(type);
  if (it == m_nationVars.end()) {
    VisVariable_cl* var = entity->GetVariable("m_iNation");
    if (var && (var->type != VULPTYPE_INT || var->storageSize != (int)sizeof(int))) var = nullptr;
    it = m_nationVars.emplace(type, var).first;
  }
  if (!it->second) return -1;
  return *static_cast<const int*>(it->second->GetValuePtr(const_cast<VisBaseEntity_cl*>(entity)));
}

bool VisWorldRenderer_cl::MakeEntityBoxItem(const VisBaseEntity_cl* entity, int kind, VisDrawItem_t& out) {
  VisBoundingBox_cl box;
  entity->GetBoundingBox(box);
  if (!box.IsValid()) return false;
  box = box.GetScaled(entity->GetScaling());
  out.kind = kind;
  out.object = entity;
  out.a = box.m_vMin;
  out.b = box.m_vMax;
  out.position = entity->GetPosition();
  out.rotation = entity->GetRotationMatrix();
  return true;
}

void VisWorldRenderer_cl::BuildFrame(VisRenderContext_cl* context) {
  if (!context) context = VisRenderContext_cl::GetMainRenderContext();
  VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  VisVisibilityCollector_cl& seen = *context->GetVisibilityCollector();
  list.Clear();
  seen.Clear();
  const VisFrustum_cl frustum(*context);
  const VisVector_cl& camera = context->GetCameraPosition();
  const float reach = PlaneReach(*context);

  // Ground: the terrain, else the open sea; a height field dipping below 0 has sea too.
  VisWorld_cl& world = Vision::World;
  bool sea = !world.HasTerrain();
  if (VisStaticGeometryInstance_cl* ground = world.GetTerrainSurfaceInstance()) {
    bool visible;
    if (world.IsHeightFieldTerrain()) {
      VisBoundingBox_cl box;
      ground->GetBoundingBox(box);
      visible = frustum.IsBoxInside(box, VisVector_cl(0, 0, 0), VisMatrix3x3_cl());
      sea = box.m_vMin.z < 0.0f;
      if (visible) {
        VisDrawItem_t item;
        item.kind = VIS_DRAW_TERRAIN;
        item.object = ground;
        item.a = world.GetTerrainOrigin();
        item.b = VisVector_cl(world.GetTerrainSizeX(), world.GetTerrainSizeY(), 0.0f);
        std::memcpy(item.colour, kTerrainColour, sizeof(item.colour));
        list.Add(item);
      }
    } else {
      visible = frustum.CrossesPlane(world.GetFlatTerrainHeight());
      if (visible) AddPlane(list, VIS_DRAW_TERRAIN, ground, camera, reach, world.GetFlatTerrainHeight(), kTerrainColour);
    }
    if (visible) seen.m_geometry.push_back(ground);
  }
  if (sea && frustum.CrossesPlane(0.0f)) AddPlane(list, VIS_DRAW_SEA, nullptr, camera, reach, 0.0f, kSeaColour);

  std::vector<VisStaticGeometryInstance_cl*>& occluders = m_occluders;
  occluders.clear();
  for (int i = 0; i < world.GetStaticGeometryInstanceCount(); ++i) {
    VisStaticGeometryInstance_cl* g = world.GetStaticGeometryInstance(i);
    const VisVector_cl half = g->GetSize() * 0.5f;
    const VisBoundingBox_cl local(-half, half);
    if (!frustum.IsBoxInside(local, g->GetCenter(), g->GetRotationMatrix())) continue;
    seen.m_geometry.push_back(g);
    if (!BoxHolds(*g, camera)) occluders.push_back(g);
    VisDrawItem_t item;
    item.kind = VIS_DRAW_STATIC_BOX;
    item.object = g;
    item.a = local.m_vMin;
    item.b = local.m_vMax;
    item.position = g->GetCenter();
    item.rotation = g->GetRotationMatrix();
    std::memcpy(item.colour, kStaticColour, sizeof(item.colour));
    list.Add(item);
  }

  // Entities: inside the volume by their visibility box, or by their position
  // when they have none; seen unless a static box stands between the camera and
  // the box's centre. A hidden entity is still drawn: the depth test hides what
  // the box covers, and its edges may show.
  for (VisBaseEntity_cl* e : Vision::Game.GetEntities()) {
    if (!e || e->IsMarkedRemoved()) continue;
    VisBoundingBox_cl local;
    e->GetLocalVisBoundingBox(local);
    const bool inside = local.IsValid() ? frustum.IsBoxInside(local, e->GetPosition(), e->GetRotationMatrix())
                                        : frustum.IsPointInside(e->GetPosition());
    const bool hidden =
        inside && !occluders.empty() &&
        IsHiddenBehind(occluders, camera,
                       local.IsValid() ? e->GetPosition() + e->GetRotationMatrix() * local.GetCenter() : e->GetPosition());
    e->SetInViewLastFrame(inside && !hidden);
    if (!inside || e->GetVisibleBitmask() == 0) continue;
    if (!hidden) seen.m_entities.push_back(e);
    VisDrawItem_t item;
    if (e->IsNoMesh() || !MakeEntityBoxItem(e, VIS_DRAW_ENTITY_BOX, item)) continue;
    GetNationColour(GetEntityNation(e), item.colour);
    list.Add(item);
    const VDynamicMesh* mesh = e->GetMesh();
    for (int b = 0; mesh && b < mesh->GetBoneCount(); ++b) {
      const int parent = mesh->GetBone(b).parent;
      VisDrawItem_t bone;
      VisQuaternion_cl q;
      if (parent < 0 || !e->GetBoneCurrentWorldSpaceTransformation(parent, bone.a, q) ||
          !e->GetBoneCurrentWorldSpaceTransformation(b, bone.b, q))
        continue;
      bone.kind = VIS_DRAW_BONE;
      bone.object = e;
      bone.position = item.position;
      bone.rotation = item.rotation;
      std::memcpy(bone.colour, item.colour, sizeof(bone.colour));
      list.Add(bone);
    }
  }

  // Live particles: one item per effect at its position (b.x = the particle count).
  VisParticleGroupManager_cl& particles = VisParticleGroupManager_cl::GlobalManager();
  for (int i = 0; i < particles.GetEffectCount(); ++i) {
    VisParticleEffect_cl* fx = particles.GetEffect(i);
    const int count = fx->GetNumOfParticles();
    if (!fx->IsVisible() || fx->IsRemoved() || count == 0 || !frustum.IsPointInside(fx->GetPosition())) continue;
    VisDrawItem_t item;
    item.kind = VIS_DRAW_PARTICLE;
    item.object = fx;
    item.a = fx->GetPosition();
    item.b = VisVector_cl((float)count, 0, 0);
    item.position = item.a;
    ColourFromRGBA(fx->GetColor().GetRGBA(), item.colour);
    list.Add(item);
  }

  for (const VisMessage_cl::Entry& e : Vision::Message.GetFrameEntries()) {
    if (e.kind != VisMessage_cl::Entry::Line) continue;
    VisDrawItem_t item;
    item.kind = VIS_DRAW_LINE;
    item.a = VisVector_cl(e.x, e.y, e.z);
    item.b = VisVector_cl(e.x2, e.y2, e.z2);
    ColourFromRGBA(e.colour, item.colour);
    list.Add(item);
  }

  for (VisScreenMask_cl* mask : VisScreenMask_cl::GetVisibleMasks()) {
    VisDrawItem_t item;
    item.kind = VIS_DRAW_SCREENMASK;
    item.object = mask;
    mask->GetPos(item.a.x, item.a.y);
    mask->GetTargetSize(item.b.x, item.b.y);
    list.Add(item);
  }
}

// ---- OpenGL -----------------------------------------------------------------------

namespace {

const VisVector_cl kLight = VisVector_cl(0.4f, 0.3f, 0.85f).GetNormalized();

// Flat shading: the face's colour dimmed by how far it turns from the light.
void ShadedColour(const float c[4], const VisVector_cl& normal) {
  const float lit = 0.45f + 0.55f * std::max(0.0f, normal.Dot(kLight));
  glColor4f(c[0] * lit, c[1] * lit, c[2] * lit, c[3]);
}

void Vertex(const VisVector_cl& v) { glVertex3f(v.x, v.y, v.z); }

// The eight corners of an item's box in the world (bit 0: x, bit 1: y, bit 2: z).
void BoxCorners(const VisDrawItem_t& item, VisVector_cl out[8]) {
  for (int i = 0; i < 8; ++i)
    out[i] = item.position + item.rotation * VisVector_cl((i & 1) ? item.b.x : item.a.x, (i & 2) ? item.b.y : item.a.y,
                                                          (i & 4) ? item.b.z : item.a.z);
}

void DrawSolidBox(const VisDrawItem_t& item) {
  VisVector_cl c[8];
  BoxCorners(item, c);
  // Faces by corner index, counter-clockwise seen from outside, with their local normal.
  static const int faces[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};
  static const float normals[6][3] = {{-1, 0, 0}, {1, 0, 0}, {0, -1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}};
  glBegin(GL_QUADS);
  for (int f = 0; f < 6; ++f) {
    ShadedColour(item.colour, item.rotation * VisVector_cl(normals[f][0], normals[f][1], normals[f][2]));
    for (int k = 0; k < 4; ++k) Vertex(c[faces[f][k]]);
  }
  glEnd();
}

void DrawBoxEdges(const VisDrawItem_t& item) {
  VisVector_cl c[8];
  BoxCorners(item, c);
  glBegin(GL_LINES);
  for (int i = 0; i < 8; ++i)
    for (int bit = 1; bit < 8; bit <<= 1)
      if (!(i & bit)) {
        Vertex(c[i]);
        Vertex(c[i | bit]);
      }
  glEnd();
}

void DrawHeightField(const VisDrawItem_t& item) {
  const VisWorld_cl& w = Vision::World;
  if (!w.IsHeightFieldTerrain()) return;
  const int nx = w.GetTerrainSamplesX(), ny = w.GetTerrainSamplesY();
  // Large fields are drawn with a coarser grid.
  const int step = std::max(1, std::max(nx, ny) / 256);
  const VisVector_cl& o = w.GetTerrainOrigin();
  const float cx = w.GetTerrainSizeX() / (nx - 1), cy = w.GetTerrainSizeY() / (ny - 1);
  const std::vector<float>& h = w.GetTerrainHeights();
  auto at = [&](int i, int j) {
    i = std::min(i, nx - 1);
    j = std::min(j, ny - 1);
    return VisVector_cl(o.x + i * cx, o.y + j * cy, o.z + h[(size_t)j * nx + i]);
  };
  auto tri = [&](const VisVector_cl& a, const VisVector_cl& b, const VisVector_cl& c) {
    ShadedColour(item.colour, (b - a).Cross(c - a).GetNormalized());
    Vertex(a);
    Vertex(b);
    Vertex(c);
  };
  glBegin(GL_TRIANGLES);
  for (int j = 0; j < ny - 1; j += step)
    for (int i = 0; i < nx - 1; i += step) {
      const VisVector_cl p00 = at(i, j), p10 = at(i + step, j), p01 = at(i, j + step), p11 = at(i + step, j + step);
      // Split along the diagonal from (x+1, y) to (x, y+1), as the physics does.
      tri(p00, p10, p01);
      tri(p10, p11, p01);
    }
  glEnd();
}

void DrawPlane(const VisDrawItem_t& item) {
  glColor4f(item.colour[0], item.colour[1], item.colour[2], item.colour[3]);
  glBegin(GL_QUADS);
  glVertex3f(item.a.x, item.a.y, item.a.z);
  glVertex3f(item.a.x + item.b.x, item.a.y, item.a.z);
  glVertex3f(item.a.x + item.b.x, item.a.y + item.b.y, item.a.z);
  glVertex3f(item.a.x, item.a.y + item.b.y, item.a.z);
  glEnd();
}

// A few points around the effect, more for more particles.
void DrawParticles(const VisDrawItem_t& item) {
  const int n = std::clamp((int)item.b.x, 1, 32);
  glColor4f(item.colour[0], item.colour[1], item.colour[2], 1.0f);
  glBegin(GL_POINTS);
  for (int i = 0; i < n; ++i) {
    const float angle = 2.39996f * (float)i, radius = 0.35f * std::sqrt((float)i);
    glVertex3f(item.a.x + radius * std::cos(angle), item.a.y + radius * std::sin(angle), item.a.z + 0.1f * (float)(i % 5));
  }
  glEnd();
}

}  // namespace

void VisWorldRenderer_cl::DrawWithDevice(const VisRenderContext_cl* context) {
  VGLDevice& device = VGLDevice::GetInstance();
  if (!device.IsOpen()) return;
  if (!context) context = VisRenderContext_cl::GetMainRenderContext();
  float tanX = 1.0f, tanY = 1.0f, n = 1.0f, f = 1000.0f;
  context->GetHalfFovTangents(tanX, tanY);
  context->GetClipPlanes(n, f);
  if (!(n > 0.0f) || !(f > n)) return;

  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glUseProgram(0);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glFrustum(-n * tanX, n * tanX, -n * tanY, n * tanY, n, f);
  // Eye space from the camera's frame: right = -left, up = up, back = -forward.
  const VisMatrix3x3_cl& r = context->GetCameraRotation();
  const VisVector_cl& p = context->GetCameraPosition();
  const VisVector_cl rows[3] = {-r.GetColumn(1), r.GetColumn(2), -r.GetColumn(0)};
  float view[16] = {0};
  for (int row = 0; row < 3; ++row) {
    view[0 * 4 + row] = rows[row].x;
    view[1 * 4 + row] = rows[row].y;
    view[2 * 4 + row] = rows[row].z;
    view[3 * 4 + row] = -rows[row].Dot(p);
  }
  view[15] = 1.0f;
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadMatrixf(view);

  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_BLEND);
  glDisable(GL_CULL_FACE);
  glShadeModel(GL_FLAT);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glDepthMask(GL_TRUE);
  glClear(GL_DEPTH_BUFFER_BIT);

  const VisDrawList_cl& list = Vision::Renderer.GetDrawList();
  // Entities with a skeleton show as a wire box around their bones.
  const void* skeletal = nullptr;
  for (const VisDrawItem_t& item : list.GetItems()) {
    switch (item.kind) {
      case VIS_DRAW_TERRAIN:
        if (Vision::World.IsHeightFieldTerrain())
          DrawHeightField(item);
        else
          DrawPlane(item);
        break;
      case VIS_DRAW_SEA:
        // Under a terrain that dips into it, slightly lower so the shore wins.
        glPolygonOffset(1.0f, 1.0f);
        glEnable(GL_POLYGON_OFFSET_FILL);
        DrawPlane(item);
        glDisable(GL_POLYGON_OFFSET_FILL);
        break;
      case VIS_DRAW_STATIC_BOX:
        DrawSolidBox(item);
        break;
      case VIS_DRAW_ENTITY_BOX: {
        const auto* e = static_cast<const VisBaseEntity_cl*>(item.object);
        if (e->GetMesh() && e->GetMesh()->HasSkeleton()) {
          skeletal = e;
          glLineWidth(1.0f);
          glColor4f(item.colour[0], item.colour[1], item.colour[2], 1.0f);
          DrawBoxEdges(item);
        } else {
          DrawSolidBox(item);
        }
        break;
      }
      case VIS_DRAW_BONE:
        glLineWidth(item.object == skeletal ? 3.0f : 1.0f);
        glColor4f(item.colour[0], item.colour[1], item.colour[2], 1.0f);
        glBegin(GL_LINES);
        Vertex(item.a);
        Vertex(item.b);
        glEnd();
        break;
      case VIS_DRAW_PARTICLE:
        glPointSize(4.0f);
        DrawParticles(item);
        break;
      default:
        break;
    }
  }
  // Lines and outlines over the solid world; occlusion outlines show through it.
  for (const VisDrawItem_t& item : list.GetItems()) {
    if (item.kind == VIS_DRAW_LINE) {
      glLineWidth(1.0f);
      glColor4f(item.colour[0], item.colour[1], item.colour[2], item.colour[3]);
      glBegin(GL_LINES);
      Vertex(item.a);
      Vertex(item.b);
      glEnd();
    } else if (item.kind == VIS_DRAW_OUTLINE) {
      const bool throughWalls = item.technique && std::strstr(item.technique, "Occlusion");
      if (throughWalls) glDisable(GL_DEPTH_TEST);
      glLineWidth(3.0f);
      glColor4f(item.colour[0], item.colour[1], item.colour[2], 1.0f);
      DrawBoxEdges(item);
      if (throughWalls) glEnable(GL_DEPTH_TEST);
    }
  }

  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}
