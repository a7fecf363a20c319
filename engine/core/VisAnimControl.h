// A running animation: one sequence played at a speed, looped or once, with the
// entities that listen to its events.
//
// Vision::Animations advances every live control once per engine frame (after the
// entities' think functions) by the frame time times the speed. An event is
// delivered when the play position passes its time: once per pass of a looped
// sequence, and at most once for a sequence played once (an event at the very end,
// such as "end", comes when the end is reached; the control then stops there).
// A pass includes its starting position: an event at 0 fires on the first advance.
//
// Events reach a listener as engine message VIS_MSG_ANIMATION_EVENT (0x10000) with
// p1 = the event id (an int with bit 31 set, widened with its sign) and p2 = 0, and
// only while this control drives the listener's own animation (the skeletal input of
// its animation configuration). So a control shared by many entities reaches each
// listening entity that plays it, and never one that has moved on to another
// animation. A destroyed entity stops listening everywhere.
//
// Controls are reference counted: hold one (a VSmartPtr, or through a configuration's
// final result). The engine deletes a control that nobody holds at its next update.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/core/VisAnimSequence.h"

#include <vector>

class VisBaseEntity_cl;

enum VisAnimControlFlags_e {
  VANIMCTRL_PLAY_ONCE = 0,
  VANIMCTRL_LOOP = 1,
  // Start at a random point: VRandomInt() / 32767 of the length.
  VANIMCTRL_RANDOM_START = 2,
};

class VBASE_IMPEXP VisAnimControl_cl : public VRefCounter {
 public:
  // Speeds below 0 count as 0. The control is live (advanced by the engine) from here on.
  VisAnimControl_cl(VisAnimSequence_cl* sequence, unsigned flags, float speed);
  ~VisAnimControl_cl() override;
  VisAnimControl_cl(const VisAnimControl_cl&) = delete;
  VisAnimControl_cl& operator=(const VisAnimControl_cl&) = delete;

  VisAnimSequence_cl* GetSequence() const { return m_spSequence; }
  unsigned GetFlags() const { return m_iFlags; }
  bool IsLooped() const { return (m_iFlags & VANIMCTRL_LOOP) != 0; }

  // Speed factor (1.0 = the sequence's own pace).
  void SetSpeed(float speed) { m_fSpeed = speed > 0.0f ? speed : 0.0f; }
  float GetSpeed() const { return m_fSpeed; }

  // Play position in seconds, 0..length.
  float GetCurrentSequencePosition() const { return m_fPosition; }
  // Clamped into 0..length; events between the old and the new position are skipped.
  void SetCurrentSequencePosition(float seconds);
  float GetSequenceLength() const;

  // Stopped controls keep their position and are not advanced. A sequence played once
  // stops by itself at its end.
  bool IsStopped() const { return m_bStopped; }
  void Stop() { m_bStopped = true; }
  // Runs again; from the start when asked (a once-played sequence at its end restarts too).
  void Play(bool fromStart = true);

  // Listeners (each entity once, in the order added).
  void AddEventListener(VisBaseEntity_cl* entity);
  bool RemoveEventListener(VisBaseEntity_cl* entity);
  bool IsEventListener(const VisBaseEntity_cl* entity) const;
  int GetEventListenerCount() const { return (int)m_listeners.size(); }
  VisBaseEntity_cl* GetEventListener(int i) const { return m_listeners[i]; }

  // The engine frame: moves the position by dt times the speed and appends the ids of
  // the events passed, in order. Tests and the animation manager call it.
  void Advance(float dt, std::vector<int>& events);

 private:
  // Appends events with from <= t <= to (from exclusive unless 'inclusive').
  void CollectEvents(float from, float to, bool inclusive, std::vector<int>& events) const;

  VSmartPtr<VisAnimSequence_cl> m_spSequence;
  unsigned m_iFlags;
  float m_fSpeed;
  float m_fPosition = 0.0f;
  bool m_bStopped = false;
  bool m_bFreshPass = true;  // the next advance includes the starting position
  std::vector<VisBaseEntity_cl*> m_listeners;
};
