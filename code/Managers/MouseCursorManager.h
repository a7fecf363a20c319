// The hardware mouse cursor: shows, moves and sets the image of the graphics
// device's cursor, and puts the image back after a device reset. CEGUI decides
// which image applies (GUIManager hands it over once per rendered frame).
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/os/VOs.h"
#include "engine/render/VTextureObject.h"
#include "util/Singleton.h"

// Cursor kinds, each with an image of the imageset "Cursors".
enum CURSOR_TYPES : int {
  CURSOR_EMPTY = 0,
  CURSOR_DEFAULT = 1,
  CURSOR_CROSSHAIR = 2,
  CURSOR_INVALID = 3,
  CURSOR_FINGER = 4,
  CURSOR_HOURGLASS = 5,
  CURSOR_COUNT = 6
};

class MouseCursorManager : public Singleton<MouseCursorManager>, public IVisCallbackHandler_cl {
 public:
  ~MouseCursorManager() override;

  // Each does nothing without a device or while the device is lost.
  void ShowD3DCursor(bool show);
  void SetD3DCursorPosition(VPoint point);
  VPoint GetD3DCursorPosition() const { return m_position; }
  // Also nothing for a null texture or the image already set.
  void SetD3DCursorImage(VTextureObject* texture, unsigned hotspotX, unsigned hotspotY);
  // Applies the current image and hotspot again.
  void ResetD3DCursorImage();
  VTextureObject* GetCurrentImage() const { return m_spCurrentImage; }

  // Device restored: the image goes back on the cursor.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<MouseCursorManager>;
  MouseCursorManager();
  void ApplyImage();

  void* m_pDevice = nullptr;
  VSmartPtr<VTextureObject> m_spCurrentImage;
  unsigned m_iHotspotX = 0;
  unsigned m_iHotspotY = 0;
  VPoint m_position;
};
