// A playing sound (VSoundObject): volume and fades, play position over the file's
// length, pause, looping, 3D settings and the state word. The null back end
// advances every instance with the engine clock; a back end (VSoundBackend)
// plays what this state says.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/core/VisTypedEngineObject.h"

class VSoundResource;

// Instance flags given at creation; they become the start of the state word.
// Bits other than these are kept in the word with no meaning here.
enum VSoundInstanceFlags_e {
  VSOUND_LOOPED = 0x1,
  VSOUND_FADED_OUT = 0x8,   // state only: a fade-out ended, the sound is on its way out
  VSOUND_KEPT = 0x10,       // the game keeps the instance
  VSOUND_NOCOLLECT = 0x20,  // the game must not collect it as a scene sound
};

class VBASE_IMPEXP VSoundObject : public VisObject3D_cl, public VRefCounter {
  V_DECLARE_DYNAMIC(VSoundObject)
 public:
  // Made by VSoundResource::CreateInstance; playing from position 0 at once.
  VSoundObject(VSoundResource* resource, int flags, int priority);
  ~VSoundObject() override;

  VSoundResource* GetResource() const { return m_spResource.GetPtr(); }
  int GetPriority() const { return m_iPriority; }

  // Starts from startTime (clamped to the length). With restartIfPlaying false a
  // sound that already plays goes on where it is. Ends a fade-out.
  void Play(float startTime = 0.0f, bool restartIfPlaying = true);
  // Stops and rewinds; ends any fade.
  void Stop();
  // True from Play until Stop, the end of a sound that does not loop, or the end of
  // a fade-out. A paused sound still plays.
  bool IsPlaying() const { return m_bPlaying; }
  // A paused sound keeps its position and its fade until it resumes.
  void SetPaused(bool paused) { m_bPaused = paused; }
  bool IsPaused() const { return m_bPaused; }
  bool IsLooped() const { return (m_iStateFlags & VSOUND_LOOPED) != 0; }

  // Volume 0..1 (clamped); setting it ends a running fade.
  void SetVolume(float volume);
  float GetVolume() const { return m_fVolume; }
  // Fades from the current volume (FadeTo) or from a given one to a target over
  // seconds (0 or less: at once).
  void FadeTo(float volume, float seconds);
  void FadeFromTo(float from, float to, float seconds);
  // Fades to 0; at the end the sound stops and gets VSOUND_FADED_OUT. A sound that
  // does not play is faded out at once.
  void FadeOut(float seconds);
  // The volume the running fade gives now; apply writes it to the volume and
  // finishes a fade whose time is up. Without a fade, the current volume.
  float UpdateFading(bool apply);
  // A fade toward a higher volume is under way.
  bool IsFadingIn() const;
  // From FadeOut until the sound plays again (also once the fade-out ended).
  bool IsFadingOut() const { return m_eFade == FADE_OUT; }
  bool IsFading() const { return m_eFade != FADE_NONE; }
  float GetFadeStartVolume() const { return m_fFadeFrom; }
  float GetFadeTargetVolume() const { return m_fFadeTo; }
  float GetFadeDuration() const { return m_fFadeDuration; }
  float GetFadeElapsed() const { return m_fFadeElapsed; }

  // Length of the sound file and play position, in seconds.
  float GetLength() const;
  float GetPlayPosition() const { return m_fPosition; }
  // Clamped to 0..length.
  void SetPlayPosition(float seconds);
  // Counts the jumps of the play position (Play, SetPlayPosition), so that a back
  // end knows when to seek.
  unsigned GetSeekCount() const { return m_iSeekCount; }

  // Playback rate (1 = as recorded, above 0); the play position moves with it.
  void SetPitch(float pitch) { m_fPitch = pitch > 0.0f ? pitch : m_fPitch; }
  float GetPitch() const { return m_fPitch; }

  // Positional settings (3D sounds). Defaults: near 10.0, far 400.0, cones -1.
  void Set3DFadeDistance(float nearDist, float farDist);
  float Get3DFadeNear() const { return m_fFadeNear; }
  float Get3DFadeFar() const { return m_fFadeFar; }
  void SetConeAngles(float inside, float outside);
  float GetConeInside() const { return m_fConeInside; }
  float GetConeOutside() const { return m_fConeOutside; }
  bool Is3D() const;
  // The 3D fade at the sound manager's listener: 1 up to the near distance, down in
  // a straight line to 0 at the far one (0 beyond it). 1 for a sound that is not 3D.
  float GetDistanceFade() const;
  // What reaches the ear: volume x distance fade x the manager's master volume.
  float GetAudibleVolume() const;

  // The state word (see VSoundInstanceFlags_e).
  int GetStateFlags() const { return m_iStateFlags; }
  void SetStateFlags(int flags) { m_iStateFlags = flags; }
  void AddStateFlags(int flags) { m_iStateFlags |= flags; }
  void RemoveStateFlags(int flags) { m_iStateFlags &= ~flags; }

  // A value reserved for the user of the instance (the game keeps a base volume in it).
  void SetUserValue(float value) { m_fUserValue = value; }
  float GetUserValue() const { return m_fUserValue; }

  // Stops the sound and takes it out of the manager's live list (which drops its
  // reference); whoever still holds one keeps a valid, silent object.
  void DisposeObject();
  bool IsDisposed() const { return m_bDisposed; }

  // One frame of the engine clock: position and fade move on unless paused or
  // stopped. Called by the sound manager.
  void Advance(float dt);
  // Ended by Stop, its end or a fade-out, and not restarted since.
  bool IsFinished() const { return m_bFinished; }

 private:
  friend class VSoundManager;
  enum FadeMode { FADE_NONE, FADE_TO, FADE_OUT };
  void EndPlayback();

  VSmartPtr<VSoundResource> m_spResource;
  int m_iPriority;
  int m_iStateFlags;
  bool m_bPlaying = true;
  bool m_bPaused = false;
  bool m_bFinished = false;
  bool m_bDisposed = false;
  float m_fVolume = 1.0f;
  float m_fPosition = 0.0f;
  float m_fPitch = 1.0f;
  unsigned m_iSeekCount = 0;
  FadeMode m_eFade = FADE_NONE;
  float m_fFadeFrom = 0.0f;
  float m_fFadeTo = 0.0f;
  float m_fFadeDuration = 0.0f;
  float m_fFadeElapsed = 0.0f;
  float m_fFadeNear = 10.0f;
  float m_fFadeFar = 400.0f;
  float m_fConeInside = -1.0f;
  float m_fConeOutside = -1.0f;
  float m_fUserValue = 0.0f;
};
