// One state of a finite-state machine over an owner type, with the states it may
// change to. States are shared singletons; the owner's data lives in the owner.
#pragma once

#include "engine/base/VBase.h"

#include <algorithm>
#include <vector>

template <class T>
class State {
 public:
  virtual ~State() = default;

  virtual void Enter(T* owner) = 0;
  virtual void Execute(T* owner, float dt) = 0;
  virtual void Exit(T* owner) = 0;
  // Component messages the owner hands on to its states (parameters pointer-sized).
  virtual void MessageFunction(T* owner, int id, INT_PTR p1, INT_PTR p2) {}

  // Declares a state this one may change to (kept in the order added).
  void AddTransition(State<T>* next) { m_transitions.push_back(next); }
  bool HasTransition(const State<T>* next) const {
    return std::find(m_transitions.begin(), m_transitions.end(), next) != m_transitions.end();
  }
  const std::vector<State<T>*>& GetTransitions() const { return m_transitions; }

 private:
  std::vector<State<T>*> m_transitions;
};
