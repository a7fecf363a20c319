// The sea mine a ship drops behind itself: a barrel that tumbles up to the surface
// and explodes when its fuse runs out, hitting every ship in its blast range and
// shortening the fuses of the mines around it, so that mine fields go off in a
// ragged chain. Its floating body, its spin and its saved fuse serve the stink
// bomb too.
#pragma once

#include "components/CannonComponent.h"
#include "entities/ProjectileEntity.h"

#include <vector>

class ShipEntity;
class vPhysXRigidBody;

class MineEntity : public ProjectileEntity, public ISpecialWeapon {
  V_DECLARE_DYNCREATE(MineEntity)
 public:
  static constexpr float FUSE = 5.5f;
  static constexpr float BLAST_RANGE = 20.0f;
  static constexpr float RISE_SPEED = 1.5f;

  MineEntity();

  // The engine entity's initialisation, then the floating body.
  void Init() override;
  // Sets the body's angular velocity to spin; the position is not used.
  void Throw(const VisVector_cl& position, const VisVector_cl& spin) override;
  // Per frame (not during the game pause): a barrel under water rises until it
  // splashes through the surface and loses its body; the fuse burns down and
  // explodes the mine, or, when it has exploded already, only removes it.
  void ThinkFunction() override;
  // Once: the sound and the effect, message 20 to every ship in the blast range,
  // the chain to the mines around, and the removal.
  virtual void Explode();
  // The projectile's block, then the fuse block.
  void Serialize(VArchive& ar) override;

  float GetExplosionTimer() const { return m_fExplosionTimer; }
  void DecExplosionTimer(float seconds) { m_fExplosionTimer -= seconds; }
  bool HasExploded() const { return m_bExploded; }
  void SetExploded(bool exploded) { m_bExploded = exploded; }
  float GetBlastRange() const { return m_fBlastRange; }

  // The body of a dropped weapon: mass 100, the model's box, colliding with nothing
  // and reporting no contacts. Null when the entity refuses it.
  static vPhysXRigidBody* AddFloatingBody(VisBaseEntity_cl* entity);
  // The angular velocity of the entity's rigid body, when it has one.
  static void SpinBody(VisBaseEntity_cl* entity, const VisVector_cl& spin);
  // The block both dropped weapons save after the projectile's: "ARCH", version 2,
  // exploded (one byte), timer, range, "EOA". Values change only on a whole block.
  static void SerializeFuse(VArchive& ar, const char* owner, bool& exploded, float& timer, float& range);
  // The friendly ships and then the enemy ships of nation 0 within range of the
  // position: every ship there that is not sinking, once each.
  static std::vector<ShipEntity*> ShipsInBlast(const VisVector_cl& position, float range);

 protected:
  bool m_bExploded = false;
  float m_fExplosionTimer = FUSE;
  float m_fBlastRange = BLAST_RANGE;
};
