// The voice of a computer ship, in text: a line when it starts attacking, a line
// when it sinks, and now and then a taunt while the player's ship is near. Lines
// are localisation keys made from the ship's nation.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"

#include <string>

class ShipEntity;
class VArchive;

class ShipSpeechComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(ShipSpeechComponent)
 public:
  enum Line { LINE_ATTACKS, LINE_DESTROYED, LINE_IN_BATTLE };
  // Seconds a line shows.
  static constexpr float LINE_SECONDS = 3.0f;
  // A taunt needs a draw above this (0 to 1).
  static constexpr float TAUNT_CHANCE = 0.6f;

  ShipSpeechComponent() = default;
  ~ShipSpeechComponent() override;

  // Ships only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Registers on the per-frame update while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 37: the attack line; 16: the sinking line, and no more taunts.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  // The taunt roll when the player comes within range, then at most one roll per
  // speech delay while the player stays.
  virtual void Update();
  // Component data, then SerializeX.
  void Serialize(VArchive& ar) override;
  // "ARCH", version 2, react range, speech delay, "EOA"; reading also reloads the
  // delay timer.
  virtual bool SerializeX(VArchive& ar);

  // "str_SHIP_SPEECH_<kind>_<nation>_0", the nation -1 for nation 0 and below.
  std::string GetLineKey(Line line) const;
  // The line's text in a new speech bubble over the ship, unless a bubble is
  // already shown; false when nothing was shown.
  bool ShowLine(Line line);

  float GetReactRange() const { return m_fNPCReactRange; }
  void SetReactRange(float range) { m_fNPCReactRange = range; }
  float GetSpeechDelay() const { return m_fSpeechDelay; }
  void SetSpeechDelay(float seconds) { m_fSpeechDelay = seconds; }
  float GetDelayTimer() const { return m_fDelayTimer; }
  bool HasSpoken() const { return m_bSpoke; }
  bool IsDestroyed() const { return m_bDestroyed; }

 protected:
  static void BuildVarList(VARTABLE& t);
  ShipEntity* GetShip() const;

  // The editor defaults: ships given the component by their scripts behave as placed ones.
  float m_fNPCReactRange = 30.0f;
  float m_fSpeechDelay = 10.0f;
  float m_fDelayTimer = 0.0f;
  bool m_bSpoke = false;
  bool m_bDestroyed = false;
  bool m_bListening = false;
};
