// The choice of the ship's first special weapon in a new game, shown inside the
// main menu: three offers that the game script's "GetSW" describes.
#pragma once

#include "engine/base/VString.h"
#include "gui/BaseWindow.h"

#include <vector>

// One offer: its windows and what "GetSW" says of it.
struct SpecialWeaponOffer {
  CEGUI::Window* button = nullptr;
  CEGUI::Window* selection = nullptr;
  CEGUI::Window* weaponImage = nullptr;
  CEGUI::Window* topic = nullptr;
  CEGUI::Window* description = nullptr;
  CEGUI::Window* bottom = nullptr;
  VString image;
  VString topicKey;
  VString descriptionKey;
  VString bottomKey;
  // Kept with the offer; this page does not show it.
  VString extra;
  bool selected = false;
  bool hovered = false;
};

class FrameSpecialWeapon : public BaseWindow {
 public:
  static const int kOfferCount = 3;

  FrameSpecialWeapon();
  ~FrameSpecialWeapon() override;

  bool HookComponents() override;
  // Colours, selection frames and looks of the offers by their marks.
  void OnBeforeGUIUpdate() override;

  int GetSelectedSlot() const { return m_iSelectedSlot; }
  void SetSelectedSlot(int slot) { m_iSelectedSlot = slot; }
  const std::vector<SpecialWeaponOffer>& GetOffers() const { return m_offers; }
  // Each returns the length of the last animation it started, in seconds.
  float StartFadeInAnimation();
  float StartFadeOutAnimation();

  // By the offer button's window ID; an ID outside the offers is ignored.
  bool OfferClicked(const CEGUI::EventArgs& args);
  bool OfferEntered(const CEGUI::EventArgs& args);
  bool OfferLeft(const CEGUI::EventArgs& args);
  void SelectOffer(int index);
  void HoverOffer(int index, bool hovered);
  // Main menu transitions 18 and 21; false without a main menu or when it refuses.
  bool BackClicked(const CEGUI::EventArgs& args);
  bool AcceptClicked(const CEGUI::EventArgs& args);

 private:
  bool IsOffer(int index) const { return index >= 0 && index < (int)m_offers.size(); }
  void UpdateOffer(SpecialWeaponOffer& offer);

  CEGUI::Window* m_pBackButton = nullptr;
  CEGUI::Window* m_pAcceptButton = nullptr;
  CEGUI::Window* m_pTitle = nullptr;
  int m_iSelectedSlot = 0;
  std::vector<SpecialWeaponOffer> m_offers;
};
