// A weapon record filled by the game script ("AddWeapon") and kept in
// GameManager's weapon table; soldiers keep copies with their own cool-downs.
#pragma once

#include "engine/base/VString.h"

class Weapon {
 public:
  Weapon() = default;

  int m_iId = 0;
  VString m_sName;
  float m_fCoolDown = 0.0f;      // seconds between two uses
  float m_fCoolDownLeft = 0.0f;  // the holder's own running value
  bool m_bMelee = false;
  bool m_bAreaEffect = false;
  VString m_sMuzzleEffect;
  VString m_sTrailEffect;
  int m_iProjectileType = 0;  // a ProjectileType
  VString m_sProjectileModel;
  int m_iSecondSound = 0;  // SFXTypes effect after the strike or shot
  int m_iFirstSound = 0;   // SFXTypes effect when the attack starts

  // The all-zero record handed out for unknown ids.
  static const Weapon& GetDefault();
};
