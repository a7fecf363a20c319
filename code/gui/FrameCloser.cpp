// The shared close handler of the frames.
#include "gui/FrameCloser.h"

#include "gui/BaseWindow.h"
#include "gui/GUIManager.h"

#include <CEGUI/EventArgs.h>

namespace FrameCloser {

bool CloseClicked(BaseWindow* frame) {
  if (!frame || !GUIManager::HasInstance()) return true;
  GUIManager* gui = GUIManager::GetInstance();
  if (!gui->IsInitialized()) return true;
  const WINDOW_TYPES type = frame->GetWindowType();
  BaseWindow* current = gui->GetCurrentFrame();
  if (current && current->GetWindowType() == type) gui->SetCurrentFrame(nullptr);
  if (BaseWindow* open = gui->FindWindowA(type)) open->RequestRemove();
  return true;
}

CEGUI::SubscriberSlot Subscriber(BaseWindow* frame) {
  return CEGUI::SubscriberSlot([frame](const CEGUI::EventArgs&) { return CloseClicked(frame); });
}

}  // namespace FrameCloser
