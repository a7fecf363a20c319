// Writes for head-up frames that update every frame: each changes the widget only
// when the value differs, so an unchanged HUD costs no layout or redraw.
#pragma once

#include <CEGUI/UDim.h>

#include <string>

namespace CEGUI {
class String;
class Window;
}  // namespace CEGUI

namespace HudWidgets {

void SetText(CEGUI::Window* window, const std::string& utf8);
// "%d" of the value.
void SetNumber(CEGUI::Window* window, int value);
void SetVisible(CEGUI::Window* window, bool visible);
void SetEnabled(CEGUI::Window* window, bool enabled);
void SetHeight(CEGUI::Window* window, const CEGUI::UDim& height);
void SetWidth(CEGUI::Window* window, const CEGUI::UDim& width);
void SetAlpha(CEGUI::Window* window, float alpha);
// Only for toggle buttons (check boxes, radio buttons).
void SetSelected(CEGUI::Window* window, bool selected);
void SetTooltip(CEGUI::Window* window, const CEGUI::String& text);
// Blinks a glow: alpha up while fading in, down while fading out, turning at 1 and 0.
void Blink(CEGUI::Window* glow, bool& fadingIn, float step);
// A bar's share of current over maximum, never beyond 0..1, also for hit points
// nobody keeps (maximum -1).
float BarShare(int current, int maximum);

}  // namespace HudWidgets
