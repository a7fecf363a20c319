// A unit the player never selects, walked along a scene path from node to node (the
// unit hands it the path named in the scene), with a short text it may show above it.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/core/VisPath.h"

class VArchive;

class NPCUnitComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(NPCUnitComponent)
 public:
  static constexpr int SPEECH_TEXT_SIZE = 256;
  // Height above the unit at which its text is shown.
  static constexpr float SPEECH_HEIGHT = 2.0f;

  NPCUnitComponent() = default;
  ~NPCUnitComponent() override;

  // Only a UnitEntity or a derived class.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Listens to the frame and to removed units while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // "ARCH", version 2, the react range, "EOA".
  void Serialize(VArchive& ar) override;

  // Each frame: once more than half the soldiers stand idle, they are stopped and the
  // unit is sent to the current path node, and the next node (round to the first)
  // becomes current.
  void Update();
  // Shows the speech text above the unit and runs its timer down by the frame time.
  void UpdateTalking();

  void SetFollowPath(VisPath_cl* path) { m_spFollowPath = path; }
  VisPath_cl* GetFollowPath() const { return m_spFollowPath.GetPtr(); }
  int GetCurrentNode() const { return m_iCurrentNode; }
  float GetReactRange() const { return m_fReactRange; }
  void SetReactRange(float range) { m_fReactRange = range; }
  float GetSpeechTime() const { return m_fSpeechTime; }
  float GetSpeechTimer() const { return m_fSpeechTimer; }
  void SetSpeechTimer(float seconds) { m_fSpeechTimer = seconds; }
  const char* GetSpeechText() const { return m_szSpeechText; }
  // Cut to the buffer's size.
  void SetSpeechText(const char* text);

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Listen(bool on);

  float m_fReactRange = 2.0f;
  float m_fSpeechTime = 0.0f;
  float m_fSpeechTimer = 0.0f;
  char m_szSpeechText[SPEECH_TEXT_SIZE] = {};
  // Held: the scene's paths go when the world unloads.
  VSmartPtr<VisPath_cl> m_spFollowPath;
  int m_iCurrentNode = 0;
  bool m_bListening = false;
};
