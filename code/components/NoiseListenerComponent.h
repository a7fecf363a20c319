// Hears the noises of the world and tells its owner about each one (message 300
// and the owner script's "OnNoise") later in the same frame.
#pragma once

#include "core/BaseComponent.h"
#include "Managers/NoiseData.h"

#include "engine/base/VCallback.h"

#include <vector>

class VArchive;

class NoiseListenerComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(NoiseListenerComponent)
 public:
  // A noise as the listener heard it; message 300 carries its address.
  struct HeardNoise {
    BaseEntity* source;
    float volume;  // at the listener
    eNoiseType type;
  };

  NoiseListenerComponent();
  ~NoiseListenerComponent() override;

  // 3-D objects only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // Listens to the noise event and two frame callbacks while owned.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // Component data, then "ARCH", version 2, enabled, "EOA".
  void Serialize(VArchive& ar) override;
  virtual bool SerializeX(VArchive& ar);

  // Stored and saved; hearing does not depend on it.
  int IsEnabled() const { return m_bEnabled; }
  void SetEnabled(int enabled) { m_bEnabled = enabled; }
  const std::vector<HeardNoise>& GetHeardNoises() const { return m_heard; }

 private:
  void Listen(bool on);

  int m_bEnabled = 1;
  std::vector<HeardNoise> m_heard;
};
