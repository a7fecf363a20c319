#include "gui/FrameOptions.h"

#include "gui/GUIManager.h"

FrameOptions::FrameOptions() : BaseWindow(WT_OPTIONS, "Options.layout") {}

FrameOptions::~FrameOptions() {}
