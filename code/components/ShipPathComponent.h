// The ship's waypoint follower: turns a scene path into waypoints starting where
// the ship is, and hands an idle AI ship back to sailing or going to town.
#pragma once

#include "components/BasePathComponent.h"

class VArchive;

class ShipPathComponent : public BasePathComponent {
  V_DECLARE_DYNCREATE(ShipPathComponent)
 public:
  ShipPathComponent();
  ~ShipPathComponent() override;

  // An idle AI becomes sailing (not on a manual path) or going to town.
  void UpdateOwner() override;
  using BasePathComponent::FollowPath;
  // Waypoints once round the path, step apart in its parameter, from its point
  // nearest to the ship. False without path or owner.
  virtual bool FollowPath(VisPath_cl* path, float step);
  virtual void OwnerStops();
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;
  // "ARCH", version 2, the path, the waypoints, step length, reach distance,
  // looping, "EOA".
  virtual bool SerializeX(VArchive& ar);
};
