// The sea head-up frame.
#include "gui/FrameBattleHud.h"

#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "components/CannonComponent.h"
#include "components/CannonObserverComponent.h"
#include "core/GameManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/PlayerStats.h"
#include "entities/ShipEntity.h"
#include "entities/ShipStats.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "gui/HudWidgets.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"

#include <CEGUI/CEGUI.h>
#include <CEGUI/Quaternion.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

using CeguiCompat::Try;
using namespace HudWidgets;

namespace {

const char* const kRoot = "BattleHud/Window/";
// Background heights in pixels without and with the special-weapon panel.
const float kBackgroundHeight = 220.0f;
const float kBackgroundHeightWithWeapon = 313.0f;
// A full hit-point bar fills this share of its parent.
const float kHitpointBarScale = 0.8f;
// Glow alpha per second.
const float kGlowSpeed = 2.0f;
const float kMessageTime = 0.75f;
const float kMessageFadeSpeed = 2.0f;
const int kRumCollectable = 1;
const int kToolboxCollectable = 2;

GameSessionManager* Session() { return GameSessionManager::HasInstance() ? GameSessionManager::GetInstance() : nullptr; }

ShipStats* PlayerShip() {
  GameSessionManager* session = Session();
  return session ? session->GetPlayerControlledShip() : nullptr;
}

ShipEntity* PlayerShipEntity() {
  if (!GameManager::HasInstance()) return nullptr;
  VisBaseEntity_cl* player = GameManager::GetInstance()->GetPlayerEntity();
  return player && player->IsOfType(ShipEntity::GetClassTypeId()) ? static_cast<ShipEntity*>(player) : nullptr;
}

bool AtSea() { return GameManager::HasInstance() && GameManager::GetInstance()->IsPlayerAtSea(); }

int CollectableCount(const char* name) {
  GameSessionManager* session = Session();
  const CollectableEntityTemplate* entry = session ? session->GetCollectableByName(name) : nullptr;
  return entry ? entry->m_iCount : 0;
}

// Current over maximum for a hit-point bar; an untracked or overfull record fills
// the bar, never more.
float HitpointFill(const Hitpoints& points) {
  return HudWidgets::BarShare(points.GetCurrent(), points.GetMaximum()) * kHitpointBarScale;
}

bool HasProperty(CEGUI::Window* window, const char* name) {
  std::string unused;
  return CeguiCompat::GetProperty(window, name, unused);
}

// An image ("set:X image:Y") only when it differs from the one shown; a picture the
// imagesets lack is left out rather than looked for again on every update.
void SetImage(CEGUI::Window* window, const std::string& image) {
  if (!window) return;
  const std::string wanted = CeguiCompat::ConvertImageText(image);
  std::string shown;
  if (!CeguiCompat::GetProperty(window, "Image", shown) || shown == wanted) return;
  if (!CEGUI::ImageManager::getSingleton().isDefined(CeguiCompat::ToGui(wanted))) return;
  CeguiCompat::SetProperty(window, "Image", wanted);
}

}  // namespace

FrameBattleHud::FrameBattleHud() : BaseWindow(WT_BATTLE_HUD, "BattleHud.layout") {
  Vision::Callbacks.OnFrameUpdatePreRender.RegisterCallback(this);
  Vision::Callbacks.OnReactivateRequest.RegisterCallback(this);
}

FrameBattleHud::~FrameBattleHud() {
  Vision::Callbacks.OnFrameUpdatePreRender.DeregisterCallback(this);
  Vision::Callbacks.OnReactivateRequest.DeregisterCallback(this);
}

bool FrameBattleHud::HookComponents() {
  const std::string root = kRoot;
  auto find = [&](const char* path) { return GetComponent(CeguiCompat::ToGui(root + path)); };

  m_pMoneyText = find("Information/Money/Text");
  m_pRumCount = find("Player/Hero/Tools/RumButton/Amount/Text");
  m_pToolboxCount = find("Player/Hero/Tools/ToolboxButton/Amount/Text");
  m_pLeftCannonCount = find("Player/Ship/Cannons/Counts/Left");
  m_pRightCannonCount = find("Player/Ship/Cannons/Counts/Right");
  m_pRumButton = find("Player/Hero/Tools/RumButton");
  // Rum is for the crew on land.
  if (m_pRumButton) Try("sea hud rum button", [&] { m_pRumButton->disable(); });
  m_pToolboxButton = find("Player/Hero/Tools/ToolboxButton");
  if (!Bind(m_pToolboxButton, CEGUI::Window::EventMouseClick,
            CEGUI::Event::Subscriber(&FrameBattleHud::OnToolboxClicked, this)))
    return false;
  m_pToolboxGlow = find("Player/Hero/Tools/ToolboxButton/Glow");
  m_pHeroButton = find("Player/Hero/Button");
  m_pShipButton = find("Player/Ship/Button");
  m_pWeaponButton = find("Player/Weapon/Button");
  m_pHeroBar = find("Player/Hero/Hitpoints/Bar0");
  m_pHullBar = find("Player/Hero/Hitpoints/Bar1");
  m_pLeftBar = find("Player/Ship/Bars/Left/Bar");
  m_pRightBar = find("Player/Ship/Bars/Right/Bar");
  m_pLoadDial = find("Player/Weapon/Load/Bar");
  m_pRumCooldown = find("Player/Hero/Tools/RumButton/CoolDown");
  m_pToolboxCooldown = find("Player/Hero/Tools/ToolboxButton/CoolDown");
  m_fRumCooldownLeft = 0.0f;
  m_fToolboxCooldownLeft = 0.0f;
  m_pWeaponPanel = find("Player/Weapon");
  m_pBackground = find("BackGround");

  Try("sea hud order", [&] {
    if (CEGUI::Window* counts = find("Player/Ship/Cannons/Counts")) counts->moveToFront();
    if (m_pShipButton) m_pShipButton->moveToFront();
    if (m_pHeroButton) m_pHeroButton->moveToFront();
    if (CEGUI::Window* tools = find("Player/Hero/Tools")) tools->moveToFront();
  });

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  VASSERT_MSG(scripts, "ScriptManager not found!");
  IVScriptInstance* script = scripts ? scripts->GetGameScript() : nullptr;
  VASSERT_MSG(script, "Game script not loaded!");
  if (script && script->HasFunction("GetCollectableCooldown")) {
    // A length of 0 or less would divide the overlay by nothing: the default stays.
    float length = 0.0f;
    script->ExecuteFunctionArg("GetCollectableCooldown", "i>f", kRumCollectable, &length);
    if (length > 0.0f) m_fRumCooldownLength = length;
    length = 0.0f;
    script->ExecuteFunctionArg("GetCollectableCooldown", "i>f", kToolboxCollectable, &length);
    if (length > 0.0f) m_fToolboxCooldownLength = length;
  }

  if (GUIManager::HasInstance()) GUIManager::GetInstance()->ShowToolbar();

  if (script && script->HasFunction("GetAllSWCount") && script->HasFunction("GetAllSW")) {
    int count = 0;
    script->ExecuteFunctionArg("GetAllSWCount", "*>i", &count);
    for (int i = 1; i <= count; ++i) {
      VString strings[5];
      script->ExecuteFunctionArg("GetAllSW", "i>sssss", i, &strings[0], &strings[1], &strings[2], &strings[3],
                                 &strings[4]);
      int magicIndex = 0;
      script->ExecuteFunctionArg("GetAllSWMagicIndex", "i>i", i, &magicIndex);
      m_specialWeaponNames[magicIndex] = strings[1].AsChar();
    }
  }

  m_pBrowsePanel = find("Player/Weapon/Browse");
  m_pPrevButton = find("Player/Weapon/Browse/ButtonPrev");
  m_pNextButton = find("Player/Weapon/Browse/ButtonNext");
  int id = 0;
  for (CEGUI::Window* button : {m_pPrevButton, m_pNextButton}) {
    const CEGUI::uint buttonId = (CEGUI::uint)id++;
    if (!button) continue;
    Try("sea hud browse id", [&] { button->setID(buttonId); });
    if (!Bind(button, CEGUI::Window::EventMouseClick,
              CEGUI::Event::Subscriber(&FrameBattleHud::OnBrowseSpecialWeapon, this)))
      return false;
  }
  return BaseWindow::HookComponents();
}

void FrameBattleHud::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible() || isRequestingRemove() || !AtSea()) return;
  UpdateHitpointBars();
  UpdateCannonCounts();
  UpdateSpecialWeaponLoad();
  UpdateMoneyAndTools();
  UpdateSpecialWeapon();
  UpdateShipIcon();
}

void FrameBattleHud::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  if (data->m_pSender == &Vision::Callbacks.OnReactivateRequest) {
    m_bReactivateRequested = true;
  } else if (data->m_pSender == &Vision::Callbacks.OnFrameUpdatePreRender && m_bReactivateRequested) {
    if (m_pLoadDial) Try("sea hud activate", [&] { m_pLoadDial->activate(); });
    m_bReactivateRequested = false;
  }
}

void FrameBattleHud::UpdateHitpointBars() {
  GameSessionManager* session = Session();
  ShipStats* ship = session ? session->GetPlayerControlledShip() : nullptr;
  PlayerStats* player = session ? session->GetPlayer() : nullptr;
  if (!ship || !player) return;
  SetHeight(m_pHullBar, CEGUI::UDim(HitpointFill(ship->GetHull()), 0.0f));
  if (const SoldierStats* soldier = player->GetSoldierStats())
    SetHeight(m_pHeroBar, CEGUI::UDim(HitpointFill(soldier->m_Hitpoints), 0.0f));
  const UnitEntityTemplate* character = player->GetCharacterTemplate();
  const std::string face = character ? character->m_sUnitImage.AsChar() : "";
  if (!face.empty() && HasProperty(m_pHeroButton, "Image"))
    SetImage(m_pHeroButton, "set:UnitFaces_01 image:" + face + "Normal");
}

void FrameBattleHud::UpdateCannonCounts() {
  ShipEntity* ship = PlayerShipEntity();
  const CannonObserverComponent* observer = ship ? ship->Components<CannonObserverComponent>() : nullptr;
  const int perCannon = ship && ship->HasDoubleCannons() ? 2 : 1;
  const struct {
    CEGUI::Window* bar;
    CEGUI::Window* count;
    CannonGroup group;
  } sides[] = {{m_pRightBar, m_pRightCannonCount, CANNON_GROUP_RIGHT},
               {m_pLeftBar, m_pLeftCannonCount, CANNON_GROUP_LEFT}};
  for (const auto& side : sides) {
    if (!side.bar) continue;
    if (!observer) {
      SetHeight(side.bar, CEGUI::UDim(0.0f, 0.0f));
      continue;
    }
    const float state = observer->GetCannonGroupState(side.group);
    SetNumber(side.count, (int)((float)(observer->GetCannonCount(side.group) * perCannon) * state));
    SetHeight(side.bar, CEGUI::UDim(state, 0.0f));
  }
}

void FrameBattleHud::UpdateSpecialWeaponLoad() {
  if (!m_pWeaponPanel || !m_pWeaponPanel->isVisible() || !m_pLoadDial) return;
  ShipEntity* ship = PlayerShipEntity();
  const CannonComponent* cannon = ship ? ship->GetSpecialCannon() : nullptr;
  if (!cannon) return;
  const float total = std::max(cannon->GetReloadDelayMax(), 1.0f);
  const float angle = 180.0f - (total - cannon->GetReloadDelay()) / total * 180.0f;
  const CEGUI::Quaternion turn = CEGUI::Quaternion::eulerAnglesDegrees(0.0f, 0.0f, angle);
  if (m_pLoadDial->getRotation() != turn) Try("sea hud load dial", [&] { m_pLoadDial->setRotation(turn); });
}

void FrameBattleHud::UpdateMoneyAndTools() {
  const int toolboxes = CollectableCount("Toolbox");
  SetNumber(m_pRumCount, CollectableCount("RumPotion"));
  SetNumber(m_pToolboxCount, toolboxes);
  GameSessionManager* session = Session();
  if (const PlayerStats* player = session ? session->GetPlayer() : nullptr) SetNumber(m_pMoneyText, player->GetMoney());
  SetEnabled(m_pToolboxButton, toolboxes > 0);
  UpdateToolboxCooldown();
  UpdateToolboxGlow();
}

void FrameBattleHud::UpdateToolboxCooldown() {
  m_fToolboxCooldownLeft = ArtifactManager::HasInstance() ? std::max(ArtifactManager::GetInstance()->GetToolCooldown(), 0.0f) : 0.0f;
  if (!m_pToolboxCooldown) return;
  if (m_fToolboxCooldownLeft > 0.0f) {
    // A wait reset beyond the script's length shows a full overlay, not a taller one.
    SetHeight(m_pToolboxCooldown, CEGUI::UDim(std::min(m_fToolboxCooldownLeft / m_fToolboxCooldownLength, 1.0f), 0.0f));
    SetVisible(m_pToolboxCooldown, true);
  } else if (m_pToolboxCooldown->isVisible()) {
    m_fToolboxCooldownLeft = 0.0f;
    SetHeight(m_pToolboxCooldown, CEGUI::UDim(1.0f, 0.0f));
    SetVisible(m_pToolboxCooldown, false);
  }
}

void FrameBattleHud::UpdateToolboxGlow() {
  if (!m_pToolboxGlow) return;
  if (!GameManager::HasInstance() || !GameManager::GetInstance()->HasLowHitPoints()) {
    SetVisible(m_pToolboxGlow, false);
    return;
  }
  if (!m_pToolboxGlow->isVisible()) {
    Try("sea hud glow", [&] {
      m_pToolboxGlow->show();
      m_pToolboxGlow->moveToFront();
    });
  }
  Blink(m_pToolboxGlow, m_bGlowFadingIn, kGlowSpeed * Vision::Timer.GetTimeDifference());
}

void FrameBattleHud::UpdateSpecialWeapon() {
  ShipStats* ship = PlayerShip();
  if (!ship) return;
  const int weapon = ship->GetCurrentSpecialWeapon();
  if (weapon == 0) {
    SetVisible(m_pWeaponPanel, false);
    SetHeight(m_pBackground, CEGUI::UDim(0.0f, kBackgroundHeight));
    return;
  }
  SetVisible(m_pWeaponPanel, true);
  SetHeight(m_pBackground, CEGUI::UDim(0.0f, kBackgroundHeightWithWeapon));
  SetImage(m_pWeaponButton, "set:ShipIcons_01 image:Weapon" + std::to_string(weapon) + "Normal");
  const auto named = m_specialWeaponNames.find(weapon);
  const std::string name = named == m_specialWeaponNames.end() ? std::string() : named->second;
  if (name != m_sLastWeaponName) {
    SetTooltip(m_pWeaponButton,
               LocalizationTable::GetInstance()->GetText("str_TOOLTIP_SHIPYARD_SPECIAL_WEAPON", name.c_str()));
    m_sLastWeaponName = name;
  }
  SetVisible(m_pBrowsePanel, ship->GetSpecialWeapons().size() >= 2);
}

void FrameBattleHud::UpdateShipIcon() {
  ShipStats* ship = PlayerShip();
  if (!ship) return;
  const std::string icon = ship->GetShipIcon().AsChar();
  if (icon.empty()) return;
  if (HasProperty(m_pShipButton, "Image")) SetImage(m_pShipButton, "set:ShipIcons_01 image:" + icon + "Normal");
  if (icon == m_sLastShipIcon) return;
  m_sLastShipIcon = icon;
  std::string key = "str_" + icon;
  std::transform(key.begin() + 4, key.end(), key.begin() + 4, [](unsigned char c) { return (char)std::toupper(c); });
  SetTooltip(m_pShipButton, LocalizationTable::GetInstance()->GetText(key.c_str()));
}

bool FrameBattleHud::OnToolboxClicked(const CEGUI::EventArgs&) {
  if (!AtSea()) return false;
  ShipStats* ship = PlayerShip();
  if (!ship) return false;
  // An untracked hull has nothing to repair either.
  const Hitpoints& hull = ship->GetHull();
  if (!hull.IsTracked() || hull.GetCurrent() >= hull.GetMaximum()) {
    if (GUIManager::HasInstance())
      GUIManager::GetInstance()->ShowMessage("str_ITEM_TOOLBOX_UNUSABLE", kMessageTime, kMessageFadeSpeed);
    return false;
  }
  if (m_pToolboxCooldown && m_pToolboxCooldown->isVisible()) return true;
  SetHeight(m_pToolboxCooldown, CEGUI::UDim(1.0f, 0.0f));
  SetVisible(m_pToolboxCooldown, true);
  if (CollectableCount("Toolbox") < 1) return false;
  Session()->UseCollectableByName("Toolbox");
  return true;
}

bool FrameBattleHud::OnBrowseSpecialWeapon(const CEGUI::EventArgs& args) {
  ShipStats* ship = PlayerShip();
  if (!ship) return false;
  const std::vector<int>& weapons = ship->GetSpecialWeapons();
  int index = ship->GetCurrentSpecialIndex();
  const auto selected = std::find(weapons.begin(), weapons.end(), ship->GetCurrentSpecialWeapon());
  if (selected != weapons.end()) index = (int)(selected - weapons.begin());
  const CEGUI::Window* button = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  const int count = (int)weapons.size();
  if (button && button->getID() == 0) {
    if (--index < 0) index = count - 1;
  } else if (button && button->getID() == 1) {
    if (++index >= count) index = 0;
  }
  if (count > 0) {
    index = std::clamp(index, 0, count - 1);
    ship->SetCurrentSpecialIndex(index);
    ship->SetCurrentSpecialWeapon(weapons[(size_t)index]);
  }
  UpdateSpecialWeapon();
  return true;
}
