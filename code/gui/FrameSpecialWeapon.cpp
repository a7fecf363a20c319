#include "gui/FrameSpecialWeapon.h"

#include "gui/GUIManager.h"

FrameSpecialWeapon::FrameSpecialWeapon() : BaseWindow(WT_SPECIAL_WEAPON, "SpecialWeaponSelection.layout") {}

FrameSpecialWeapon::~FrameSpecialWeapon() {}

float FrameSpecialWeapon::StartFadeInAnimation() { return 0.0f; }

float FrameSpecialWeapon::StartFadeOutAnimation() { return 0.0f; }
