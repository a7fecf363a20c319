// Renderer switches (Vision::Renderer) and the overlay helper. The null device
// keeps every value so the game can read it back; nothing is drawn headless.
#pragma once

#include "engine/base/VBase.h"
#include "engine/render/VPostProcessSSAO.h"
#include "engine/render/VShadowMapSettings.h"
#include "engine/render/VisDrawList.h"

#include <string>
#include <vector>

class VBASE_IMPEXP VisRenderer_cl {
 public:
  void SetLensFlares(bool on) { m_lensFlares = on; }
  bool GetLensFlares() const { return m_lensFlares; }
  void SetCoronas(bool on) { m_coronas = on; }
  bool GetCoronas() const { return m_coronas; }
  // Unnamed switches of the launcher's start-up.
  void SetGlobalAmbientSwitch(bool on) { m_switchA = on; }
  bool GetGlobalAmbientSwitch() const { return m_switchA; }
  void SetDepthFillSwitch(bool on) { m_switchB = on; }
  bool GetDepthFillSwitch() const { return m_switchB; }
  void SetMaxShadowDistance(float d) { m_maxShadowDistance = d; }
  float GetMaxShadowDistance() const { return m_maxShadowDistance; }
  void SetMaxAnisotropy(float a) { m_maxAnisotropy = a; }
  float GetMaxAnisotropy() const { return m_maxAnisotropy; }
  void SetDefaultTextureFilterMode(int mode) { m_filterMode = mode; }
  int GetDefaultTextureFilterMode() const { return m_filterMode; }
  void SetUseHardwareOcclusion(bool on) { m_hwOcclusion = on; }
  bool GetUseHardwareOcclusion() const { return m_hwOcclusion; }
  void SetUseHardwareOcclusionFlags(int flags) { m_hwOcclusionFlags = flags; }
  int GetUseHardwareOcclusionFlags() const { return m_hwOcclusionFlags; }
  void SetUseSingleBufferedStaticMeshes(bool on) { m_singleBuffered = on; }
  bool GetUseSingleBufferedStaticMeshes() const { return m_singleBuffered; }
  void SetWireframeMode(bool on) { m_wireframe = on; }
  bool GetWireframeMode() const { return m_wireframe; }
  void SetDebugRenderFlags(unsigned flags) { m_debugFlags = flags; }
  unsigned GetDebugRenderFlags() const { return m_debugFlags; }
  bool IsDeviceLost() const { return m_deviceLost; }
  void SetDeviceLost(bool lost) { m_deviceLost = lost; }
  bool IsRendererRunning() const { return m_running; }
  void SetRendererRunning(bool on) { m_running = on; }
  void ResetAllStates() { ++m_resetCount; }
  int GetResetCount() const { return m_resetCount; }
  // Drops what was built from resource files that changed on disk and loads them
  // again: the stand-in builds only from textures (the texture manager's), so this
  // reloads the modified ones (the window's cursor takes a new image at once) and
  // returns how many.
  int ResetEffectCaches();
  // Reloads the shader assignments that changed and returns how many: the stand-in's
  // are the surface textures the shared models' files name
  // (VisGame_cl::ReloadMeshSurfaceTextures).
  int ReloadShaderAssignments();
  // Writes the last frame to a PNG file in the program folder; false when it cannot
  // (always headless: there is no picture).
  bool SaveScreenShot(std::string* outFile = nullptr);

  // The SSAO post-processor of the main renderer node; null when the node has none.
  // The stand-in's node carries one unless a test takes it away.
  VPostProcessSSAO* GetSSAOPostProcessor() { return m_bHasSSAO ? &m_ssao : nullptr; }
  void SetHasSSAOPostProcessor(bool has) {
    m_bHasSSAO = has;
    m_ssao = VPostProcessSSAO();
  }
  // The shadow maps of the scene's shadow-casting lights. The stand-in's scenes
  // have one such light (the sun) unless a test sets another count; setting the
  // count resets every shadow map.
  int GetShadowMapCount() const { return (int)m_shadowMaps.size(); }
  VShadowMapSettings* GetShadowMap(int i) {
    return i >= 0 && i < (int)m_shadowMaps.size() ? &m_shadowMaps[i] : nullptr;
  }
  // What the world pass drew in the last frame.
  const VisDrawList_cl& GetDrawList() const { return m_drawList; }
  VisDrawList_cl& GetDrawList() { return m_drawList; }

  void SetShadowMapCount(int count) { m_shadowMaps.assign(count > 0 ? count : 0, VShadowMapSettings()); }

 private:
  bool m_lensFlares = true, m_coronas = true, m_switchA = true, m_switchB = false;
  float m_maxShadowDistance = 0.0f, m_maxAnisotropy = 1.0f;
  int m_filterMode = 0, m_hwOcclusionFlags = 0, m_resetCount = 0;
  bool m_hwOcclusion = true, m_singleBuffered = true, m_wireframe = false;
  unsigned m_debugFlags = 0;
  bool m_deviceLost = false, m_running = false;
  bool m_bHasSSAO = true;
  VPostProcessSSAO m_ssao;
  VisDrawList_cl m_drawList;
  std::vector<VShadowMapSettings> m_shadowMaps = std::vector<VShadowMapSettings>(1);
};

// Overlay brackets: they nest; IsInOverlay holds between the outermost pair.
class VBASE_IMPEXP VisRenderLoopHelper_cl {
 public:
  static void BeginOverlayRendering();
  static void EndOverlayRendering();
  static bool IsInOverlay();
  // Draws each entity of the collection with the technique: an outline in the
  // colour of its pass's "HighlightColor" joins the frame's draw list.
  static void RenderEntityWithShaders(const class VisEntityCollection_cl& entities, class VCompiledTechnique* technique);
};

namespace Vision {
VBASE_IMPEXP extern VisRenderer_cl Renderer;
}  // namespace Vision
