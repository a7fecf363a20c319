// The hero choice of a new game.
#include "gui/FrameCharacterSelection.h"

#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameMainMenu.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::Try;

namespace {

const char* const kTitlePrefix = "[colour='FFFED38E'][font='SketchHeavyRegular-26-scaling']";
const char* const kNamePrefix = "[colour='FF96D6F2'][font='SketchHeavyRegular-18-scaling']";
const char* const kBlueBall = "[image='set:GUI_Window_01 image:PowerBallBlue']";
const char* const kEmptyBall = "[image='set:GUI_Window_01 image:PowerBallNone']";

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }

void SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window) Try("hero text", [&] { window->setText(text); });
}

// Image texts go through the compatibility layer ("set:X image:Y"), and only to
// windows that have an "Image" property.
void SetImage(CEGUI::Window* window, const char* image) {
  if (window && window->isPropertyPresent("Image")) CeguiCompat::SetProperty(window, "Image", image);
}

bool AskMainMenu(int state) {
  auto* menu = dynamic_cast<FrameMainMenu*>(GUIManager::GetInstance()->FindWindowA(WT_MAIN_MENU));
  return menu && menu->StartTransition(state);
}

}  // namespace

const FrameCharacterSelection::Hero FrameCharacterSelection::kHeroes[3] = {
    {1, "str_MAIN_CHARACTER_PIRATE", "str_MAIN_CHARACTER_PIRATE_DESCRIPTION", "set:CharacterImages_01 image:Walker",
     {4, 4, 4}, "set:Buttons_01 image:Skill2Normal", "str_SKILL_DRUNKEN_FRENZY", "str_SKILL_DRUNKEN_FRENZY_DESCRIPTION"},
    {2, "str_MAIN_CHARACTER_CORSAIR", "str_MAIN_CHARACTER_CORSAIR_DESCRIPTION", "set:CharacterImages_01 image:Jolie",
     {3, 5, 4}, "set:Buttons_01 image:Skill1Normal", "str_SKILL_BLADE_TORNADO", "str_SKILL_BLADE_TORNADO_DESCRIPTION"},
    {3, "str_MAIN_CHARACTER_BUCCANEER", "str_MAIN_CHARACTER_BUCCANEER_DESCRIPTION", "set:CharacterImages_01 image:Jack",
     {4, 3, 3}, "set:Buttons_01 image:Skill0Normal", "str_SKILL_RABBIT_FINGER", "str_SKILL_RABBIT_FINGER_DESCRIPTION"},
};

FrameCharacterSelection::FrameCharacterSelection() : BaseWindow(WT_CHARACTER_SELECTION, "CharacterSelection.layout") {}

FrameCharacterSelection::~FrameCharacterSelection() {}

bool FrameCharacterSelection::HookComponents() {
  if (!Bind("CharacterSelection/CharacterSelectionBG/BtnBack", CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FrameCharacterSelection::BackClicked, this)))
    return false;
  if (!Bind("CharacterSelection/CharacterSelectionBG/BtnForward", CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FrameCharacterSelection::ForwardClicked, this)))
    return false;

  m_pWalker = GetComponent("CharacterSelection/CharactersBG/Walker");
  m_pJack = GetComponent("CharacterSelection/CharactersBG/Jack");
  m_pJolie = GetComponent("CharacterSelection/CharactersBG/Jolie");
  // A hero window the layout lacks is simply not offered.
  if (m_pWalker && !Bind(m_pWalker, CEGUI::Window::EventActivated,
                         CEGUI::Event::Subscriber(&FrameCharacterSelection::WalkerActivated, this)))
    return false;
  if (m_pJack && !Bind(m_pJack, CEGUI::Window::EventActivated,
                       CEGUI::Event::Subscriber(&FrameCharacterSelection::JackActivated, this)))
    return false;
  if (m_pJolie && !Bind(m_pJolie, CEGUI::Window::EventActivated,
                        CEGUI::Event::Subscriber(&FrameCharacterSelection::JolieActivated, this)))
    return false;

  m_pName = GetComponent("CharacterSelection/CharacterSelectionBG/Name");
  m_pDescTopic = GetComponent("CharacterSelection/CharacterSelectionBG/DescTopic");
  m_pCharacterImage = GetComponent("CharacterSelection/CharacterSelectionBG/CharacterImage");
  m_pStory = GetComponent("CharacterSelection/CharacterSelectionBG/Story");
  m_pDamagePoints = GetComponent("CharacterSelection/CharacterSelectionBG/SkillsGroup/DamagePoints");
  m_pSpeedPoints = GetComponent("CharacterSelection/CharacterSelectionBG/SkillsGroup/SpeedPoints");
  m_pToughnessPoints = GetComponent("CharacterSelection/CharacterSelectionBG/SkillsGroup/ToughnessPoints");
  m_pPerkImage = GetComponent("CharacterSelection/CharacterSelectionBG/PerkGroup/PerkImage");
  m_pPerkDescription = GetComponent("CharacterSelection/CharacterSelectionBG/PerkGroup/Description");
  m_pCharactersBG = GetComponent("CharacterSelection/CharactersBG");
  m_pBGImage = GetComponent("CharacterSelection/BGImage");
  m_pBtnBack = GetComponent("CharacterSelection/CharacterSelectionBG/BtnBack");
  m_pBtnForward = GetComponent("CharacterSelection/CharacterSelectionBG/BtnForward");
  m_pChoose = GetComponent("CharacterSelection/Choose");
  m_pSkillsGroup = GetComponent("CharacterSelection/CharacterSelectionBG/SkillsGroup");
  m_pPerkGroup = GetComponent("CharacterSelection/CharacterSelectionBG/PerkGroup");
  m_pSelectionBG = GetComponent("CharacterSelection/CharacterSelectionBG");

  InitSelection();
  return true;
}

void FrameCharacterSelection::InitSelection() {
  const Hero& walker = kHeroes[HERO_WALKER];
  SetText(m_pChoose, kTitlePrefix + Text("str_SELECT_CHARACTER"));
  if (auto* radio = dynamic_cast<CEGUI::ToggleButton*>(m_pWalker))
    Try("select hero", [&] { radio->setSelected(true); });
  SetText(m_pName, kNamePrefix + Text(walker.nameKey));
  SetText(m_pDescTopic, kNamePrefix + Text("str_TOOLTIP_CHARACTER_SCREEN_BACKGROUND"));
  SetText(m_pStory, Text(walker.storyKey));
  SetImage(m_pCharacterImage, walker.image);
  GUIManager::GetInstance()->SetSelectedPlayerCharacter(walker.character);
  ShowSkills(walker);
}

void FrameCharacterSelection::ShowHero(const Hero& hero) {
  SetText(m_pName, kNamePrefix + Text(hero.nameKey));
  SetText(m_pStory, Text(hero.storyKey));
  SetImage(m_pCharacterImage, hero.image);
  GUIManager::GetInstance()->SetSelectedPlayerCharacter(hero.character);
  ShowSkills(hero);
}

CEGUI::String FrameCharacterSelection::BallRowText(int blue) {
  std::string row;
  for (int i = 0; i < kBallsPerRow; ++i) row += i < blue ? kBlueBall : kEmptyBall;
  // Markup image names take the "Imageset/Image" form.
  return CeguiCompat::ToGui(CeguiCompat::ConvertImageText(row));
}

void FrameCharacterSelection::ShowSkills(const Hero& hero) {
  CEGUI::Window* const rows[3] = {m_pDamagePoints, m_pSpeedPoints, m_pToughnessPoints};
  for (int i = 0; i < 3; ++i) SetText(rows[i], BallRowText(hero.balls[i]));
  SetImage(m_pPerkImage, hero.perkImage);
  SetText(m_pPerkDescription, Text(hero.perkKey) + "\n" + Text(hero.perkDescriptionKey));
}

bool FrameCharacterSelection::WalkerActivated(const CEGUI::EventArgs&) {
  ShowHero(kHeroes[HERO_WALKER]);
  return true;
}

bool FrameCharacterSelection::JackActivated(const CEGUI::EventArgs&) {
  ShowHero(kHeroes[HERO_JACK]);
  return true;
}

bool FrameCharacterSelection::JolieActivated(const CEGUI::EventArgs&) {
  ShowHero(kHeroes[HERO_JOLIE]);
  return true;
}

bool FrameCharacterSelection::BackClicked(const CEGUI::EventArgs&) { return AskMainMenu(MMS_CHARACTER_SELECTION_BACK); }

bool FrameCharacterSelection::ForwardClicked(const CEGUI::EventArgs&) {
  return AskMainMenu(MMS_CHARACTER_SELECTION_ACCEPT);
}

float FrameCharacterSelection::StartFadeInAnimation() {
  StartAnimation("MainMenu_CH_ButtonFadeIn_1st", m_pChoose);
  StartAnimation("MainMenu_CH_ButtonFadeIn_1stChar", m_pWalker);
  StartAnimation("MainMenu_CH_ButtonFadeIn_2ndChar", m_pJolie);
  StartAnimation("MainMenu_CH_ButtonFadeIn_3rdChar", m_pJack);
  StartAnimation("MainMenu_CH_ButtonFadeIn_2nd", m_pBGImage);
  StartAnimation("MainMenu_CH_ButtonFadeIn_3rd", m_pCharacterImage);
  StartAnimation("MainMenu_CH_ButtonFadeIn_3rd", m_pName);
  for (CEGUI::Window* window : {m_pStory, m_pDescTopic, m_pSkillsGroup, m_pPerkGroup})
    StartAnimation("MainMenu_CH_ButtonFadeIn_4th", window);
  StartAnimation("MainMenu_CH_ButtonFadeIn_5th", m_pBtnForward);
  return StartAnimation("MainMenu_CH_ButtonFadeIn_5th", m_pBtnBack);
}

float FrameCharacterSelection::StartFadeOutAnimation() {
  StartAnimation("MainMenu_ButtonFadeOut_1st", m_pBtnBack);
  StartAnimation("MainMenu_ButtonFadeOut_1st", m_pBtnForward);
  for (CEGUI::Window* window : {m_pSkillsGroup, m_pPerkGroup, m_pStory, m_pDescTopic})
    StartAnimation("MainMenu_ButtonFadeOut_3rd", window);
  for (CEGUI::Window* window : {m_pCharacterImage, m_pName, m_pBGImage})
    StartAnimation("MainMenu_ButtonFadeOut_5th", window);
  StartAnimation("MainMenu_ButtonFadeOut_6th", m_pCharactersBG);
  return StartAnimation("MainMenu_ButtonFadeOut_6th", m_pChoose);
}

void FrameCharacterSelection::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  if (m_pBGImage && m_pSelectionBG) Try("backdrop order", [&] { m_pBGImage->moveBehind(m_pSelectionBG); });
}
