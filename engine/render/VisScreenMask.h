// A screen mask: a textured rectangle in screen pixels drawn over the scene and
// under the GUI, lower orders first. Headless nothing is drawn; the masks to draw
// are listed by GetVisibleMasks (the draw list), so what would show can be tested.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/render/VTextureObject.h"

#include <vector>

enum VIS_TransparencyType { VIS_TRANSP_NONE = 0, VIS_TRANSP_ALPHA = 1 };

class VBASE_IMPEXP VisScreenMask_cl : public VRefCounter {
 public:
  VisScreenMask_cl();
  ~VisScreenMask_cl() override;

  void SetPos(float x, float y) { m_fX = x; m_fY = y; }
  void GetPos(float& x, float& y) const { x = m_fX; y = m_fY; }
  void SetTargetSize(float width, float height) { m_fWidth = width; m_fHeight = height; }
  void GetTargetSize(float& width, float& height) const { width = m_fWidth; height = m_fHeight; }
  void SetTextureObject(VTextureObject* texture) { m_spTexture = texture; }
  VTextureObject* GetTextureObject() const { return m_spTexture.GetPtr(); }
  void SetOrder(int order) { m_iOrder = order; }
  int GetOrder() const { return m_iOrder; }
  // Linear filtering when on, nearest texel when off.
  void SetFiltering(bool on) { m_bFiltering = on; }
  bool GetFiltering() const { return m_bFiltering; }
  void SetVisible(bool visible) { m_bVisible = visible; }
  bool IsVisible() const { return m_bVisible; }
  void SetTransparency(VIS_TransparencyType type) { m_eTransparency = type; }
  VIS_TransparencyType GetTransparency() const { return m_eTransparency; }

  // The visible masks with a texture, in drawing order (order, then age).
  static std::vector<VisScreenMask_cl*> GetVisibleMasks();
  // Draws them into the window's frame; nothing headless.
  static void RenderAll();

 private:
  float m_fX = 0, m_fY = 0, m_fWidth = 0, m_fHeight = 0;
  VSmartPtr<VTextureObject> m_spTexture;
  int m_iOrder = 0;
  bool m_bFiltering = true;
  bool m_bVisible = true;
  VIS_TransparencyType m_eTransparency = VIS_TRANSP_NONE;
};
