// Change-only widget writes of the head-up frames.
#include "gui/HudWidgets.h"

#include "gui/CeguiCompat.h"

#include <CEGUI/CEGUI.h>

#include <algorithm>
#include <cstdio>

using CeguiCompat::Try;

namespace HudWidgets {

void SetText(CEGUI::Window* window, const std::string& utf8) {
  if (!window) return;
  const CEGUI::String text = CeguiCompat::ToGui(utf8);
  if (window->getText() != text) Try("hud text", [&] { window->setText(text); });
}

void SetNumber(CEGUI::Window* window, int value) {
  char text[16];
  std::snprintf(text, sizeof(text), "%d", value);
  SetText(window, text);
}

void SetVisible(CEGUI::Window* window, bool visible) {
  if (window && window->isVisible() != visible) Try("hud visibility", [&] { window->setVisible(visible); });
}

void SetEnabled(CEGUI::Window* window, bool enabled) {
  if (window && window->isDisabled() == enabled) Try("hud enable", [&] { window->setEnabled(enabled); });
}

void SetHeight(CEGUI::Window* window, const CEGUI::UDim& height) {
  if (window && window->getHeight() != height) Try("hud height", [&] { window->setHeight(height); });
}

void SetWidth(CEGUI::Window* window, const CEGUI::UDim& width) {
  if (window && window->getWidth() != width) Try("hud width", [&] { window->setWidth(width); });
}

void SetAlpha(CEGUI::Window* window, float alpha) {
  if (window && window->getAlpha() != alpha) Try("hud alpha", [&] { window->setAlpha(alpha); });
}

void SetSelected(CEGUI::Window* window, bool selected) {
  auto* toggle = dynamic_cast<CEGUI::ToggleButton*>(window);
  if (toggle && toggle->isSelected() != selected) Try("hud selection", [&] { toggle->setSelected(selected); });
}

void SetTooltip(CEGUI::Window* window, const CEGUI::String& text) {
  if (window && window->getTooltipText() != text) Try("hud tooltip", [&] { window->setTooltipText(text); });
}

void Blink(CEGUI::Window* glow, bool& fadingIn, float step) {
  if (!glow) return;
  float alpha = glow->getAlpha() + (fadingIn ? step : -step);
  if (alpha >= 1.0f) {
    alpha = 1.0f;
    fadingIn = false;
  } else if (alpha <= 0.0f) {
    alpha = 0.0f;
    fadingIn = true;
  }
  SetAlpha(glow, alpha);
}

float BarShare(int current, int maximum) {
  return std::clamp((float)current / std::max((float)maximum, 1.0f), 0.0f, 1.0f);
}

}  // namespace HudWidgets
