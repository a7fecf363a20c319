// The state machine of one owner: current, previous, global and follow-up state,
// changes only along declared transitions, and an optional time limit per state.
#pragma once

#include "core/State.h"

#include "Managers/PauseManager.h"
#include "engine/base/VisTimer.h"

template <class T>
class StateMachine {
 public:
  // Remaining time of a state without a time limit.
  static constexpr float NO_TIME_LIMIT = -999.0f;

  explicit StateMachine(T* owner) : m_pOwner(owner) {}
  virtual ~StateMachine() = default;

  // The owner sets the first, follow-up and global state directly.
  void SetCurrentState(State<T>* s) { m_pCurrentState = s; }
  void SetPreviousState(State<T>* s) { m_pPreviousState = s; }
  void SetGlobalState(State<T>* s) { m_pGlobalState = s; }
  void SetFollowUpState(State<T>* s) { m_pFollowUpState = s; }
  void SetEntryTime(float t) { m_fEntryTime = t; }
  void SetRemainingTime(float t) { m_fRemainingTime = t; }

  T* GetOwner() const { return m_pOwner; }
  State<T>* GetCurrentState() const { return m_pCurrentState; }
  State<T>* GetPreviousState() const { return m_pPreviousState; }
  State<T>* GetGlobalState() const { return m_pGlobalState; }
  State<T>* GetFollowUpState() const { return m_pFollowUpState; }
  float GetEntryTime() const { return m_fEntryTime; }
  float GetRemainingTime() const { return m_fRemainingTime; }
  bool IsInState(const State<T>* s) const { return m_pCurrentState == s; }

  // Changes state only when the current state declares the transition; otherwise
  // nothing changes and nothing is reported.
  void ChangeState(State<T>* next) { ChangeTo(next, NO_TIME_LIMIT); }
  // The same with a time limit: when it runs out the machine changes to the follow-up state.
  void ChangeState(State<T>* next, float seconds) { ChangeTo(next, seconds); }

  void Update(float dt) {
    if (!m_pOwner) return;
    if (m_pGlobalState) m_pGlobalState->Execute(m_pOwner, dt);
    if (m_pCurrentState) m_pCurrentState->Execute(m_pOwner, dt);
    if (m_fRemainingTime > NO_TIME_LIMIT && !IsGamePaused()) {
      m_fRemainingTime -= dt;
      if (m_fRemainingTime < 0.0f && m_pFollowUpState) ChangeState(m_pFollowUpState);
    }
  }

 private:
  static bool IsGamePaused() { return PauseManager::HasInstance() && PauseManager::GetInstance()->IsAnyPaused(); }

  void ChangeTo(State<T>* next, float seconds) {
    if (!m_pCurrentState || !m_pCurrentState->HasTransition(next)) return;
    m_fEntryTime = Vision::Timer.GetTime();
    m_fRemainingTime = seconds;
    m_pPreviousState = m_pCurrentState;
    m_pCurrentState->Exit(m_pOwner);
    m_pCurrentState = next;
    m_pCurrentState->Enter(m_pOwner);
  }

  T* m_pOwner;
  State<T>* m_pCurrentState = nullptr;
  State<T>* m_pPreviousState = nullptr;
  State<T>* m_pGlobalState = nullptr;
  State<T>* m_pFollowUpState = nullptr;
  float m_fEntryTime = 0.0f;
  float m_fRemainingTime = NO_TIME_LIMIT;
};
