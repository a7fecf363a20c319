// The engine entity of every ship at sea and in harbours. Its behaviour lives in
// the components the ship factory attaches; the entity links the ship to its
// persistent record.
#pragma once

#include "core/BaseEntity.h"

class ShipStats;

class ShipEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(ShipEntity)
 public:
  ShipEntity();
  ~ShipEntity() override;

  // The ship's record; not owned (the campaign owns it).
  ShipStats* GetStats() const { return m_pStats; }
  void SetStats(ShipStats* stats) { m_pStats = stats; }

 private:
  ShipStats* m_pStats = nullptr;
};
