// Animation configurations and starting a named sequence on an entity.
#include "engine/core/VisAnimConfig.h"

#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisAnimManager.h"
#include "engine/core/VisBaseEntity.h"

VisAnimConfig_cl::VisAnimConfig_cl(VDynamicMesh* mesh) : m_spMesh(mesh), m_finalResult(mesh->GetSkeleton()) {
  VisAnimManager_cl::NotifyConfigCreated(this);
}

VisAnimConfig_cl::~VisAnimConfig_cl() { VisAnimManager_cl::NotifyConfigDestroyed(this); }

VDynamicMesh* VisAnimConfig_cl::GetMesh() const { return m_spMesh; }

VisAnimConfig_cl* VisAnimConfig_cl::CreateSkeletalConfig(VDynamicMesh* mesh) {
  if (!mesh || !mesh->GetSkeleton()) return nullptr;
  return new VisAnimConfig_cl(mesh);
}

VisSkeletalAnimControl_cl* VisAnimConfig_cl::StartSkeletalAnimation(VisBaseEntity_cl* entity, const char* sequence,
                                                                    unsigned flags, float speed) {
  if (!entity || !sequence) return nullptr;
  VDynamicMesh* mesh = entity->GetMesh();
  if (!mesh || !mesh->GetSkeleton()) return nullptr;
  VisAnimSequence_cl* seq = mesh->GetSequenceSetCollection()->GetSequence(sequence, VIS_MODELANIM_SKELETAL);
  if (!seq) return nullptr;
  VSmartPtr<VisSkeletalAnimControl_cl> control =
      VisSkeletalAnimControl_cl::Create(mesh->GetSkeleton(), seq, flags, speed, true);
  VSmartPtr<VisAnimConfig_cl> config = CreateSkeletalConfig(mesh);
  if (!control || !config) return nullptr;
  config->GetFinalResult()->SetSkeletalAnimInput(control);
  entity->SetAnimConfig(config);
  return control;
}
