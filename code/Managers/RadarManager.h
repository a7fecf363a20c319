// The sea radar: markers for entities and world positions, each shown by its own
// indicator frame at the target or pinned to the screen border.
#pragma once

#include "engine/base/VCallback.h"
#include "util/Singleton.h"

class RadarManager : public Singleton<RadarManager>, public IVisCallbackHandler_cl {
 public:
  ~RadarManager() override;

  // Shows or hides every indicator (hidden under the loading screen).
  void SetAllVisible(bool visible);

  // The border geometry comes from the video mode at the next update; a change of
  // resolution asks for it again.
  bool IsScreenGeometryReady() const { return m_bGeometryReady; }
  void InvalidateScreenGeometry() { m_bGeometryReady = false; }

  // Per frame, engine de-initialisation and destroyed entities.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<RadarManager>;
  RadarManager();

  bool m_bGeometryReady = false;
};
