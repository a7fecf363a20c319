// The potion HUD.
#include "gui/FramePotionHud.h"

#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/Quaternion.h>
#include <CEGUI/Window.h>

#include <cstdio>

namespace {

const char* const kStartImages[] = {"set:Buttons_01 image:Potion1", "set:Buttons_01 image:Skill3Normal"};

CEGUI::Window* Widget(BaseWindow& frame, int slot, const char* part) {
  char name[96];
  std::snprintf(name, sizeof(name), "PotionHud/Window/Item%d%s", slot, part);
  return frame.GetComponent(name);
}

}  // namespace

FramePotionHud::FramePotionHud() : BaseWindow(WT_POTION_HUD, "PotionHud.layout") {}

FramePotionHud::~FramePotionHud() = default;

bool FramePotionHud::HookComponents() {
  m_slots.clear();
  for (int i = 0; i < m_iSlotCount; ++i) {
    PotionHudSlot slot;
    slot.item = Widget(*this, i, "");
    slot.button = Widget(*this, i, "/Button");
    slot.loadBar = Widget(*this, i, "/Load/Bar");
    slot.load = Widget(*this, i, "/Load");
    slot.loadFrame = Widget(*this, i, "/Load/Frame");
    slot.image = kStartImages[i < 2 ? i : 1];
    if (slot.item) slot.item->setVisible(false);
    m_slots.push_back(slot);
  }
  return BaseWindow::HookComponents();
}

bool FramePotionHud::IsSlotVisible(int i) const {
  const PotionHudSlot* slot = GetSlot(i);
  return slot && slot->item && slot->item->isVisible();
}

void FramePotionHud::OnBeforeGUIUpdate() {
  if (m_pRootWindow && m_pRootWindow->isVisible() && !GUIManager::GetInstance()->IsWindowVisible(WT_MAIN_MENU))
    Refresh();
  BaseWindow::OnBeforeGUIUpdate();
}

void FramePotionHud::TurnBar(PotionHudSlot& slot) {
  if (slot.total == 0.0f) slot.total = slot.remaining;
  if (slot.remaining >= 0.0f) {
    // Without a length (0 or less) there is nothing to turn: 0 over 0 is no angle.
    slot.rotation = slot.total > 0.0f ? -(slot.total - slot.remaining) / slot.total * 180.0f : 0.0f;
    if (slot.loadBar)
      CeguiCompat::Try("potion bar", [&] {
        slot.loadBar->setRotation(CEGUI::Quaternion::eulerAnglesDegrees(0.0f, 0.0f, slot.rotation));
      });
  }
  CeguiCompat::SetProperty(slot.button, "Image", slot.image);
}

void FramePotionHud::ShowSlot(PotionHudSlot& slot) {
  if (slot.item && !slot.item->isVisible()) slot.item->setVisible(true);
}

void FramePotionHud::Refresh() {
  ArtifactManager* artifacts = ArtifactManager::GetInstance();
  int k = 0;
  const auto& potions = artifacts->GetPotions();
  if (!potions.empty() && potions.begin()->second.time > 0.0f && k < (int)m_slots.size()) {
    PotionHudSlot& slot = m_slots[k];
    ShowSlot(slot);
    const Potion* potion =
        GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetPotionId(potions.begin()->first) : nullptr;
    if (potion) slot.image = potion->buttonImage.AsChar();
    TurnBar(slot);
    slot.total = artifacts->GetPotionFullDuration();
    slot.remaining = potions.begin()->second.time;
    ++k;
  }
  const auto& timed = artifacts->GetTimedArtifacts();
  if (!timed.empty() && timed.begin()->second.time > 0.0f && k < (int)m_slots.size()) {
    PotionHudSlot& slot = m_slots[k];
    const VString& image = artifacts->GetActiveArtifactButtonImage();
    if (!image.IsEmpty()) {
      ShowSlot(slot);
      slot.image = image.AsChar();
      TurnBar(slot);
    }
    slot.total = artifacts->GetArtifactFullDuration();
    slot.remaining = timed.begin()->second.time;
    ++k;
  }
  for (int i = (int)m_slots.size() - 1; i >= k; --i)
    if (m_slots[i].item && m_slots[i].item->isVisible()) m_slots[i].item->setVisible(false);
}
