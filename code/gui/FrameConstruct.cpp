// The construction dialog.
#include "gui/FrameConstruct.h"

#include "entities/PlayerStats.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "Managers/GameSessionManager.h"

#include <CEGUI/CEGUI.h>

namespace {

PlayerStats* PlayerRecord() {
  return GameSessionManager::HasInstance() ? GameSessionManager::GetInstance()->GetPlayer() : nullptr;
}

}  // namespace

FrameConstruct::FrameConstruct() : BaseWindow(WT_CONSTRUCT, "Construct.layout") {}

FrameConstruct::~FrameConstruct() {
  RequestPause(false);
  m_yesFunction.cleanup();
  m_noFunction.cleanup();
}

bool FrameConstruct::HookComponents() {
  RequestPause(true);
  m_pDialog = GetComponent("Construct/Window");
  m_pLabel = GetComponent("Construct/Window/LabelConstruct");
  m_pYesButton = GetComponent("Construct/Window/ButtonYes");
  m_pNoButton = GetComponent("Construct/Window/ButtonNo");
  if (!Bind(m_pYesButton, CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&FrameConstruct::ButtonYesClicked, this)))
    return false;
  if (!Bind(m_pNoButton, CEGUI::Window::EventMouseClick, CEGUI::Event::Subscriber(&FrameConstruct::ButtonNoClicked, this)))
    return false;
  m_iPrice = 0;
  return true;
}

void FrameConstruct::OnBeforeGUIUpdate() {
  if (!m_pRootWindow || !m_pRootWindow->isVisible()) return;
}

void FrameConstruct::SetYesButtonFunction(CEGUI::SubscriberSlot slot) {
  m_yesFunction.cleanup();
  m_yesFunction = slot;
}

void FrameConstruct::SetNoButtonFunction(CEGUI::SubscriberSlot slot) {
  m_noFunction.cleanup();
  m_noFunction = slot;
}

void FrameConstruct::UpdateYesButton(int price) {
  m_iPrice = price;
  PlayerStats* player = PlayerRecord();
  if (!m_pYesButton || (player && price <= player->GetMoney())) return;
  CeguiCompat::Try("construct yes button", [&] {
    m_pYesButton->setEnabled(false);
    if (CEGUI::Window* text = GetComponent("Construct/Window/ButtonYes/Text"))
      text->setProperty("TextColours", "tl:FF000000 tr:FF000000 bl:FF000000 br:FF000000");
    if (CEGUI::Window* text = GetComponent("Construct/Window/ButtonYes/Text1"))
      text->setProperty("TextColours", "tl:FFCCCCCC tr:FFCCCCCC bl:FFCCCCCC br:FFCCCCCC");
  });
}

void FrameConstruct::SetDescription(const CEGUI::String& text) {
  if (m_pLabel && m_pLabel->getText() != text) CeguiCompat::Try("construct text", [&] { m_pLabel->setText(text); });
}

void FrameConstruct::OnPlotGone(const void* plot) {
  if (!plot || plot != m_pPlot) return;
  m_pPlot = nullptr;
  m_iPrice = 0;
  m_yesFunction.cleanup();
  m_noFunction.cleanup();
  Close();
}

void FrameConstruct::Close() {
  GUIManager* gui = GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr;
  if (!gui || !gui->IsInitialized()) return;
  if (gui->GetCurrentFrame() == this) gui->SetCurrentFrame(nullptr);
  RequestRemove();
}

void FrameConstruct::Answer(CEGUI::SubscriberSlot& function, const CEGUI::EventArgs& args) {
  // The dialog owns the running function, so that one set anew meanwhile frees
  // nothing in use; the dialog answers once.
  CEGUI::SubscriberSlot running = function;
  function = CEGUI::SubscriberSlot();
  if (running.connected()) running(args);
  running.cleanup();
}

bool FrameConstruct::ButtonYesClicked(const CEGUI::EventArgs& args) {
  Answer(m_yesFunction, args);
  if (PlayerStats* player = PlayerRecord()) player->DecMoney(m_iPrice);
  m_iPrice = 0;
  Close();
  return true;
}

bool FrameConstruct::ButtonNoClicked(const CEGUI::EventArgs& args) {
  Answer(m_noFunction, args);
  Close();
  return true;
}
