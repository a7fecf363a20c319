// The hero choice of a new game, shown inside the main menu: three heroes with
// their picture, story, power-ball rows and perk. A choice is stored in GUIManager
// at once; Back and Forward drive the main menu's transitions.
#pragma once

#include "gui/BaseWindow.h"

class FrameCharacterSelection : public BaseWindow {
 public:
  // What the screen shows of a hero; the numbers are display values of this screen.
  struct Hero {
    int character;  // GUIManager's selected player character
    const char* nameKey;
    const char* storyKey;
    const char* image;
    int balls[3];  // damage, speed, toughness
    const char* perkImage;
    const char* perkKey;
    const char* perkDescriptionKey;
  };
  enum HeroIndex { HERO_WALKER = 0, HERO_JOLIE = 1, HERO_JACK = 2 };
  static const Hero kHeroes[3];
  // Balls in every row, blue ones first.
  static const int kBallsPerRow = 15;

  FrameCharacterSelection();
  ~FrameCharacterSelection() override;

  bool HookComponents() override;
  // Keeps the backdrop behind the panel.
  void OnBeforeGUIUpdate() override;

  // Each returns the length of the last animation it started, in seconds.
  float StartFadeInAnimation();
  float StartFadeOutAnimation();

  bool WalkerActivated(const CEGUI::EventArgs& args);
  bool JackActivated(const CEGUI::EventArgs& args);
  bool JolieActivated(const CEGUI::EventArgs& args);
  // Main menu transitions 5 and 19; false without a main menu or when it refuses.
  bool BackClicked(const CEGUI::EventArgs& args);
  bool ForwardClicked(const CEGUI::EventArgs& args);

  // The markup of a power-ball row: blue balls up to the count, then empty ones.
  static CEGUI::String BallRowText(int blue);

 private:
  void InitSelection();
  void ShowHero(const Hero& hero);
  void ShowSkills(const Hero& hero);

  CEGUI::Window* m_pWalker = nullptr;
  CEGUI::Window* m_pJack = nullptr;
  CEGUI::Window* m_pJolie = nullptr;
  CEGUI::Window* m_pName = nullptr;
  CEGUI::Window* m_pDescTopic = nullptr;
  CEGUI::Window* m_pCharacterImage = nullptr;
  CEGUI::Window* m_pStory = nullptr;
  CEGUI::Window* m_pDamagePoints = nullptr;
  CEGUI::Window* m_pSpeedPoints = nullptr;
  CEGUI::Window* m_pToughnessPoints = nullptr;
  CEGUI::Window* m_pPerkImage = nullptr;
  CEGUI::Window* m_pPerkDescription = nullptr;
  CEGUI::Window* m_pCharactersBG = nullptr;
  CEGUI::Window* m_pBGImage = nullptr;
  CEGUI::Window* m_pBtnBack = nullptr;
  CEGUI::Window* m_pBtnForward = nullptr;
  CEGUI::Window* m_pChoose = nullptr;
  CEGUI::Window* m_pSkillsGroup = nullptr;
  CEGUI::Window* m_pPerkGroup = nullptr;
  CEGUI::Window* m_pSelectionBG = nullptr;
};
