// Weapon records.
#include "core/Weapon.h"

const Weapon& Weapon::GetDefault() {
  static const Weapon s_default;
  return s_default;
}
