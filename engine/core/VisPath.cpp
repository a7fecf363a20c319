// Paths: nodes, evaluation along segments and along the length, saved form.
#include "engine/core/VisPath.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisError.h"
#include "engine/core/VScriptManager.h"

#include <algorithm>
#include <cmath>

V_IMPLEMENT_DYNCREATE(VisPath_cl, VisTypedEngineObject_cl)

NativeClassInfo VisPath_cl_info = {"VisPath_cl", &VisTypedEngineObject_info, nullptr};

namespace {
const char kPathVersion = 1;
// Samples per segment for the length table of EvalPointSmooth.
constexpr int kSamplesPerSegment = 32;
}  // namespace

VisPath_cl::VisPath_cl(int reserveNodes, bool closed) : m_bClosed(closed) {
  if (reserveNodes > 0) m_nodes.reserve((size_t)std::min(reserveNodes, MaxSavedNodes));
}

VisPath_cl::~VisPath_cl() = default;

void VisPath_cl::AddPathNode(VisPathNode_cl* node) {
  if (!node) return;
  m_nodes.emplace_back(node);
  InvalidateCachedLength();
}

void VisPath_cl::DeleteAllPathNodes() {
  m_nodes.clear();
  InvalidateCachedLength();
}

VisPathNode_cl* VisPath_cl::GetPathNode(int index, bool wrap) const {
  const int n = (int)m_nodes.size();
  if (n == 0) return nullptr;
  if (wrap) index = ((index % n) + n) % n;
  return (index >= 0 && index < n) ? m_nodes[index].GetPtr() : nullptr;
}

void VisPath_cl::SetClosed(bool closed) {
  if (closed == m_bClosed) return;
  m_bClosed = closed;
  InvalidateCachedLength();
}

void VisPath_cl::InvalidateCachedLength() { m_arcTable.clear(); }

int VisPath_cl::GetSegmentCount() const {
  const int n = (int)m_nodes.size();
  if (n < 2) return 0;
  return m_bClosed ? n : n - 1;
}

VisVector_cl VisPath_cl::EvalSegment(int segment, float u) const {
  const VisPathNode_cl& a = *m_nodes[segment];
  const VisPathNode_cl& b = *m_nodes[(segment + 1) % m_nodes.size()];
  const VisVector_cl& p0 = a.GetPosition();
  const VisVector_cl& p3 = b.GetPosition();
  if (a.GetType() != VIS_PATHNODE_BEZIER && b.GetType() != VIS_PATHNODE_BEZIER) return p0 + (p3 - p0) * u;
  const VisVector_cl p1 = p0 + a.GetControlVertexOut();
  const VisVector_cl p2 = p3 + b.GetControlVertexIn();
  const float v = 1.0f - u;
  return p0 * (v * v * v) + p1 * (3.0f * v * v * u) + p2 * (3.0f * v * u * u) + p3 * (u * u * u);
}

float VisPath_cl::WrapParameter(float t) const {
  if (!std::isfinite(t)) return 0.0f;
  if (m_bClosed) {
    t = t - std::floor(t);
    return t >= 1.0f ? 0.0f : t;
  }
  return std::clamp(t, 0.0f, 1.0f);
}

VisVector_cl VisPath_cl::EvalPoint(float t) const {
  if (m_nodes.empty()) return VisVector_cl(0, 0, 0);
  const int segments = GetSegmentCount();
  if (segments == 0) return m_nodes[0]->GetPosition();
  const float s = WrapParameter(t) * (float)segments;
  const int seg = std::min((int)s, segments - 1);
  return EvalSegment(seg, s - (float)seg);
}

void VisPath_cl::Measure() const {
  m_arcTable.clear();
  const int segments = GetSegmentCount();
  const int samples = segments * kSamplesPerSegment;
  m_arcTable.reserve((size_t)samples + 1);
  m_arcTable.push_back(0.0f);
  VisVector_cl prev = segments ? EvalSegment(0, 0.0f) : VisVector_cl(0, 0, 0);
  float length = 0.0f;
  for (int i = 1; i <= samples; ++i) {
    const int seg = std::min((i - 1) / kSamplesPerSegment, segments - 1);
    const float u = (float)(i - seg * kSamplesPerSegment) / (float)kSamplesPerSegment;
    const VisVector_cl p = EvalSegment(seg, u);
    length += p.GetDistance(prev);
    m_arcTable.push_back(length);
    prev = p;
  }
}

float VisPath_cl::GetLength() const {
  if (m_arcTable.empty()) Measure();
  return m_arcTable.back();
}

VisVector_cl VisPath_cl::EvalPointSmooth(float t) const {
  if (m_nodes.empty()) return VisVector_cl(0, 0, 0);
  const int segments = GetSegmentCount();
  if (segments == 0) return m_nodes[0]->GetPosition();
  const float length = GetLength();
  if (!(length > 0.0f)) return EvalPoint(t);
  // The sample interval holding that distance, then linear within it.
  const float target = WrapParameter(t) * length;
  auto it = std::upper_bound(m_arcTable.begin(), m_arcTable.end(), target);
  const int i = std::clamp((int)(it - m_arcTable.begin()), 1, GetCachedSampleCount());
  const float a = m_arcTable[i - 1], b = m_arcTable[i];
  const float f = b > a ? (target - a) / (b - a) : 0.0f;
  const float sample = (float)(i - 1) + std::clamp(f, 0.0f, 1.0f);
  const int seg = std::min((int)(sample / kSamplesPerSegment), segments - 1);
  return EvalSegment(seg, sample / kSamplesPerSegment - (float)seg);
}

void VisPath_cl::Serialize(VArchive& ar) {
  VisTypedEngineObject_cl::Serialize(ar);
  if (ar.IsSaving()) {
    ar << kPathVersion << m_bClosed << (int)m_nodes.size();
    for (const auto& n : m_nodes)
      ar << n->GetPosition() << n->GetControlVertexIn() << n->GetControlVertexOut() << n->GetType();
    return;
  }
  char version = 0;
  bool closed = false;
  int count = 0;
  ar >> version >> closed >> count;
  // Each node takes 52 bytes: a count the rest of the archive cannot hold is hostile.
  if (!ar.IsOK() || version < 1 || version > kPathVersion || count < 0 || count > MaxSavedNodes ||
      (int64_t)count * 52 > ar.GetRemaining()) {
    Vision::Error.Warning("VisPath_cl: damaged path (version %d, %d nodes)", (int)version, count);
    ar.MarkFailed();
    return;
  }
  DeleteAllPathNodes();
  m_bClosed = closed;
  for (int i = 0; i < count && ar.IsOK(); ++i) {
    VisVector_cl pos, in, out;
    int type = 0;
    ar >> pos >> in >> out >> type;
    AddPathNode(new VisPathNode_cl(pos, in, out, type));
  }
}

void VisPath_cl::DeleteUnreferenced(const VArchive& ar) {
  for (VTypedObject* obj : ar.GetLoadedObjects())
    if (obj->IsOfType(VisPath_cl::GetClassTypeId()) && static_cast<VisPath_cl*>(obj)->GetRefCount() == 0) delete obj;
}
