// A path: a chain of nodes, open or closed, reference counted, known by its key
// (the object key). Scene paths live in Vision::Game (SearchPath, GetScenePath);
// the game also makes paths of its own.
//
// Segments join consecutive nodes (and the last to the first on a closed path). A
// segment is straight unless one of its two nodes is a Bezier node; then it is the
// cubic curve from A through A + A.out and B + B.in to B.
// EvalPoint(t) gives every segment an equal share of t; EvalPointSmooth(t) runs at
// an even speed along the length. For both, t 0..1 covers the path once; a closed
// path wraps t outside that range, an open one clamps it.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/core/VisPathNode.h"
#include "engine/core/VisTypedEngineObject.h"

#include <vector>

class VArchive;

class VBASE_IMPEXP VisPath_cl : public VisTypedEngineObject_cl, public VRefCounter {
  V_DECLARE_DYNCREATE(VisPath_cl)
 public:
  // Room for that many nodes (more may be added).
  explicit VisPath_cl(int reserveNodes = 0, bool closed = false);
  ~VisPath_cl() override;
  // Deletes the paths the archive created that nobody holds (those a failed block
  // read): they are still the archive's, and nothing else frees them.
  static void DeleteUnreferenced(const VArchive& ar);
  VisPath_cl(const VisPath_cl&) = delete;
  VisPath_cl& operator=(const VisPath_cl&) = delete;

  // The path holds a reference to the node (or to a copy of it).
  void AddPathNode(VisPathNode_cl* node);
  void AddPathNode(const VisPathNode_cl& node) { AddPathNode(new VisPathNode_cl(node)); }
  void DeleteAllPathNodes();
  int GetPathNodeCount() const { return (int)m_nodes.size(); }
  // Null for an index outside the list; with wrap, the index is taken modulo the count.
  VisPathNode_cl* GetPathNode(int index, bool wrap = false) const;

  bool IsClosed() const { return m_bClosed; }
  void SetClosed(bool closed);

  // Points on the path (see above); the zero vector for an empty path, the node's
  // position for a single node.
  VisVector_cl EvalPoint(float t) const;
  VisVector_cl EvalPointSmooth(float t) const;

  // Length along the curve, measured once and kept; -1 until measured.
  float GetLength() const;
  float GetCachedLength() const { return m_arcTable.empty() ? -1.0f : m_arcTable.back(); }
  int GetCachedSampleCount() const { return (int)m_arcTable.size() - 1; }
  // Forgets the kept measurements (-1.0 and -1): call after moving nodes.
  void InvalidateCachedLength();

  // Version byte, the engine object's data (key), closed flag, node count and nodes.
  void Serialize(VArchive& ar) override;
  // Most nodes a saved path may hold.
  static constexpr int MaxSavedNodes = 100000;

 private:
  int GetSegmentCount() const;
  VisVector_cl EvalSegment(int segment, float u) const;
  void Measure() const;
  float WrapParameter(float t) const;

  std::vector<VSmartPtr<VisPathNode_cl>> m_nodes;
  bool m_bClosed = false;
  // Cumulative length at each sample (the first is 0); empty until measured.
  mutable std::vector<float> m_arcTable;
};

extern VBASE_IMPEXP struct NativeClassInfo VisPath_cl_info;
