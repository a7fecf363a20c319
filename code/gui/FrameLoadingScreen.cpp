// The loading screen.
#include "gui/FrameLoadingScreen.h"

#include "Managers/RadarManager.h"
#include "engine/base/VisInput.h"
#include "engine/base/VisTimer.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"

#include <CEGUI/CEGUI.h>

using CeguiCompat::Try;

namespace {

const char* const kPictures[] = {
    "..\\..\\..\\data\\gui\\textures\\loadingscreen.dds",  "..\\..\\..\\data\\gui\\textures\\loadscreen_01.dds",
    "..\\..\\..\\data\\gui\\textures\\loadscreen_02.dds",  "..\\..\\..\\data\\gui\\textures\\loadscreen_03.dds",
    "..\\..\\..\\data\\gui\\textures\\loadscreen_04.dds",  "..\\..\\..\\data\\gui\\textures\\loadscreen_05.dds",
    "..\\..\\..\\data\\gui\\textures\\loadscreen_06.dds",
};
const char* const kImageset = "LoadingScreenBackground";

}  // namespace

FrameLoadingScreen::FrameLoadingScreen() : BaseWindow(WT_LOADING_SCREEN, "LoadingScreen.layout") {}

bool FrameLoadingScreen::HookComponents() {
  RequestPause(true);
  if (CEGUI::Window* screen = GetComponent("LoadingScreen")) {
    Try("activate loading screen", [&] {
      screen->activate();
      screen->moveToFront();
    });
  }
  m_pBackground = GetComponent("LoadingScreen/Background");
  if (!m_pBackground) return true;
  SetLoadingScreen(kStartPicture);
  Try("loading screen alpha", [&] { m_pBackground->setInheritsAlpha(false); });
  return true;
}

void FrameLoadingScreen::SetLoadingScreen(const char* file) {
  if (!m_pBackground || !file) return;
  m_sPicture = file;
  CeguiCompat::DestroyImageset(kImageset);
  // A missing file is reported in CEGUI's log; the frame stays without a picture.
  CeguiCompat::CreateImagesetFromFile(kImageset, CeguiCompat::ResolveFilePath(file), "absolute");
  CeguiCompat::SetProperty(m_pBackground, "Image", std::string("set:") + kImageset + " image:full_image");
}

void FrameLoadingScreen::SetRandomLoadingScreen() {
  const int index = m_iNextPicture >= 1 && m_iNextPicture <= 6 ? m_iNextPicture : 0;
  SetLoadingScreen(kPictures[index]);
  if (++m_iNextPicture > 6) m_iNextPicture = 0;
}

void FrameLoadingScreen::SetAlpha(float alpha) {
  if (m_pBackground) Try("loading screen alpha", [&] { m_pBackground->setAlpha(alpha); });
}

float FrameLoadingScreen::GetAlpha() const { return m_pBackground ? m_pBackground->getAlpha() : 0.0f; }

void FrameLoadingScreen::Hide() {
  m_bHiding = true;
  m_fHoldTimer = m_fHoldTime;
}

void FrameLoadingScreen::OnBeforeGUIUpdate() {
  if (isRequestingRemove() || !m_pRootWindow || !m_pRootWindow->isVisible()) return;
  // Nothing opened during loading may lie above the picture.
  Try("loading screen front", [&] { m_pRootWindow->moveToFront(); });
  if (m_bHiding) {
    const float dt = Vision::Timer.GetTimeDifference();
    if (m_fHoldTimer > 0.0f) {
      m_fHoldTimer -= dt;
      if (m_fHoldTimer < 0.0f) m_fHoldTimer = 0.0f;
    } else {
      const float alpha = GetAlpha() - dt * m_fFadeSpeed;
      SetAlpha(alpha < 0.0f ? 0.0f : alpha);
      if (alpha <= 0.0f) {
        m_bHiding = false;
        Try("hide loading screen", [&] {
          m_pRootWindow->hide();
          m_pRootWindow->setAlwaysOnTop(false);
          m_pRootWindow->moveToBack();
        });
        RequestPause(false);
        Vision::Key.Reset();
        RadarManager::GetInstance()->SetAllVisible(true);
      }
    }
  }
  BaseWindow::OnBeforeGUIUpdate();
}
