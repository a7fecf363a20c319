// Noise listeners: collect the frame's noises, deliver them late in the frame.
#include "components/NoiseListenerComponent.h"

#include "core/BaseEntity.h"
#include "Managers/NoiseManagerProto.h"
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/core/VScriptManager.h"
#include "engine/core/VisCallbacks.h"

namespace {
const char kBlockVersion = 2;
const int kMsgNoiseHeard = 300;
}  // namespace

V_IMPLEMENT_DYNCREATE(NoiseListenerComponent, BaseComponent)

NoiseListenerComponent::NoiseListenerComponent() { NoiseManagerProto::GetInstance(); }

NoiseListenerComponent::~NoiseListenerComponent() { Listen(false); }

int NoiseListenerComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object->IsOfType(VisObject3D_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisObject3D_cl or derived classes.";
  return 0;
}

void NoiseListenerComponent::Listen(bool on) {
  VCallback* callbacks[] = {&NoiseManagerProto::OnNoiseGenerated, &Vision::Callbacks.OnUpdateSceneBegin,
                            &Vision::Callbacks.OnFrameUpdateLate};
  for (VCallback* callback : callbacks) {
    if (on)
      callback->RegisterCallback(this);
    else
      callback->DeregisterCallback(this);
  }
}

void NoiseListenerComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  m_heard.clear();
  Listen(owner != nullptr);
}

void NoiseListenerComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (!data || !m_pOwner) return;
  if (data->m_pSender == &NoiseManagerProto::OnNoiseGenerated) {
    const NoiseData* noise = static_cast<const NoiseData*>(data);
    if (static_cast<VisTypedEngineObject_cl*>(noise->m_pSource) == m_pOwner) return;
    const VisVector_cl& where = static_cast<VisObject3D_cl*>(m_pOwner)->GetPosition();
    m_heard.push_back({noise->m_pSource, NoiseManagerProto::GetInstance()->CalculateVolume(where, noise), noise->m_eType});
  } else if (data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) {
    m_heard.clear();
  } else if (data->m_pSender == &Vision::Callbacks.OnFrameUpdateLate) {
    // A copy: the owner's reaction may make further noise.
    const std::vector<HeardNoise> heard = m_heard;
    for (const HeardNoise& noise : heard) {
      if (noise.volume <= 0.0f || !m_pOwner) continue;
      VisTypedEngineObject_cl* owner = m_pOwner;
      owner->SendMsg(kMsgNoiseHeard, (INT_PTR)&noise, 0);
      IVScriptInstance* script = Vision::GetScriptManager()->GetScriptInstance(owner);
      if (script && script->IsValid() && script->HasFunction("OnNoise"))
        script->ExecuteFunctionArg("OnNoise", "*ofi", (VisTypedEngineObject_cl*)noise.source, noise.volume, (int)noise.type);
    }
  }
}

void NoiseListenerComponent::Serialize(VArchive& ar) {
  BaseComponent::Serialize(ar);
  SerializeX(ar);
}

bool NoiseListenerComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_bEnabled;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "NoiseListenerComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  int enabled = m_bEnabled;
  if (block.Has(2)) ar >> enabled;
  if (!block.End()) return false;
  m_bEnabled = enabled;
  return true;
}
