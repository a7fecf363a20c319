// The close handler that several frames share (the player information, the
// inventory, the building screens): it always closes the frame it is bound to.
#pragma once

#include <CEGUI/SubscriberSlot.h>

class BaseWindow;

namespace FrameCloser {

// Forgets the frame as the current frame and asks the open frame of its kind to
// go. Nothing before the GUI has started; always true, so the click is taken.
bool CloseClicked(BaseWindow* frame);
// A subscriber that calls CloseClicked for that frame, for BaseWindow::Bind.
CEGUI::SubscriberSlot Subscriber(BaseWindow* frame);

}  // namespace FrameCloser
