// The action tool bar.
#include "gui/FrameToolBar.h"

FrameToolBar::FrameToolBar() : BaseWindow(WT_TOOLBAR, "ToolBar.layout") {}
