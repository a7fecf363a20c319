// One cannon position on a ship or a tower: a child of the ship that carries the
// cannon component, knows where the ball leaves the barrel, and relays every
// message it receives to its parent (how the ship hears its cannons' states).
#pragma once

#include "engine/core/VisBaseEntity.h"

class CannonEntity : public VisBaseEntity_cl {
  V_DECLARE_DYNCREATE(CannonEntity)
 public:
  CannonEntity();
  ~CannonEntity() override;
  // A mount leaving the world takes its special cannon from its ship.
  void DeInitFunction() override;

  // Where the ball leaves the barrel, relative to the entity.
  const VisVector_cl& GetOffset() const { return m_vOffset; }
  void SetOffset(const VisVector_cl& offset) { m_vOffset = offset; }
  bool IsSpecialCannon() const { return m_bSpecialCannon != 0; }
  void SetSpecialCannon(bool special) { m_bSpecialCannon = special ? 1 : 0; }
  bool GetDebugDraw() const { return m_bDebugDraw != 0; }

  // 11001 switches the debug cross by "m_bDebugDraw"; 10000 is ignored; every other
  // message goes on to the parent (unless the parent sent it, p2), with p2 = this
  // cannon, and then to the components.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  void EditorThinkFunction() override;
  // Three short lines crossing at the muzzle point.
  void DebugDraw();
  // Entity data, then "ARCH", version 2, offset, debug draw, special cannon, "EOA".
  // Saving switches the debug drawing off.
  void Serialize(VArchive& ar) override;

 protected:
  static void BuildVarList(VARTABLE& t);
  // The world detaches a mount from its ship before disposing of its components, so
  // the mount tells the ship while both are still joined.
  void LeaveShipsSpecialCannon();

  VisVector_cl m_vOffset{0, 0, 0};
  int m_bSpecialCannon = 0;
  int m_bDebugDraw = 0;
};
