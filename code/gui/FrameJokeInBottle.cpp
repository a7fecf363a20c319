// The joke-in-a-bottle frame.
#include "gui/FrameJokeInBottle.h"

#include "Managers/JokeManager.h"
#include "Managers/LocalizationTable.h"
#include "gui/CeguiCompat.h"

#include <CEGUI/Window.h>

#include <cstdio>

FrameJokeInBottle::FrameJokeInBottle() : BaseWindow(WT_JOKE_IN_BOTTLE, "JokeInBottle.layout") {}

FrameJokeInBottle::~FrameJokeInBottle() = default;

bool FrameJokeInBottle::HookComponents() {
  m_pJokeCounter = GetComponent("JokeInBottle/JokeFrame/TitleFrame/JokeCounterLabel");
  m_pJokeText = GetComponent("JokeInBottle/JokeFrame/CenterScroll/JokeText");
  return BaseWindow::HookComponents();
}

void FrameJokeInBottle::InitWindow(const CEGUI::String& text, bool) {
  const int count = LocalizationTable::GetInstance()->GetJokeCount();
  const int read = count - JokeManager::GetInstance()->GetUnseenCount();
  char counter[32];
  snprintf(counter, sizeof(counter), "%d/%d", read, count);
  m_sCounter = counter;
  m_sText = text;
  if (m_pJokeCounter) CeguiCompat::Try("joke counter", [&] { m_pJokeCounter->setText(m_sCounter); });
  if (m_pJokeText) CeguiCompat::Try("joke text", [&] { m_pJokeText->setText(m_sText); });
  m_fAnimationTimer = m_fAnimationDuration;
  m_bAnimating = true;
}
