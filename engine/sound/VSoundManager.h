// The sound plug-in's manager (VSoundManager::GlobalManager): loads sound
// resources, makes instances, keeps the master volume and the live instances,
// and advances them with the engine clock. Every value is kept and readable
// whatever plays it: headless (ENGINE_AUDIO=null, the default without a window)
// nothing is heard; with a window or ENGINE_AUDIO=openal OpenAL Soft plays the
// instances (VOpenALBackend), synchronised once per frame on
// OnUpdateSceneFinished, after the main camera took its pose.
//
// The instances advance once per frame on Vision::Callbacks.OnUpdateSceneBegin,
// ahead of every game handler (sort key kSortingKey): whatever the game reads in
// a frame (play position, playing, fades) already counts that frame's time, just
// like the countdowns the game keeps on the same callback, so a track that the
// music's timer says is over has stopped too. Calls made during a frame take
// effect from the next one.
//
// Scene sounds: when the world unloads, every live instance gets VSOUND_NOCOLLECT,
// so the game's scene-loaded pass finds only the sounds the new scene made.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"

#include <memory>
#include <vector>

class VSoundBackend;

class VBASE_IMPEXP VSoundManager : public IVisCallbackHandler_cl {
 public:
  static VSoundManager& GlobalManager();
  ~VSoundManager() override;

  // The sound plug-in starts and stops the manager. Starting opens the back end
  // ENGINE_AUDIO names (see the README); stopping stops and lets go of every live
  // instance and closes the back end; until started, loads and instances fail (null).
  void SetInitialized(bool on);
  // "null" or "openal"; the back end itself (null for the null back end).
  const char* GetBackendName() const;
  VSoundBackend* GetBackend() const { return m_pBackend.get(); }
  bool IsInitialized() const { return m_initialized; }

  // A resource by file name (data folders, any case, "\" or "/"), shared by name
  // and flags; null when the file is missing or is no sound file libsndfile reads.
  VSoundResource* LoadSoundResource(const char* file, int resourceFlags);
  // Loads the file and makes a playing instance of it at the origin; null on failure.
  VSoundObject* CreateSoundInstance(const char* file, int resourceFlags, int instanceFlags, int priority = 128);

  void SetMasterVolume(float v) { m_master = v < 0 ? 0 : (v > 1 ? 1 : v); }
  float GetMasterVolume() const { return m_master; }

  // Live instances: made and not yet disposed or collected.
  int GetInstanceCount() const { return (int)m_instances.size(); }
  VSoundObject* GetInstance(int i) const { return m_instances[i].GetPtr(); }

  // Set by the game after it stopped a scene's sounds: every instance that lives at
  // that moment belongs to the old scene and gets VSOUND_NOCOLLECT, and the stopped
  // ones nobody holds are let go, so that the next scene-loaded pass finds only the
  // new scene's sounds.
  void SetSceneSoundsStopped(bool on);
  bool AreSceneSoundsStopped() const { return m_sceneSoundsStopped; }

  // The listener: 3D sounds are heard from it and their distance fades are
  // measured from it. It follows the main camera (the engine's Vision::Camera) once
  // set, or an object; without either (or once the followed entity is destroyed)
  // it stays where it last was, at first the origin facing +x.
  void SetListenerCamera(class VisContextCamera_cl* camera);
  void SetListenerObject(class VisObject3D_cl* object);
  class VisContextCamera_cl* GetListenerCamera() const { return m_pListenerCamera; }
  class VisObject3D_cl* GetListenerObject() const { return m_pListenerObject; }
  VisVector_cl GetListenerPosition() const;
  VisMatrix3x3_cl GetListenerRotation() const;

  // Moves every instance on by dt; lets go of the ones that have finished and that
  // nobody else holds.
  void Update(float dt);
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  int GetCallbackSortingKey(VCallback* callback) override;
  static constexpr int kSortingKey = -1000;
  // The back end's sync comes after every other handler of OnUpdateSceneFinished.
  static constexpr int kSyncSortingKey = 1000;

 private:
  friend class VSoundResource;
  friend class VSoundObject;
  VSoundManager();
  void AddInstance(VSoundObject* obj);
  void RemoveInstance(VSoundObject* obj);
  static void ForgetResource(VSoundResource* res);
  static void OnInstanceDeleted(VSoundObject* obj);
  void ReleaseFinished();
  void SyncBackend();
  void CloseBackend();

  class VisContextCamera_cl* m_pListenerCamera = nullptr;
  class VisObject3D_cl* m_pListenerObject = nullptr;
  VisVector_cl m_vListenerPos{0, 0, 0};
  VisMatrix3x3_cl m_mListenerRot;
  std::unique_ptr<VSoundBackend> m_pBackend;
  float m_master = 1.0f;
  bool m_initialized = false;
  bool m_sceneSoundsStopped = false;
  std::vector<VSmartPtr<VSoundObject>> m_instances;
  std::vector<VSoundResource*> m_resources;  // not owned: each leaves when deleted
};
