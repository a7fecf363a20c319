// Runs an NPC's speech script ("Init", then "Update" each frame until it returns a
// value above 0) when the player comes near or clicks the NPC.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

class VArchive;
class IVScriptInstance;

class SpeechComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(SpeechComponent)
 public:
  SpeechComponent() = default;
  ~SpeechComponent() override;

  // Entities only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner: listens to the frame and loads the speech script; the owner
  // becomes clickable. Without: stops listening.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // The player clicked the NPC: starts a speech when in range and none is running
  // (activation-only NPCs too).
  void Poked();

  // Component data, then "ARCH", version 2, range, delay, activation only, looped,
  // script file, "EOA".
  void Serialize(VArchive& ar) override;
  virtual bool SerializeX(VArchive& ar);

  float GetReactRange() const { return m_fNPCReactRange; }
  void SetReactRange(float range) { m_fNPCReactRange = range; }
  float GetSpeechDelay() const { return m_fSpeechDelay; }
  void SetSpeechDelay(float seconds) { m_fSpeechDelay = seconds; }
  bool IsActivationOnly() const { return m_bActivationOnly != 0; }
  void SetActivationOnly(bool on) { m_bActivationOnly = on ? 1 : 0; }
  bool IsLooped() const { return m_bLooped != 0; }
  void SetLooped(bool on) { m_bLooped = on ? 1 : 0; }
  const VString& GetScriptFile() const { return m_szScriptFile; }
  // Takes effect when the component next gets an owner.
  void SetScriptFile(const char* file) { m_szScriptFile = file ? file : ""; }
  bool IsActive() const { return m_bActive; }
  int GetSpeechState() const { return m_iSpeechState; }
  // The running script; null once a one-off speech has ended.
  IVScriptInstance* GetScript() const;

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  void Listen(bool on);
  void Update();
  bool PlayerInRange() const;
  void Start(IVScriptInstance* script);

  // The property defaults: components made by code behave as placed ones.
  float m_fNPCReactRange = 10.0f;
  float m_fSpeechDelay = 10.0f;
  float m_fDelayTimer = 0.0f;
  int m_bActivationOnly = 0;
  int m_bLooped = 0;
  int m_iSpeechState = 0;
  VString m_szScriptFile;
  bool m_bActive = false;
  bool m_bListening = false;
};
