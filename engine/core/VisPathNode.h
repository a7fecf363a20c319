// One node of a path: a position and two control vertices relative to it.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"

enum VisPathNodeType_e {
  VIS_PATHNODE_LINEAR = 0,  // straight segments through the node; the control vertices are kept, not used
  VIS_PATHNODE_BEZIER = 1,  // curved by its control vertices
};

class VBASE_IMPEXP VisPathNode_cl : public VRefCounter {
 public:
  VisPathNode_cl() = default;
  VisPathNode_cl(const VisVector_cl& position, const VisVector_cl& controlIn, const VisVector_cl& controlOut,
                 int type = VIS_PATHNODE_LINEAR)
      : m_vPosition(position), m_vControlIn(controlIn), m_vControlOut(controlOut), m_iType(type) {}

  const VisVector_cl& GetPosition() const { return m_vPosition; }
  void SetPosition(const VisVector_cl& p) { m_vPosition = p; }
  // Offsets from the position: 'in' shapes the curve arriving, 'out' the curve leaving.
  const VisVector_cl& GetControlVertexIn() const { return m_vControlIn; }
  const VisVector_cl& GetControlVertexOut() const { return m_vControlOut; }
  void SetControlVertices(const VisVector_cl& in, const VisVector_cl& out) { m_vControlIn = in; m_vControlOut = out; }
  int GetType() const { return m_iType; }
  void SetType(int type) { m_iType = type; }

 private:
  VisVector_cl m_vPosition{0, 0, 0};
  VisVector_cl m_vControlIn{0, 0, 0};
  VisVector_cl m_vControlOut{0, 0, 0};
  int m_iType = VIS_PATHNODE_LINEAR;
};
