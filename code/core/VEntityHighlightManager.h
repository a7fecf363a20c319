// Outlines over chosen entities, drawn with the techniques "EntityHighlight" (in
// view) and "EntityOcclusionHighlight" (hidden behind geometry) of the shader
// library "shaders\EntityHighlight.ShaderLib": a highlight set (objects under the
// cursor, the nearest town), an occlusion set (soldiers that show through walls)
// and a unit set (soldiers of units, with an active subset).
//
// Engine callbacks: OnVideoDeviceRestored empties the sets and reloads the shaders
// (the device's techniques are gone); OnAfterSceneLoaded sizes the unit states to
// the registered soldiers.
#pragma once

#include "util/Singleton.h"

#include "engine/base/DynArray.h"
#include "engine/base/VCallback.h"
#include "engine/core/VisGame.h"
#include "engine/render/VShaderLibrary.h"

#include <cstdint>

class VEntityHighlightManager : public Singleton<VEntityHighlightManager>, public IVisCallbackHandler_cl {
 public:
  // Unit states of a registered soldier.
  enum { UNIT_STATE_NONE = 0, UNIT_STATE_ON = 1, UNIT_STATE_OFF = 3 };

  static constexpr const char* kShaderLibrary = "shaders\\EntityHighlight.ShaderLib";
  static constexpr const char* kHighlightTechnique = "EntityHighlight";
  static constexpr const char* kOcclusionTechnique = "EntityOcclusionHighlight";
  static constexpr const char* kColourConstant = "HighlightColor";
  static constexpr float kNoTimer = -1.0f;

  // Created on first use (GetInstance): listens to the engine callbacks above, engine
  // de-init, the render hook, OnUnitRemoved and OnEntityDestroyed of the game's bus,
  // and loads the shaders. Shutdown leaves them, empties the sets, lets go of the
  // techniques and deletes the manager.
  static void Shutdown() { CleanInstance(); }

  // Colours are 0xAARRGGBB words; the outline takes R, G, B (alpha ignored). Adding
  // an entity twice keeps one entry and the last colour.
  void AddHighlight(VisBaseEntity_cl* entity, uint32_t colour);
  void RemoveHighlight(VisBaseEntity_cl* entity);
  bool IsHighlighted(const VisBaseEntity_cl* entity) const { return m_highlights.Contains(entity); }
  void AddOcclusionHighlight(VisBaseEntity_cl* entity, uint32_t colour);
  bool IsOcclusionHighlighted(const VisBaseEntity_cl* entity) const { return m_occlusions.Contains(entity); }
  void AddUnitHighlight(VisBaseEntity_cl* soldier, uint32_t colour);
  void RemoveUnitHighlight(VisBaseEntity_cl* soldier);
  void ClearUnitHighlights();
  bool IsUnitRegistered(const VisBaseEntity_cl* soldier) const { return m_registeredUnits.Contains(soldier); }
  bool IsUnitActive(const VisBaseEntity_cl* soldier) const { return m_activeUnits.Contains(soldier); }
  int GetUnitState(const VisBaseEntity_cl* soldier) const;
  // Takes the entity out of all four sets and forgets its data (an entity leaving
  // the scene: its number may go to another entity).
  void RemoveFromAllSets(VisBaseEntity_cl* entity);
  // Empties the highlight set (between scenes).
  void RemoveAllHighlights();
  uint32_t GetHighlightColour(const VisBaseEntity_cl* entity) const;
  uint32_t GetOcclusionColour(const VisBaseEntity_cl* entity) const;
  // Seconds left of a highlight, -1 for none.
  float GetHighlightTimer(const VisBaseEntity_cl* entity) const;
  int GetHighlightCount() const { return m_highlights.GetNumEntries(); }
  int GetOcclusionCount() const { return m_occlusions.GetNumEntries(); }
  int GetRegisteredUnitCount() const { return m_registeredUnits.GetNumEntries(); }
  int GetActiveUnitCount() const { return m_activeUnits.GetNumEntries(); }
  unsigned GetUnitStateSlots() const { return m_unitStates.GetSize(); }

  // The shader constant of a colour word: (R/255, G/255, B/255, 1).
  static void ColourToConstant(uint32_t colour, float out[4]);

  // Loads the library and makes both techniques (each replaces the one held).
  void LoadShaders();
  VCompiledTechnique* GetHighlightTechnique() const { return m_spHighlightTechnique.GetPtr(); }
  VCompiledTechnique* GetOcclusionTechnique() const { return m_spOcclusionTechnique.GetPtr(); }
  float GetCycleTime() const { return m_fCycleTime; }
  float GetCycleLength() const { return 1.0f / m_fCycleA + m_fCycleC + 1.0f / m_fCycleB; }

  // The render passes (the render hook's VRH_PRE_SCREENMASKS stage).
  void Render();

  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

 private:
  friend class Singleton<VEntityHighlightManager>;
  VEntityHighlightManager();
  ~VEntityHighlightManager() override;

  void RegisterCallbacks(bool on);
  void ClearAllSets();
  void ReleaseTechniques();
  // Draws each entity alone so that each gets its own colour.
  void DrawWithColours(const VisEntityCollection_cl& entities, VCompiledTechnique* technique);
  // Whether the entity's centre projects inside the screen.
  static bool IsOnScreen(const VisBaseEntity_cl* entity);
  static void SetColourConstant(VCompiledTechnique* technique, uint32_t colour);

  VisEntityCollection_cl m_occlusions{16, 1024};
  VisEntityCollection_cl m_highlights{16, 1024};
  VisEntityCollection_cl m_registeredUnits{16, 1024};
  VisEntityCollection_cl m_activeUnits{16, 1024};
  // Per entity, by entity number.
  DynArray_cl<uint32_t> m_highlightColours;
  DynArray_cl<uint32_t> m_occlusionColours;
  DynArray_cl<uint8_t> m_unitStates{256, 0};
  DynArray_cl<float> m_timers{256, kNoTimer};
  // A cycle of 1/3.0 + 0.5 + 1/1.5 seconds.
  float m_fCycleA = 3.0f;
  float m_fCycleB = 1.5f;
  float m_fCycleC = 0.5f;
  float m_fCycleTime = 0.0f;
  VCompiledTechniquePtr m_spHighlightTechnique;
  VCompiledTechniquePtr m_spOcclusionTechnique;
};
