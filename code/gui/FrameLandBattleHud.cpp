// The land head-up frame.
#include "gui/FrameLandBattleHud.h"

#include "Managers/AchievementManager.h"
#include "Managers/ArtifactManager.h"
#include "Managers/GameSessionManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/SeaScenePath.h"
#include "Managers/SoundManager.h"
#include "Managers/TownManager.h"
#include "Managers/TutorialManager.h"
#include "core/ComponentMessages.h"
#include "core/GameManager.h"
#include "core/Player.h"
#include "core/RtsManager.h"
#include "entities/CollectableEntityTemplate.h"
#include "entities/HeroStats.h"
#include "entities/HeroUnitRecord.h"
#include "entities/PlayerStats.h"
#include "entities/ShipStats.h"
#include "entities/Skill.h"
#include "entities/SoldierEntity.h"
#include "entities/SoldierStats.h"
#include "entities/UnitEntity.h"
#include "entities/UnitEntityTemplate.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "gui/HudWidgets.h"

#include "engine/Vision.h"
#include "engine/base/VisTimer.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using CeguiCompat::Try;
using namespace HudWidgets;

namespace {

const float kGlowPeriod = 6.283f;
const float kGlowPulseSpeed = 3.0f;
// Alpha per second of the rum glow's blink.
const float kRumGlowRate = 2.0f;
// Width in pixels of a panel's background for one, two and three led units.
const float kBackgroundWidths[UnitFrame::kUnitButtons] = {165.0f, 240.0f, 320.0f};
// A full hit-point bar on the player's panel fills 80 % of its parent.
const float kBarScale = 0.8f;
const int kStrongholdSceneType = 2;
const char* const kActiveSkill = "active_skill";
const char* const kRumPotion = "RumPotion";
const char* const kToolbox = "Toolbox";

void SetHeight(CEGUI::Window* window, float scale) { HudWidgets::SetHeight(window, CEGUI::UDim(scale, 0.0f)); }

void SetImage(CEGUI::Window* window, const char* property, const std::string& value) {
  if (window) CeguiCompat::SetProperty(window, property, value);
}

int CollectableCount(GameSessionManager* session, const char* name) {
  const CollectableEntityTemplate* item = session ? session->GetCollectableByName(name) : nullptr;
  return item ? item->m_iCount : 0;
}

UnitEntity* FindUnit(const UnitEntityTemplate* t) {
  if (!t || !t->m_iUniqueID || !GameManager::HasInstance()) return nullptr;
  VisBaseEntity_cl* entity = GameManager::GetInstance()->FindEntityByUniqueID(t->m_iUniqueID);
  return entity && entity->IsOfType(UnitEntity::GetClassTypeId()) ? static_cast<UnitEntity*>(entity) : nullptr;
}

bool IsSelected(Player* player, const UnitEntityTemplate* t) {
  return player && t && t->m_iUniqueID && player->IsSelected(t->m_iUniqueID);
}

// The characters whose rum makes a woman's sound: by key, by the English name, or by
// the name the player's language gives the key (the template keeps the text).
bool IsFemaleCharacter(const VString& name) {
  static const char* const kCorsair = "str_MAIN_CHARACTER_CORSAIR";
  if (name == kCorsair || name == "Jolie Roger") return true;
  const std::string text = CeguiCompat::ToUtf8(LocalizationTable::GetInstance()->GetText(kCorsair));
  return text != kCorsair && text == name.AsChar();
}

}  // namespace

FrameLandBattleHud::FrameLandBattleHud() : BaseWindow(WT_LAND_BATTLE_HUD, "LandBattleHud.layout") {}

FrameLandBattleHud::~FrameLandBattleHud() { m_panels.clear(); }

bool FrameLandBattleHud::HookComponents() {
  if (CEGUI::Window* root = GetComponent("LandBattleHud")) {
    Try("activate land hud", [&] { root->activate(); });
    if (!Bind(root, CEGUI::Window::EventKeyUp, CEGUI::Event::Subscriber(&FrameLandBattleHud::KeyUp, this)) ||
        !Bind(root, CEGUI::Window::EventKeyDown, CEGUI::Event::Subscriber(&FrameLandBattleHud::KeyDown, this)))
      return false;
  }
  m_bLeftControlHeld = false;
  if (CEGUI::Window* tools = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools"))
    Try("tools on top", [&] { tools->setAlwaysOnTop(true); });

  m_pRumButton = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/RumButton");
  if (m_pRumButton && !Bind(m_pRumButton, CEGUI::PushButton::EventClicked,
                            CEGUI::Event::Subscriber(&FrameLandBattleHud::OnRumClicked, this)))
    return false;
  m_pRumCountText = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/RumButton/Amount/Text");
  m_pToolboxButton = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/ToolboxButton");
  if (m_pToolboxButton) {
    // Toolboxes mend ships: never usable ashore.
    SetEnabled(m_pToolboxButton, false);
    if (!Bind(m_pToolboxButton, CEGUI::PushButton::EventClicked,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnToolboxClicked, this)))
      return false;
  }
  m_pToolboxCountText = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/ToolboxButton/Amount/Text");
  m_pMoneyText = GetComponent("LandBattleHud/Information/Money/Text");
  m_pRumCoolDown = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/RumButton/CoolDown");
  m_pToolboxCoolDown = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/ToolboxButton/CoolDown");
  SetVisible(m_pToolboxCoolDown, false);
  m_pExitButton = GetComponent("LandBattleHud/Exit/Button");
  if (m_pExitButton) {
    if (!Bind(m_pExitButton, CEGUI::PushButton::EventClicked,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitClicked, this)) ||
        !Bind(m_pExitButton, CEGUI::Window::EventMouseEntersArea,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitMouseEnters, this)) ||
        !Bind(m_pExitButton, CEGUI::Window::EventMouseLeavesArea,
              CEGUI::Event::Subscriber(&FrameLandBattleHud::OnExitMouseLeaves, this)))
      return false;
  }
  m_pExitGlow = GetComponent("LandBattleHud/Exit/Button/Glow");
  SetVisible(m_pExitGlow, false);
  m_pRumGlow = GetComponent("LandBattleHud/Window/UnitFrame0/Hero/Tools/RumButton/Glow");

  VScriptResourceManager* scripts = Vision::GetScriptManager();
  VASSERT_MSG(scripts, "ScriptManager not found!");
  IVScriptInstance* game = scripts ? scripts->GetGameScript() : nullptr;
  VASSERT_MSG(game, "Game script not loaded!");
  if (game && game->HasFunction("GetCollectableCooldown")) {
    float length = m_fRumCoolDownLength;
    if (game->ExecuteFunctionArg("GetCollectableCooldown", "i>f", 1, &length)) m_fRumCoolDownLength = length;
  }

  m_panels.clear();
  m_panels.reserve(kPanels);
  for (int d = 0; d < kPanels; ++d) {
    char base[64];
    std::snprintf(base, sizeof(base), "LandBattleHud/Window/UnitFrame%d", d);
    const std::string b = base;
    UnitFrame panel;
    panel.m_pPanelRoot = GetComponent(b);
    panel.m_pUnitsPanel = GetComponent(b + "/Units");
    panel.m_pHeroButton = GetComponent(b + "/Hero/Button");
    for (int i = 0; i < UnitFrame::kUnitButtons; ++i) {
      const std::string unit = b + "/Units/Unit" + std::to_string(i);
      panel.m_pUnitButtons[i] = GetComponent(unit);
      if (panel.m_pUnitButtons[i]) Try("unit on top", [&] { panel.m_pUnitButtons[i]->setAlwaysOnTop(true); });
      panel.m_pUnitCounts[i] = GetComponent(unit + "/Amount/Text");
    }
    panel.m_pHitpointBar0 = GetComponent(b + "/Hero/Hitpoints/Bar0");
    if (panel.m_pHitpointBar0) Try("bar to back", [&] { panel.m_pHitpointBar0->moveToBack(); });
    const std::string skill = d == 0 ? b + "/Hero/Tools/SkillButton" : b + "/Hero/SkillButton";
    if (d == 0) {
      panel.m_pHitpointBar1 = GetComponent(b + "/Hero/Hitpoints/Bar1");
      if (panel.m_pHitpointBar1) Try("bar to back", [&] { panel.m_pHitpointBar1->moveToBack(); });
    }
    panel.m_pSkillButton = GetComponent(skill);
    panel.m_pSkillCoolDown = GetComponent(skill + "/CoolDown");
    panel.m_pSkillGlow = GetComponent(skill + "/Glow");

    CEGUI::Window* buttons[UnitFrame::kButtons] = {panel.m_pHeroButton, panel.m_pUnitButtons[0],
                                                    panel.m_pUnitButtons[1], panel.m_pUnitButtons[2]};
    for (int slot = 0; slot < UnitFrame::kButtons; ++slot) {
      CEGUI::Window* button = buttons[slot];
      if (!button) continue;
      Try("unit button id", [&] { button->setID((CEGUI::uint)(10 * d + slot)); });
      if (!Bind(button, CEGUI::Window::EventMouseDoubleClick,
                CEGUI::Event::Subscriber(&FrameLandBattleHud::OnUnitButtonDoubleClicked, this)) ||
          !Bind(button, CEGUI::Window::EventMouseClick,
                CEGUI::Event::Subscriber(&FrameLandBattleHud::OnUnitButtonClicked, this)))
        return false;
    }
    if (panel.m_pSkillButton) {
      Try("skill button id", [&] { panel.m_pSkillButton->setID((CEGUI::uint)d); });
      if (!Bind(panel.m_pSkillButton, CEGUI::PushButton::EventClicked,
                CEGUI::Event::Subscriber(&FrameLandBattleHud::OnSkillClicked, this)))
        return false;
    }
    panel.m_pBackground = GetComponent(b + "/Background");
    if (panel.m_pBackground) Try("background to back", [&] { panel.m_pBackground->moveToBack(); });
    panel.m_fSlideTimer = -1.0f;
    SetVisible(panel.m_pSkillGlow, false);
    m_panels.push_back(panel);
  }

  GUIManager::GetInstance()->ShowToolbar();
  return BaseWindow::HookComponents();
}

bool FrameLandBattleHud::KeyDown(const CEGUI::EventArgs& args) {
  if (static_cast<const CEGUI::KeyEventArgs&>(args).scancode != kLeftControl) return false;
  m_bLeftControlHeld = true;
  return true;
}

bool FrameLandBattleHud::KeyUp(const CEGUI::EventArgs& args) {
  if (static_cast<const CEGUI::KeyEventArgs&>(args).scancode != kLeftControl) return false;
  m_bLeftControlHeld = false;
  return true;
}

void FrameLandBattleHud::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible() || isRequestingRemove()) return;
  if (m_bExitRequested && GameManager::HasInstance()) {
    m_bExitRequested = false;
    GameManager* game = GameManager::GetInstance();
    const VString target = game->GetCurrentTeleportTarget();
    game->SetTeleportTarget(target.IsEmpty() ? kWorldScenePath : target.AsChar());
  }
  UpdateExitGlow();
  UpdateHeroPanels();
  UpdateToolsAndSkills();
  BaseWindow::OnBeforeGUIUpdate();
}

void FrameLandBattleHud::OnAfterGUIUpdate() {
  if (m_bStrongholdTutorialShown || !TownManager::HasInstance()) return;
  if (TownManager::GetInstance()->GetCurrentTownInfo().sceneType != kStrongholdSceneType) return;
  TutorialManager* tutorials = TutorialManager::GetInstance();
  tutorials->ShowTutorial("str_TUTORIAL_STRONGHOLD_PART1");
  tutorials->ShowTutorial("str_TUTORIAL_STRONGHOLD_PART2");
  m_bStrongholdTutorialShown = true;
}

void FrameLandBattleHud::UpdateExitGlow() {
  if (!m_pExitGlow) return;
  const bool canLeave = GameManager::HasInstance() && GameManager::GetInstance()->CanTeleport() &&
                        RtsManager::GlobalManager().IsPlayerIsInsideEscapeArea();
  if (!canLeave || m_bExitHovered) {
    SetVisible(m_pExitGlow, false);
    return;
  }
  m_fExitGlowPhase += Vision::Timer.GetTimeDifference();
  if (m_fExitGlowPhase > kGlowPeriod) m_fExitGlowPhase = 0.0f;
  SetVisible(m_pExitGlow, true);
  SetAlpha(m_pExitGlow, std::max(std::sin(kGlowPulseSpeed * m_fExitGlowPhase), 0.0f));
}

// Hero panels -----------------------------------------------------------------------

HeroStats* FrameLandBattleHud::PanelHero(int panel) {
  if (!GameSessionManager::HasInstance()) return nullptr;
  GameSessionManager* session = GameSessionManager::GetInstance();
  return panel == 0 ? session->GetPlayer() : session->GetHero(panel - 1);
}

void FrameLandBattleHud::UpdateHeroPanels() {
  if (m_panels.empty()) return;
  UpdatePanel(m_panels[0], PanelHero(0));
  for (int k = 0; k < kPanels - 1 && k + 1 < (int)m_panels.size(); ++k) {
    UnitFrame& panel = m_panels[(size_t)(k + 1)];
    HeroStats* hero = PanelHero(k + 1);
    SetVisible(panel.m_pPanelRoot, hero != nullptr);
    if (hero) UpdatePanel(panel, hero);
  }
}

void FrameLandBattleHud::UpdatePanel(UnitFrame& panel, HeroStats* hero) {
  if (!hero || !panel.m_pPanelRoot || !panel.m_pPanelRoot->isVisible()) return;
  UpdateSlide(panel, hero);
  UpdateButton(panel, 0, hero->GetCharacterTemplate());
  UpdateBars(panel, hero);
  if (!panel.m_pUnitsPanel || !panel.m_pUnitsPanel->isVisible()) return;
  for (int i = 0; i < hero->GetUnitRecordCount() && i < UnitFrame::kUnitButtons; ++i) {
    const HeroUnitRecord* record = hero->GetUnitRecord(i);
    UpdateButton(panel, i + 1, record->m_pTemplate);
    SetNumber(panel.m_pUnitCounts[i], (int)record->m_soldiers.size());
  }
}

float FrameLandBattleHud::StartSlideAnimation(const char* name, CEGUI::Window* target) {
  Try("let go of finished slides", [&] {
    CEGUI::AnimationManager& manager = CEGUI::AnimationManager::getSingleton();
    for (auto it = m_animations.begin(); it != m_animations.end();) {
      if ((*it)->isRunning()) {
        ++it;
        continue;
      }
      manager.destroyAnimationInstance(*it);
      it = m_animations.erase(it);
    }
  });
  return StartAnimation(name, target);
}

void FrameLandBattleHud::UpdateSlide(UnitFrame& panel, HeroStats* hero) {
  Player* player = RtsManager::GlobalManager().GetPlayer();
  const bool heroSelected = IsSelected(player, hero->GetCharacterTemplate());
  SetSelected(panel.m_pHeroButton, heroSelected);
  bool anySelected = heroSelected;
  const int units = hero->GetUnitRecordCount();
  for (int i = 0; i < UnitFrame::kUnitButtons; ++i) {
    const HeroUnitRecord* record = i < units ? hero->GetUnitRecord(i) : nullptr;
    const bool selected = record && IsSelected(player, record->m_pTemplate);
    SetSelected(panel.m_pUnitButtons[i], selected);
    anySelected = anySelected || selected;
    SetVisible(panel.m_pUnitButtons[i], i < units);
  }
  if (units > 0)
    SetWidth(panel.m_pBackground, CEGUI::UDim(0.0f, kBackgroundWidths[std::min(units, UnitFrame::kUnitButtons) - 1]));

  if (panel.m_fSlideTimer > 0.0f) {
    panel.m_fSlideTimer -= Vision::Timer.GetTimeDifference();
    // Selected again while folding away: the slide-in waits for the fold to end.
    if (anySelected || panel.m_fSlideTimer <= 0.0f) {
      SetVisible(panel.m_pUnitsPanel, false);
      SetVisible(panel.m_pBackground, false);
    }
    return;
  }
  const bool shown = panel.m_pUnitsPanel && panel.m_pUnitsPanel->isVisible();
  if (anySelected && !shown) {
    static const char* const kIn[UnitFrame::kUnitButtons] = {"RudderIn_1st", "RudderIn_2nd", "RudderIn_3rd"};
    for (int i = 0; i < UnitFrame::kUnitButtons; ++i) StartSlideAnimation(kIn[i], panel.m_pUnitButtons[i]);
    SetVisible(panel.m_pUnitsPanel, true);
    StartSlideAnimation("RudderIn_1st", panel.m_pBackground);
    SetVisible(panel.m_pBackground, true);
  } else if (!anySelected && shown) {
    static const char* const kOut[UnitFrame::kUnitButtons] = {"RudderOut_3rd", "RudderOut_2nd", "RudderOut_1st"};
    float duration = 0.0f;
    for (int i = 0; i < UnitFrame::kUnitButtons; ++i)
      duration = StartSlideAnimation(kOut[i], panel.m_pUnitButtons[UnitFrame::kUnitButtons - 1 - i]);
    StartSlideAnimation("RudderOut_1st", panel.m_pBackground);
    panel.m_fSlideTimer = duration;
    // Without the animation nothing folds: away at once.
    if (duration <= 0.0f) {
      SetVisible(panel.m_pUnitsPanel, false);
      SetVisible(panel.m_pBackground, false);
    }
  } else if (!anySelected) {
    SetVisible(panel.m_pBackground, false);
  }
}

CEGUI::Window* FrameLandBattleHud::GetButton(UnitFrame& panel, int index) {
  if (index == 0) return panel.m_pHeroButton;
  if (index >= 1 && index <= UnitFrame::kUnitButtons) return panel.m_pUnitButtons[index - 1];
  Vision::Error.Warning("Error : FrameLandBattleHud::GetButton() : Index out of bounds");
  return nullptr;
}

void FrameLandBattleHud::UpdateButton(UnitFrame& panel, int index, const UnitEntityTemplate* unit) {
  if (index < 0 || index >= UnitFrame::kButtons) {
    GetButton(panel, index);
    return;
  }
  CEGUI::Window* button = GetButton(panel, index);
  if (!unit) return;
  UnitFrame::ButtonRecord& record = panel.m_buttons[index];
  if (unit->m_sImageSet != record.imageSet || unit->m_sUnitImage != record.imageName) {
    record.imageSet = unit->m_sImageSet;
    record.imageName = unit->m_sUnitImage;
    const std::string set = unit->m_sImageSet.AsChar();
    const std::string name = unit->m_sUnitImage.AsChar();
    SetImage(button, "HoverImage", "set:" + set + " image:" + name + "Hover");
    SetImage(button, "NormalImage", "set:" + set + " image:" + name + "Normal");
    SetImage(button, "DisabledImage", "set:" + set + " image:" + name + "Disabled");
    SetImage(button, "SelectedImage", "set:" + set + " image:" + name + "Selected");
  }
  if (index == 0 && unit->m_sSkillImage != record.skillImage) {
    record.skillImage = unit->m_sSkillImage;
    const std::string skill = unit->m_sSkillImage.AsChar();
    SetImage(panel.m_pSkillButton, "HoverImage", skill + "Hover");
    SetImage(panel.m_pSkillButton, "NormalImage", skill);
    SetImage(panel.m_pSkillButton, "DisabledImage", skill + "Disabled");
    SetImage(panel.m_pSkillButton, "PushedImage", skill);
    SetImage(panel.m_pSkillCoolDown, "Image", skill + "Disabled");
  }
  if (unit->m_sUnitName != record.tooltipKey) {
    record.tooltipKey = unit->m_sUnitName;
    SetTooltip(button, unit->m_sUnitName.IsEmpty() ? CEGUI::String()
                                                   : LocalizationTable::GetInstance()->GetText(unit->m_sUnitName.AsChar()));
  }
  if (!panel.m_bSkillTooltipDone) {
    panel.m_bSkillTooltipDone = true;
    const int d = (int)(&panel - m_panels.data());
    HeroStats* hero = PanelHero(d);
    if (hero && panel.m_pSkillButton) {
      Skill skill;
      hero->GetSkillInfo(skill, kActiveSkill);
      LocalizationTable* texts = LocalizationTable::GetInstance();
      SetTooltip(panel.m_pSkillButton, texts->GetText(skill.m_sSecondText.AsChar()) + ": " +
                                           texts->GetText(skill.m_sThirdText.AsChar()));
    }
  }
}

void FrameLandBattleHud::UpdateBars(UnitFrame& panel, HeroStats* hero) {
  const SoldierStats* stats = hero->GetSoldierStats();
  const int current = stats ? stats->m_Hitpoints.GetCurrent() : 0;
  const int maximum = stats ? stats->m_Hitpoints.GetMaximum() : 0;
  if (panel.m_pHitpointBar1) {
    const ShipStats* ship =
        GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetPlayerControlledShip() : nullptr;
    if (ship) SetHeight(panel.m_pHitpointBar1, BarShare(ship->GetHull().GetCurrent(), ship->GetHull().GetMaximum()) * kBarScale);
    if (stats) SetHeight(panel.m_pHitpointBar0, BarShare(current, maximum) * kBarScale);
  } else if (stats) {
    SetWidth(panel.m_pHitpointBar0, CEGUI::UDim(BarShare(current, maximum), 0.0f));
  }
}

// Tools and skills ------------------------------------------------------------------

void FrameLandBattleHud::UpdateToolsAndSkills() {
  const float dt = Vision::Timer.GetTimeDifference();
  GameSessionManager* session = GameSessionManager::HasInstance() ? GameSessionManager::GetInstance() : nullptr;
  const int rum = CollectableCount(session, kRumPotion);
  SetNumber(m_pRumCountText, rum);
  SetNumber(m_pToolboxCountText, CollectableCount(session, kToolbox));
  const PlayerStats* player = session ? session->GetPlayer() : nullptr;
  SetNumber(m_pMoneyText, player ? player->GetMoney() : 0);
  SetEnabled(m_pRumButton, rum > 0);

  const bool lowHitPoints = GameManager::HasInstance() && GameManager::GetInstance()->HasLowHitPoints();
  if (m_pRumGlow) {
    if (!lowHitPoints) {
      SetVisible(m_pRumGlow, false);
    } else {
      if (!m_pRumGlow->isVisible()) {
        SetVisible(m_pRumGlow, true);
        Try("rum glow to front", [&] { m_pRumGlow->moveToFront(); });
      }
      Blink(m_pRumGlow, m_bRumGlowFadingIn, kRumGlowRate * dt);
    }
  }

  m_fRumCoolDownLeft = std::max(ArtifactManager::HasInstance() ? ArtifactManager::GetInstance()->GetGrogCooldown() : 0.0f,
                                0.0f);
  if (m_pRumCoolDown) {
    if (m_fRumCoolDownLeft > 0.0f) {
      SetHeight(m_pRumCoolDown, m_fRumCoolDownLeft / std::max(m_fRumCoolDownLength, 0.001f));
      SetVisible(m_pRumCoolDown, true);
    } else if (m_pRumCoolDown->isVisible()) {
      m_fRumCoolDownLeft = 0.0f;
      SetHeight(m_pRumCoolDown, 1.0f);
      SetVisible(m_pRumCoolDown, false);
    }
  }

  for (int i = 0; i < (int)m_panels.size(); ++i) UpdateSkill(m_panels[(size_t)i], i, dt);
}

SoldierEntity* FrameLandBattleHud::PanelSoldier(int panel, bool throughPlayerEntity) {
  UnitEntity* unit = nullptr;
  if (panel == 0 && throughPlayerEntity) {
    VisBaseEntity_cl* entity = GameManager::HasInstance() ? GameManager::GetInstance()->GetPlayerEntity() : nullptr;
    if (entity && entity->IsOfType(UnitEntity::GetClassTypeId())) unit = static_cast<UnitEntity*>(entity);
  } else if (HeroStats* hero = PanelHero(panel)) {
    unit = FindUnit(hero->GetCharacterTemplate());
  }
  return unit ? unit->GetSoldierAtIndex(0) : nullptr;
}

void FrameLandBattleHud::UpdateSkill(UnitFrame& panel, int index, float dt) {
  const SoldierEntity* soldier = PanelSoldier(index, false);
  if (!soldier || soldier->GetActiveSkillCooldownDelta() <= 0.0f) {
    SetVisible(panel.m_pSkillCoolDown, false);
    SetVisible(panel.m_pSkillGlow, false);
    return;
  }
  const float span = panel.m_fSkillCoolDownLength - panel.m_fSkillActiveDuration;
  const float ratio = span > 0.0f ? std::min(soldier->GetActiveSkillCooldownDelta() / span, 1.0f) : 1.0f;
  const float activeLeft = soldier->GetActiveSkillDurationLeft();
  if (activeLeft <= 0.0f) {
    SetVisible(panel.m_pSkillGlow, false);
    SetHeight(panel.m_pSkillCoolDown, ratio);
    SetVisible(panel.m_pSkillCoolDown, true);
    return;
  }
  SetVisible(panel.m_pSkillGlow, true);
  const float duration = soldier->GetActiveSkillDuration();
  // The blink quickens towards the end of the skill.
  const float spent = duration > 0.0f ? (duration - activeLeft) / duration : 0.0f;
  Blink(panel.m_pSkillGlow, panel.m_bGlowFadingIn, dt * (1.0f + 3.0f * spent));
}

// Clicks ----------------------------------------------------------------------------

UnitEntity* FrameLandBattleHud::ButtonUnit(int windowId) {
  const int d = windowId / 10;
  const int slot = windowId % 10;
  if (d < 0 || d >= kPanels || slot < 0 || slot >= UnitFrame::kButtons) return nullptr;
  HeroStats* hero = PanelHero(d);
  if (!hero) return nullptr;
  if (slot == 0) return FindUnit(hero->GetCharacterTemplate());
  const HeroUnitRecord* record = hero->GetUnitRecord(slot - 1);
  return record ? FindUnit(record->m_pTemplate) : nullptr;
}

bool FrameLandBattleHud::OnUnitButtonClicked(const CEGUI::EventArgs& args) {
  const auto& window = static_cast<const CEGUI::WindowEventArgs&>(args);
  UnitEntity* unit = window.window ? ButtonUnit((int)window.window->getID()) : nullptr;
  RtsManager& rts = RtsManager::GlobalManager();
  Player* player = rts.GetPlayer();
  if (!unit || !player) return false;
  m_bLeftControlHeld = rts.IsLeftControlDown();
  if (!m_bLeftControlHeld) player->ClearSelection();
  for (SoldierEntity* soldier : unit->GetSoldiers()) {
    if (!soldier || player->IsSelected(soldier)) continue;
    player->DoSelection(soldier, !m_bLeftControlHeld, !m_bLeftControlHeld);
  }
  rts.SetCurrentSellectionToFollowedUnit();
  return true;
}

bool FrameLandBattleHud::OnUnitButtonDoubleClicked(const CEGUI::EventArgs& args) {
  const auto& window = static_cast<const CEGUI::WindowEventArgs&>(args);
  UnitEntity* unit = window.window ? ButtonUnit((int)window.window->getID()) : nullptr;
  VisBaseEntity_cl* camera = unit ? Vision::Game.SearchEntity("CameraEntity") : nullptr;
  if (!camera) return false;
  RtsManager::GlobalManager().SetFollowedUnit(unit);
  Vision::Game.SendMsg(camera, VIS_MSG_USER_CAMERA_FOLLOW_START, 0, 0);
  GameManager::GetInstance()->SetFollowCameraState(true);
  return true;
}

bool FrameLandBattleHud::OnSkillClicked(const CEGUI::EventArgs& args) {
  const auto& window = static_cast<const CEGUI::WindowEventArgs&>(args);
  if (!window.window) return false;
  const int index = (int)window.window->getID();
  if (index < 0 || index >= (int)m_panels.size()) return false;
  UnitFrame& panel = m_panels[(size_t)index];
  if ((panel.m_pSkillCoolDown && panel.m_pSkillCoolDown->isVisible()) ||
      (panel.m_pSkillGlow && panel.m_pSkillGlow->isVisible()))
    return false;
  const int heroes = GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetHeroCount() : 0;
  if (index > heroes) return false;
  SoldierEntity* soldier = PanelSoldier(index, true);
  if (soldier) {
    soldier->ActivateHeroActiveSkill();
    panel.m_fSkillCoolDownLength = soldier->GetActiveSkillCooldown();
    panel.m_fSkillActiveDuration = soldier->GetActiveSkillDuration();
  }
  SetHeight(panel.m_pSkillCoolDown, 1.0f);
  return true;
}

bool FrameLandBattleHud::OnRumClicked(const CEGUI::EventArgs&) {
  GameSessionManager* session = GameSessionManager::HasInstance() ? GameSessionManager::GetInstance() : nullptr;
  if (CollectableCount(session, kRumPotion) < 1) return false;
  session->UseCollectableByName(kRumPotion);
  AchievementManager::GetInstance()->CheckAchievements();
  const PlayerStats* player = session->GetPlayer();
  const UnitEntityTemplate* character = player ? player->GetCharacterTemplate() : nullptr;
  const bool woman = character && IsFemaleCharacter(character->m_sUnitName);
  SoundManager::GetInstance()->PlaySFXSound(woman ? SOUND_SFX_USE_GROG_WOMAN : SOUND_SFX_USE_GROG, 1.0f,
                                            VisVector_cl(0.0f, 0.0f, 0.0f), 10.0f, 400.0f, false);
  SetHeight(m_pRumCoolDown, 1.0f);
  SetVisible(m_pRumCoolDown, true);
  return true;
}

bool FrameLandBattleHud::OnToolboxClicked(const CEGUI::EventArgs&) {
  GUIManager::GetInstance()->ShowMessage("str_ITEM_TOOLBOX_WRONG_AREA", 0.75f, 2.0f);
  return false;
}

bool FrameLandBattleHud::OnExitClicked(const CEGUI::EventArgs&) {
  if (!GameManager::HasInstance() || !GameManager::GetInstance()->CanTeleport()) return false;
  RtsManager& rts = RtsManager::GlobalManager();
  if (rts.IsPlayerIsInsideEscapeArea()) {
    // Acted on at the next update, outside CEGUI's event handling.
    m_bExitRequested = true;
  } else if (VisBaseEntity_cl* escape = Vision::Game.SearchEntity("EscapeArea")) {
    // Every unit of the player, not only the selected ones: the button leads them all out.
    if (Player* player = rts.GetPlayer()) player->GiveTargetPosition(escape->GetPosition(), false);
  }
  return true;
}

bool FrameLandBattleHud::OnExitMouseEnters(const CEGUI::EventArgs&) {
  m_bExitHovered = true;
  return true;
}

bool FrameLandBattleHud::OnExitMouseLeaves(const CEGUI::EventArgs&) {
  m_bExitHovered = false;
  return true;
}
