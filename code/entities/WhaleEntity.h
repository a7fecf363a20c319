// A whale a script ropes to a ship: held beside the ship with a rope between the two
// while attached; once let go (or when its ship sinks or leaves) it swims off,
// dives and is gone.
#pragma once

#include "core/BaseEntity.h"

class ClothEntity;
class ShipEntity;

class WhaleEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(WhaleEntity)
 public:
  static constexpr float SCALING = 0.3f;
  // How far beside the ship's centre the whale swims.
  static constexpr float SIDE_DISTANCE = 12.0f;
  static constexpr float SWIM_SPEED = 7.0f;
  static constexpr float DIVE_SPEED = 5.0f;
  static constexpr float GONE_DEPTH = -20.0f;

  WhaleEntity();
  ~WhaleEntity() override;

  void InitFunction() override;
  // A whale that goes lets its rope go too.
  void DeInitFunction() override;
  // Scaling, the "Whale_Swim" loop and a light, damped body that collides with nothing.
  // A body that already exists (read from a save) is made again at the whale's pose.
  void CommonInit();
  // A loaded whale swims and has its light body again, where it was saved.
  void OnDeserializationCallback(void* context) override;
  // Drops a previous ship and its rope; then, with a ship, takes its place beside it
  // and ropes itself to it.
  void Attach(ShipEntity* ship);
  void Detach();
  // Attached: follows the ship, or lets go when it sinks or leaves. Free: swims off,
  // turning and diving, and is gone below GONE_DEPTH.
  void ThinkFunction() override;
  // The ship and the rope it refers to leaving the world.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  ShipEntity* GetShip() const { return m_pShip; }
  ClothEntity* GetRope() const { return m_pRope; }

 private:
  void HoldBesideShip();
  void MakeRope();
  void RemoveRope();

  ShipEntity* m_pShip = nullptr;
  ClothEntity* m_pRope = nullptr;
};
