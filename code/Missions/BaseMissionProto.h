// A mission the player has accepted: a small engine object that carries the
// mission's own script and the flags that script sets for the mission manager.
// The subclass tells which catalogue the mission came from.
#pragma once

#include "engine/base/VString.h"
#include "engine/core/VisTypedEngineObject.h"

class IVScriptInstance;

class BaseMissionProto : public VisTypedEngineObject_cl {
  V_DECLARE_DYNCREATE(BaseMissionProto)
 public:
  BaseMissionProto() = default;
  ~BaseMissionProto() override;

  virtual int IsCompleted() const { return m_bCompleted; }
  virtual int IsFailed() const { return m_bFailed; }
  virtual void SetFailed(bool failed) { m_bFailed = failed ? 1 : 0; }
  virtual void SetCompleted(int completed) { m_bCompleted = completed ? 1 : 0; }
  // Creates and attaches the script of the file; nothing for an empty name or when
  // the object has a script already.
  virtual void LoadScriptInstance(const VString& file);
  virtual IVScriptInstance* GetScriptInstance() const;
  virtual void Initialize() {}
  virtual void Update() {}
  virtual void DeInitialize() {}

  bool IsInConversation() const { return m_bIsInConversation != 0; }
  bool IsTracked() const { return m_bTrackThis != 0; }
  void SetTracking(bool tracked) { m_bTrackThis = tracked ? 1 : 0; }
  void ToggleTracking() { m_bTrackThis = m_bTrackThis ? 0 : 1; }

  // Calls the script's function with the object as its only argument, when the
  // script defines it.
  void CallScriptFunction(const char* name);

  // The engine object's data and its script (file and plain values, as entities
  // keep theirs), then the mission's block. Failed and in-conversation are not
  // kept: a loaded mission starts with both cleared.
  void Serialize(VArchive& ar) override;

  static void BuildVarList(VARTABLE& table);

  // 32-bit words, as the scripts see them through the engine variables.
  int m_bCompleted = 0;
  int m_bFailed = 0;
  int m_bTrackThis = 0;
  int m_bIsInConversation = 0;
};

class StoryLineMissionProto : public BaseMissionProto {
  V_DECLARE_DYNCREATE(StoryLineMissionProto)
};

class FactionMissionProto : public BaseMissionProto {
  V_DECLARE_DYNCREATE(FactionMissionProto)
};

class SideQuestProto : public BaseMissionProto {
  V_DECLARE_DYNCREATE(SideQuestProto)
};
