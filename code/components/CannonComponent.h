// The firing logic of one cannon on a CannonEntity: fire orders as messages, a
// short random fuse, the shot (the projectile of the loaded type), the reload, and
// the state reports (firing, fired, loading, ready) to the cannon entity. The
// special cannon also charges a shot power and fires the special weapons.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VisMath.h"

// What a cannon fires; scripts know the same names and values.
enum ProjectileType {
  PROJECTILE_NONE = 0,
  PROJECTILE_BALL = 1,
  PROJECTILE_CHAIN = 2,
  PROJECTILE_HARPOON = 3,
  PROJECTILE_MINE = 4,
  PROJECTILE_MORTAR = 5,
  PROJECTILE_MIRV = 6,
  PROJECTILE_ROCKET = 7,
  PROJECTILE_HUMANCANNONBALL = 8,
  PROJECTILE_SLOWINGBARREL = 9,
  PROJECTILE_BUBBLEMINE = 10,
  PROJECTILE_MONKEYCANNONBALL = 11,
  PROJECTILE_NOTE = 12,
  PROJECTILE_STINKBOMB = 13,
};

// The cannon groups of a ship. In calls 0 means any group; as a gauge index it is
// both broadsides together.
enum CannonGroup {
  CANNON_GROUP_ALL = 0,
  CANNON_GROUP_LEFT = 1,
  CANNON_GROUP_RIGHT = 2,
  CANNON_GROUP_SPECIAL = 3,
};

// What the special cannon calls on the weapon it launches. The special weapon
// classes (the mine and stink bomb entities; the harpoon, mortar, human cannon
// ball, MIRV and rocket components) derive from it and override their steps.
class ISpecialWeapon {
 public:
  virtual ~ISpecialWeapon() = default;
  // Dropped weapons, once placed and scaled: the physics body, then its spin.
  virtual void Init() {}
  virtual void Throw(const VisVector_cl& /*position*/, const VisVector_cl& /*spin*/) {}
  // Fired weapons: the charged power before the component is attached (the harpoon
  // launches as it is attached), then the shot once it is.
  virtual void SetShootPower(float /*power*/) {}
  virtual void Shoot(float /*power*/) {}
};

class CannonComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(CannonComponent)
 public:
  static constexpr float MAX_FUSE = 0.5f;
  static constexpr float DEFAULT_SPECIAL_POWER = 20.0f;
  static constexpr float MAX_SPECIAL_POWER = 60.0f;
  static constexpr float CHARGE_PER_SECOND = 25.0f;

  CannonComponent();
  ~CannonComponent() override;

  // Cannon entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers for the per-frame update while it has an owner.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 51/52 ignite a left/right cannon with the type in p1, 55 any cannon, 53 the
  // special cannon, 54 charges the special cannon, 16 stops auto-fire.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // Component data, then "ARCH", version 2, auto-fire, "EOA".
  void Serialize(VArchive& ar) override;

  // Per frame: reload countdown (58 at its end), fuse countdown (the shot at its
  // end), or, idle and on auto-fire, a 10 % chance per frame to fire at an enemy.
  virtual void Update();
  // Starts a fuse of up to 0.5 s (message 56) when the group matches and the cannon
  // is neither reloading nor holding shots.
  void Ignite(CannonGroup group, ProjectileType type);
  // Charges the special power (group match, idle cannons only).
  void Load(CannonGroup group, ProjectileType type);
  // The shot: message 59, the projectile with its cannon ball, the sound, the reload.
  void Fire(CannonGroup group);
  // The special cannon's shot of the loaded special weapon. A weapon whose class is
  // not registered launches nothing (one warning per cannon and weapon), and a type
  // that is no special weapon launches nothing either; the reload follows in any case.
  void FireSpecial();
  // Message 57, then the next volley shot or a reload of 3 to 5 times the factor.
  void Reload(CannonGroup group);

  float GetFireDelay() const { return m_fFireDelay; }
  void SetFireDelay(float d) { m_fFireDelay = d; }
  float GetReloadDelay() const { return m_fReloadDelay; }
  void SetReloadDelay(float d) { m_fReloadDelay = d; }
  float GetReloadDelayMax() const { return m_fReloadDelayMax; }
  void SetReloadDelayMax(float d) { m_fReloadDelayMax = d; }
  CannonGroup GetCannonGroup() const { return m_eCannonGroup; }
  void SetCannonGroup(CannonGroup group) { m_eCannonGroup = group; }
  bool IsAutoFire() const { return m_bAutoFire != 0; }
  void SetAutoFire(bool on) { m_bAutoFire = on ? 1 : 0; }
  ProjectileType GetLoadedType() const { return m_eLoadedType; }
  float GetReloadFactor() const { return m_fReloadFactor; }
  float GetSpecialPower() const { return m_fSpecialPower; }
  int GetShotsLeft() const { return m_iShotsLeft; }

 protected:
  static void BuildVarList(VARTABLE& t);
  // The cannon entity that owns the component, or null.
  class CannonEntity* GetMount() const;
  // The ship the cannon entity sits on, or null.
  class ShipEntity* GetShip() const;
  void Charge();
  // The dropped mine or stink bomb, or the projectile with its weapon component.
  void DropSpecial(class ShipEntity* ship, const char* className);
  void ShootSpecial(class CannonEntity* owner, class ShipEntity* ship, const char* className);

  ProjectileType m_eLoadedType = PROJECTILE_NONE;
  float m_fFireDelay = 0.0f;
  float m_fReloadDelay = 0.0f;
  float m_fReloadDelayMax = 0.0f;
  float m_fReloadFactor = 3.0f;
  float m_fSpecialPower = DEFAULT_SPECIAL_POWER;
  CannonGroup m_eCannonGroup = CANNON_GROUP_ALL;
  int m_bAutoFire = 0;
  int m_iShotsLeft = 0;
  // Special weapon types already reported as missing, one bit per type.
  unsigned m_iMissingWeaponsReported = 0;
};
