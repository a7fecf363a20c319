// The first special weapon of a new game.
#include "gui/FrameSpecialWeapon.h"

#include "Managers/LocalizationTable.h"
#include "engine/Vision.h"
#include "gui/CeguiCompat.h"
#include "gui/FrameMainMenu.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

#include <cstdio>

using CeguiCompat::Try;

namespace {

const char* const kTitlePrefix = "[colour='FFFED38E'][font='SketchHeavyRegular-26-scaling']";

const char* const kLookSelectedButton = "CorallineLook/BlueWindow2";
const char* const kLookSelectedFrame = "CorallineLook/YellowFrame";
const char* const kLookButton = "CorallineLook/RedWindow2";
const char* const kLookHoverFrame = "CorallineLook/RedFrame";

// Topic, description and bottom label colours.
const char* const kSelectedColours[3] = {"tl:FFF29C2B tr:FFF29C2B bl:FFF29C2B br:FFF29C2B",
                                         "tl:FFFFF1CC tr:FFFFF1CC bl:FFFFF1CC br:FFFFF1CC",
                                         "tl:FF4E6875 tr:FF4E6875 bl:FF4E6875 br:FF4E6875"};
const char* const kOtherColours[3] = {"tl:FF9D1C17 tr:FF9D1C17 bl:FF9D1C17 br:FF9D1C17",
                                      "tl:FFDC6374 tr:FFDC6374 bl:FFDC6374 br:FFDC6374",
                                      "tl:FF8C1920 tr:FF8C1920 bl:FF8C1920 br:FF8C1920"};

CEGUI::String Text(const char* key) { return LocalizationTable::GetInstance()->GetText(key); }

void SetText(CEGUI::Window* window, const CEGUI::String& text) {
  if (window) Try("offer text", [&] { window->setText(text); });
}

bool HasLook(CEGUI::Window* window, const char* look) { return window && window->getLookNFeel() == look; }

// A new look rebuilds the window's imagery, so an unchanged one is left alone.
void SetLook(CEGUI::Window* window, const char* look) {
  if (window && !HasLook(window, look)) Try("offer look", [&] { window->setLookNFeel(look); });
}

int WindowId(const CEGUI::EventArgs& args) {
  const CEGUI::Window* window = static_cast<const CEGUI::WindowEventArgs&>(args).window;
  return window ? (int)window->getID() : -1;
}

bool AskMainMenu(int state) {
  auto* menu = dynamic_cast<FrameMainMenu*>(GUIManager::GetInstance()->FindWindowA(WT_MAIN_MENU));
  return menu && menu->StartTransition(state);
}

}  // namespace

FrameSpecialWeapon::FrameSpecialWeapon() : BaseWindow(WT_SPECIAL_WEAPON, "SpecialWeaponSelection.layout") {}

FrameSpecialWeapon::~FrameSpecialWeapon() { m_offers.clear(); }

bool FrameSpecialWeapon::HookComponents() {
  m_offers.assign(kOfferCount, SpecialWeaponOffer());
  VScriptResourceManager* scripts = Vision::GetScriptManager();
  IVScriptInstance* script = scripts ? scripts->GetGameScript() : nullptr;
  const bool hasOffers = script && script->HasFunction("GetSW");

  for (int d = 1; d <= kOfferCount; ++d) {
    SpecialWeaponOffer& offer = m_offers[(size_t)(d - 1)];
    char name[96];
    std::snprintf(name, sizeof(name), "SpecialWeaponSelection/Menu/Button%d", d);
    const std::string base = name;
    offer.button = GetComponent(base);
    offer.selection = GetComponent(base + "/Selection");
    offer.weaponImage = GetComponent(base + "/ImageBG/WeaponImage");
    offer.topic = GetComponent(base + "/LabelTopic");
    offer.description = GetComponent(base + "/LabelDescription");
    offer.bottom = GetComponent(base + "/LabelBottom");
    if (offer.button) Try("offer id", [&] { offer.button->setID((CEGUI::uint)(d - 1)); });

    if (hasOffers) {
      VString image, topic, description, bottom, extra;
      if (script->ExecuteFunctionArg("GetSW", "i>sssss", d, &image, &topic, &description, &bottom, &extra)) {
        offer.image = image;
        offer.topicKey = topic;
        offer.descriptionKey = description;
        offer.bottomKey = bottom;
        offer.extra = extra;
      }
    }

    if (!Bind(offer.button, CEGUI::Window::EventMouseClick,
              CEGUI::Event::Subscriber(&FrameSpecialWeapon::OfferClicked, this)) ||
        !Bind(offer.button, CEGUI::Window::EventMouseEntersArea,
              CEGUI::Event::Subscriber(&FrameSpecialWeapon::OfferEntered, this)) ||
        !Bind(offer.button, CEGUI::Window::EventMouseLeavesArea,
              CEGUI::Event::Subscriber(&FrameSpecialWeapon::OfferLeft, this)))
      return false;

    SetText(offer.topic, Text(offer.topicKey.AsChar()));
    SetText(offer.description, Text(offer.descriptionKey.AsChar()));
    SetText(offer.bottom, Text(offer.bottomKey.AsChar()));
    CeguiCompat::SetProperty(offer.weaponImage, "Image", offer.image.AsChar());
  }
  SelectOffer(0);

  m_pBackButton = GetComponent("SpecialWeaponSelection/Menu/BackButton");
  m_pAcceptButton = GetComponent("SpecialWeaponSelection/Menu/AcceptButton");
  m_pTitle = GetComponent("SpecialWeaponSelection/Title");
  if (!Bind(m_pBackButton, CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FrameSpecialWeapon::BackClicked, this)) ||
      !Bind(m_pAcceptButton, CEGUI::PushButton::EventClicked,
            CEGUI::Event::Subscriber(&FrameSpecialWeapon::AcceptClicked, this)))
    return false;
  SetText(m_pTitle, kTitlePrefix + Text("str_SWSELECT_TITLE"));
  return true;
}

void FrameSpecialWeapon::SelectOffer(int index) {
  if (!IsOffer(index)) return;
  m_iSelectedSlot = index;
  GUIManager::GetInstance()->SetSelectedSpecialWeapon(index + 1);
  for (int i = 0; i < (int)m_offers.size(); ++i) m_offers[(size_t)i].selected = i == index;
}

void FrameSpecialWeapon::HoverOffer(int index, bool hovered) {
  if (!IsOffer(index)) return;
  m_iSelectedSlot = index;
  if (!hovered) {
    m_offers[(size_t)index].hovered = false;
    return;
  }
  for (int i = 0; i < (int)m_offers.size(); ++i) m_offers[(size_t)i].hovered = i == index;
}

bool FrameSpecialWeapon::OfferClicked(const CEGUI::EventArgs& args) {
  SelectOffer(WindowId(args));
  return true;
}

bool FrameSpecialWeapon::OfferEntered(const CEGUI::EventArgs& args) {
  HoverOffer(WindowId(args), true);
  return true;
}

bool FrameSpecialWeapon::OfferLeft(const CEGUI::EventArgs& args) {
  HoverOffer(WindowId(args), false);
  return true;
}

bool FrameSpecialWeapon::BackClicked(const CEGUI::EventArgs&) { return AskMainMenu(MMS_WEAPON_SELECTION_BACK); }

bool FrameSpecialWeapon::AcceptClicked(const CEGUI::EventArgs&) { return AskMainMenu(MMS_WEAPON_SELECTION_ACCEPT); }

void FrameSpecialWeapon::UpdateOffer(SpecialWeaponOffer& offer) {
  const char* const* colours = offer.selected ? kSelectedColours : kOtherColours;
  CeguiCompat::SetProperty(offer.topic, "TextColours", colours[0]);
  CeguiCompat::SetProperty(offer.description, "TextColours", colours[1]);
  CeguiCompat::SetProperty(offer.bottom, "TextColours", colours[2]);
  Try("offer marks", [&] {
    if (offer.selected) {
      if (offer.selection) offer.selection->show();
      if (!HasLook(offer.button, kLookSelectedButton) || !HasLook(offer.selection, kLookSelectedFrame)) {
        SetLook(offer.button, kLookSelectedButton);
        SetLook(offer.selection, kLookSelectedFrame);
      }
      return;
    }
    if (offer.selection) {
      if (offer.hovered && !offer.selection->isVisible()) {
        offer.selection->show();
        SetLook(offer.selection, kLookHoverFrame);
      } else if (!offer.hovered) {
        offer.selection->hide();
      }
    }
    SetLook(offer.button, kLookButton);
  });
}

void FrameSpecialWeapon::OnBeforeGUIUpdate() {
  BaseWindow::OnBeforeGUIUpdate();
  for (SpecialWeaponOffer& offer : m_offers) UpdateOffer(offer);
}

float FrameSpecialWeapon::StartFadeInAnimation() {
  StartAnimation("MainMenu_SW_ButtonFadeIn_1st", m_pTitle);
  const char* const offers[kOfferCount] = {"MainMenu_SW_ButtonFadeIn_3rd", "MainMenu_SW_ButtonFadeIn_4th",
                                           "MainMenu_SW_ButtonFadeIn_5th"};
  for (size_t i = 0; i < m_offers.size() && i < (size_t)kOfferCount; ++i) StartAnimation(offers[i], m_offers[i].button);
  StartAnimation("MainMenu_SW_ButtonFadeIn_6th", m_pAcceptButton);
  return StartAnimation("MainMenu_SW_ButtonFadeIn_6th", m_pBackButton);
}

float FrameSpecialWeapon::StartFadeOutAnimation() {
  StartAnimation("MainMenu_ButtonFadeOut_5th", m_pTitle);
  const char* const offers[kOfferCount] = {"MainMenu_ButtonFadeOut_4th", "MainMenu_ButtonFadeOut_3rd",
                                           "MainMenu_ButtonFadeOut_2nd"};
  for (size_t i = 0; i < m_offers.size() && i < (size_t)kOfferCount; ++i) StartAnimation(offers[i], m_offers[i].button);
  StartAnimation("MainMenu_ButtonFadeOut_1st", m_pAcceptButton);
  return StartAnimation("MainMenu_ButtonFadeOut_1st", m_pBackButton);
}
