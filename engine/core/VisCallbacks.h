// The engine's own callbacks (Vision::Callbacks) and when each fires.
#pragma once

#include "engine/base/VCallback.h"

// Render stages passed to OnRenderHook.
enum VRenderHook_e {
  VRH_PRE_SCREENMASKS = 0x00008000,  // after the scene, before screen masks (highlights)
  VRH_GUI = 0x00200000,              // GUI overlay, last of the frame
};

class VisRenderHookDataObject_cl : public IVisCallbackDataObject_cl {
 public:
  VisRenderHookDataObject_cl(VCallback* sender, unsigned stage) : IVisCallbackDataObject_cl(sender), m_iEntry(stage) {}
  unsigned m_iEntry;
};

class VisEditorModeChangedDataObject_cl : public IVisCallbackDataObject_cl {
 public:
  VisEditorModeChangedDataObject_cl(VCallback* sender, int mode) : IVisCallbackDataObject_cl(sender), m_eNewMode(mode) {}
  int m_eNewMode;
};

class VisVideoInitDataObject_cl : public IVisCallbackDataObject_cl {
 public:
  VisVideoInitDataObject_cl(VCallback* sender, struct VVideoConfig* config) : IVisCallbackDataObject_cl(sender), m_pConfig(config) {}
  struct VVideoConfig* m_pConfig;
};

class VisObjectDataObject_cl : public IVisCallbackDataObject_cl {
 public:
  VisObjectDataObject_cl(VCallback* sender, class VTypedObject* obj) : IVisCallbackDataObject_cl(sender), m_pObject(obj) {}
  class VTypedObject* m_pObject;
};

// Order inside one engine frame (VisionApp_cl::Run):
//   OnUpdateSceneBegin -> entity pre-think, think -> animations (events), particles
//   -> OnScriptThink
//   -> OnFrameUpdatePreRender -> physics, OnPhysicsSimulationFinished
//   -> OnUpdateSceneFinished -> OnFrameUpdateLate -> render hooks
//   -> removed entities are freed.
// Outside the frame: OnVideoInitializing, OnEngineDeInit and OnEngineDeInitLate come
// from the engine start and stop; OnWorldDeInit from emptying the world; the two
// scene-loaded callbacks from the scene loader; OnObjectDestroyed from Vision::Game;
// the device lost/restored pair from Vision::ResetVideoDevice (around a rebuild of
// the GL context; headless only the two callbacks).
// Not fired by the stand-in yet: OnEditorModeChanged (the game always plays),
// OnWorldReInit, OnTerrainSectorCreated (the flat terrain has no sectors),
// OnReactivateRequest and OnEntityDeserialized.
class VisCallbackManager_cl {
 public:
  VCallback OnUpdateSceneBegin;          // per-frame scene update starts
  VCallback OnUpdateSceneFinished;       // per-frame scene update ends
  VCallback OnFrameUpdatePreRender;      // second per-frame callback (cameras, model scheduler)
  VCallback OnFrameUpdateLate;           // after all noise events, before the next update
  VCallback OnScriptThink;               // the script manager's think tick
  VCallback OnRenderHook;                // VisRenderHookDataObject_cl with the stage
  VCallback OnEditorModeChanged;         // VisEditorModeChangedDataObject_cl
  VCallback OnAfterSceneLoaded;
  VCallback OnAfterSceneLoadedLate;      // directly after scene-loaded (unit clean-up)
  VCallback OnWorldDeInit;               // the scene is unloading
  VCallback OnWorldReInit;               // a scene is set up again
  VCallback OnEngineDeInit;              // the engine is shutting down
  VCallback OnEngineDeInitLate;          // after OnEngineDeInit
  VCallback OnTerrainSectorCreated;
  VCallback OnPhysicsSimulationFinished;
  VCallback OnObjectDestroyed;           // VisObjectDataObject_cl
  VCallback OnVideoDeviceLost;
  VCallback OnVideoDeviceRestored;
  VCallback OnVideoInitializing;         // VisVideoInitDataObject_cl
  VCallback OnReactivateRequest;         // the application asks to re-activate
  VCallback OnEntityDeserialized;        // VisObjectDataObject_cl after a load
};

namespace Vision {
VBASE_IMPEXP extern VisCallbackManager_cl Callbacks;
}  // namespace Vision
