// The entity highlighter: its sets, per-entity data by entity number, the shader
// techniques and the render passes.
#include "core/VEntityHighlightManager.h"

#include "core/CallbackManager.h"
#include "core/GameManager.h"

#include "engine/Vision.h"
#include "engine/core/VisCallbacks.h"
#include "engine/core/VisVisibilityCollector.h"
#include "engine/render/VisRenderer.h"

#include <algorithm>

namespace {
// The passes reuse these; made on first use.
VisEntityCollection_cl& Scratch(int which) {
  static VisEntityCollection_cl scratch[3] = {VisEntityCollection_cl(512, 512), VisEntityCollection_cl(512, 512),
                                              VisEntityCollection_cl(512, 512)};
  return scratch[which];
}

void CopyInto(const VisEntityCollection_cl& from, VisEntityCollection_cl& to) {
  to.Clear();
  for (VisBaseEntity_cl* e : from) to.Append(e);
}

// The slot of an entity in the per-entity arrays; -1 for one outside the world.
int Slot(const VisBaseEntity_cl* entity) { return entity ? entity->GetNumber() : -1; }
}  // namespace

VEntityHighlightManager::VEntityHighlightManager() {
  RegisterCallbacks(true);
  LoadShaders();
}

VEntityHighlightManager::~VEntityHighlightManager() {
  RegisterCallbacks(false);
  ClearAllSets();
  ReleaseTechniques();
}

void VEntityHighlightManager::RegisterCallbacks(bool on) {
  VCallback* callbacks[] = {&Vision::Callbacks.OnVideoDeviceRestored, &Vision::Callbacks.OnEngineDeInit,
                            &Vision::Callbacks.OnAfterSceneLoaded,    &Vision::Callbacks.OnRenderHook,
                            &GameManager::Callbacks.OnUnitRemoved,    &GameManager::Callbacks.OnEntityDestroyed};
  for (VCallback* callback : callbacks) {
    if (on)
      callback->RegisterCallback(this);
    else
      callback->DeregisterCallback(this);
  }
}

// Shaders ----------------------------------------------------------------------------

void VEntityHighlightManager::LoadShaders() {
  Vision::Shaders.LoadShaderLibrary(kShaderLibrary);
  m_spHighlightTechnique = Vision::Shaders.CreateTechnique(kHighlightTechnique);
  m_spOcclusionTechnique = Vision::Shaders.CreateTechnique(kOcclusionTechnique);
}

void VEntityHighlightManager::ReleaseTechniques() {
  m_spHighlightTechnique = nullptr;
  m_spOcclusionTechnique = nullptr;
}

void VEntityHighlightManager::ColourToConstant(uint32_t colour, float out[4]) {
  out[0] = (float)((colour >> 16) & 0xff) / 255.0f;
  out[1] = (float)((colour >> 8) & 0xff) / 255.0f;
  out[2] = (float)(colour & 0xff) / 255.0f;
  out[3] = 1.0f;
}

void VEntityHighlightManager::SetColourConstant(VCompiledTechnique* technique, uint32_t colour) {
  float value[4];
  ColourToConstant(colour, value);
  for (int i = 0, n = technique->GetShaderCount(); i < n; ++i) {
    VCompiledShaderPass* pass = technique->GetShader(i);
    if (pass && pass->HasConstant(kColourConstant)) pass->SetConstant(kColourConstant, value);
  }
}

// Sets -------------------------------------------------------------------------------

void VEntityHighlightManager::AddHighlight(VisBaseEntity_cl* entity, uint32_t colour) {
  const int slot = Slot(entity);
  if (slot < 0) return;
  m_highlights.AppendUnique(entity);
  m_highlightColours[(unsigned)slot] = colour;
}

void VEntityHighlightManager::RemoveHighlight(VisBaseEntity_cl* entity) {
  if (!m_highlights.Remove(entity)) return;
  const int slot = Slot(entity);
  if (slot >= 0) m_timers[(unsigned)slot] = kNoTimer;
}

void VEntityHighlightManager::AddOcclusionHighlight(VisBaseEntity_cl* entity, uint32_t colour) {
  const int slot = Slot(entity);
  if (slot < 0) return;
  m_occlusions.AppendUnique(entity);
  m_occlusionColours[(unsigned)slot] = colour;
}

void VEntityHighlightManager::AddUnitHighlight(VisBaseEntity_cl* soldier, uint32_t colour) {
  const int slot = Slot(soldier);
  if (slot < 0) return;
  m_activeUnits.AppendUnique(soldier);
  m_registeredUnits.AppendUnique(soldier);
  m_highlightColours[(unsigned)slot] = colour;
  m_unitStates[(unsigned)slot] = UNIT_STATE_ON;
}

void VEntityHighlightManager::RemoveUnitHighlight(VisBaseEntity_cl* soldier) {
  if (!m_activeUnits.Remove(soldier)) return;
  m_unitStates[(unsigned)Slot(soldier)] = UNIT_STATE_OFF;
}

void VEntityHighlightManager::ClearUnitHighlights() {
  for (VisBaseEntity_cl* soldier : m_registeredUnits)
    if (m_activeUnits.Contains(soldier) && Slot(soldier) >= 0) m_unitStates[(unsigned)Slot(soldier)] = UNIT_STATE_OFF;
  m_activeUnits.Clear();
}

int VEntityHighlightManager::GetUnitState(const VisBaseEntity_cl* soldier) const {
  const int slot = Slot(soldier);
  return slot < 0 ? (int)UNIT_STATE_NONE : (int)m_unitStates.Get((unsigned)slot);
}

void VEntityHighlightManager::RemoveFromAllSets(VisBaseEntity_cl* entity) {
  if (!entity) return;
  m_occlusions.Remove(entity);
  m_highlights.Remove(entity);
  m_registeredUnits.Remove(entity);
  m_activeUnits.Remove(entity);
  const int slot = Slot(entity);
  if (slot < 0) return;
  const unsigned i = (unsigned)slot;
  if (i < m_highlightColours.GetSize()) m_highlightColours[i] = 0;
  if (i < m_occlusionColours.GetSize()) m_occlusionColours[i] = 0;
  if (i < m_unitStates.GetSize()) m_unitStates[i] = UNIT_STATE_NONE;
  if (i < m_timers.GetSize()) m_timers[i] = kNoTimer;
}

void VEntityHighlightManager::RemoveAllHighlights() {
  for (VisBaseEntity_cl* entity : m_highlights)
    if (Slot(entity) >= 0) m_timers[(unsigned)Slot(entity)] = kNoTimer;
  m_highlights.Clear();
}

void VEntityHighlightManager::ClearAllSets() {
  m_occlusions.Clear();
  m_highlights.Clear();
  m_registeredUnits.Clear();
  m_activeUnits.Clear();
}

uint32_t VEntityHighlightManager::GetHighlightColour(const VisBaseEntity_cl* entity) const {
  const int slot = Slot(entity);
  return slot < 0 ? 0 : m_highlightColours.Get((unsigned)slot);
}

uint32_t VEntityHighlightManager::GetOcclusionColour(const VisBaseEntity_cl* entity) const {
  const int slot = Slot(entity);
  return slot < 0 ? 0 : m_occlusionColours.Get((unsigned)slot);
}

float VEntityHighlightManager::GetHighlightTimer(const VisBaseEntity_cl* entity) const {
  const int slot = Slot(entity);
  return slot < 0 || (unsigned)slot >= m_timers.GetSize() ? kNoTimer : m_timers.Get((unsigned)slot);
}

// Drawing ----------------------------------------------------------------------------

bool VEntityHighlightManager::IsOnScreen(const VisBaseEntity_cl* entity) {
  const VisRenderContext_cl* context = VisRenderContext_cl::GetCurrentContext();
  if (!context) return false;
  VisBoundingBox_cl box;
  entity->GetCurrentVisBoundingBox(box);
  const VisVector_cl centre = box.IsValid() ? box.GetCenter() : entity->GetPosition();
  float x = 0.0f, y = 0.0f;
  if (!context->Project2D(centre, x, y)) return false;
  int w = 0, h = 0;
  context->GetSize(w, h);
  return x >= 0.0f && y >= 0.0f && x < (float)w && y < (float)h;
}

void VEntityHighlightManager::DrawWithColours(const VisEntityCollection_cl& entities, VCompiledTechnique* technique) {
  VisEntityCollection_cl& one = Scratch(2);
  for (VisBaseEntity_cl* entity : entities) {
    const unsigned slot = (unsigned)Slot(entity);
    // In the occlusion pass an entity that is highlighted too keeps its highlight colour.
    const bool occlusion = technique == m_spOcclusionTechnique.GetPtr() && !m_highlights.Contains(entity);
    SetColourConstant(technique, occlusion ? m_occlusionColours.Get(slot) : m_highlightColours.Get(slot));
    one.Clear();
    one.Append(entity);
    VisRenderLoopHelper_cl::RenderEntityWithShaders(one, technique);
  }
}

void VEntityHighlightManager::Render() {
  if (!m_spHighlightTechnique) return;
  const float dt = Vision::Timer.GetTimeDifference();
  m_fCycleTime += dt;

  if (m_activeUnits.GetNumEntries() > 0) {
    VisEntityCollection_cl& visible = Scratch(0);
    CopyInto(m_registeredUnits, visible);
    visible.FilterNonVisibleEntities();
    DrawWithColours(visible, m_spHighlightTechnique);
  }

  if (m_highlights.GetNumEntries() > 0) {
    for (int i = m_highlights.GetNumEntries() - 1; i >= 0; --i) {
      VisBaseEntity_cl* entity = m_highlights.GetEntry(i);
      const int slot = Slot(entity);
      if (slot < 0 || (unsigned)slot >= m_timers.GetSize() || m_timers[(unsigned)slot] == kNoTimer) continue;
      m_timers[(unsigned)slot] -= dt;
      if (m_timers[(unsigned)slot] < 0.0f) {
        m_timers[(unsigned)slot] = kNoTimer;
        m_highlights.RemoveAt(i);
      }
    }
    VisEntityCollection_cl& visible = Scratch(0);
    CopyInto(m_highlights, visible);
    visible.FilterNonVisibleEntities();
    DrawWithColours(visible, m_spHighlightTechnique);
  }

  if (m_occlusions.GetNumEntries() > 0 && m_spOcclusionTechnique) {
    VisRenderContext_cl* context = VisRenderContext_cl::GetCurrentContext();
    const VisVisibilityCollector_cl* collector = context ? context->GetVisibilityCollector() : nullptr;
    VisEntityCollection_cl& hidden = Scratch(1);
    hidden.Clear();
    for (VisBaseEntity_cl* entity : m_occlusions)
      if (!(collector && collector->IsEntityVisible(entity)) && IsOnScreen(entity)) hidden.Append(entity);
    DrawWithColours(hidden, m_spOcclusionTechnique);
  }

  if (m_fCycleTime > GetCycleLength()) m_fCycleTime = 0.0f;
}

// Callbacks --------------------------------------------------------------------------

void VEntityHighlightManager::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data) return;
  VCallback* sender = data->m_pSender;
  if (sender == &Vision::Callbacks.OnRenderHook) {
    if (static_cast<VisRenderHookDataObject_cl*>(data)->m_iEntry == VRH_PRE_SCREENMASKS) Render();
  } else if (sender == &GameManager::Callbacks.OnEntityDestroyed) {
    RemoveFromAllSets(static_cast<BaseEntityDataObject*>(data)->m_pEntity);
  } else if (sender == &GameManager::Callbacks.OnUnitRemoved) {
    VisBaseEntity_cl* unit = static_cast<BaseEntityDataObject*>(data)->m_pEntity;
    RemoveUnitHighlight(unit);
    m_registeredUnits.Remove(unit);
    m_highlights.Remove(unit);
  } else if (sender == &Vision::Callbacks.OnVideoDeviceRestored) {
    ClearAllSets();
    LoadShaders();
  } else if (sender == &Vision::Callbacks.OnEngineDeInit) {
    ClearAllSets();
    ReleaseTechniques();
  } else if (sender == &Vision::Callbacks.OnAfterSceneLoaded) {
    int highest = -1;
    for (VisBaseEntity_cl* soldier : m_registeredUnits) highest = std::max(highest, Slot(soldier));
    m_unitStates.EnsureSize((unsigned)(highest + 1));
  }
}
