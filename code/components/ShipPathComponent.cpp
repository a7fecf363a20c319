// Ship paths.
#include "components/ShipPathComponent.h"

#include "components/AIShipComponent.h"
#include "entities/ShipEntity.h"
#include "Managers/SaveGameManager.h"
#include "util/ArchiveLimits.h"

#include "engine/base/VArchive.h"

namespace {
const char kBlockVersion = 2;
const VisVector_cl kControl(-8.0f, 0.0f, 0.0f);
// A step too small for the path would make waypoints without end.
const int kMaxSamples = 10000;
}  // namespace

V_IMPLEMENT_DYNCREATE(ShipPathComponent, BasePathComponent)

ShipPathComponent::ShipPathComponent() : BasePathComponent(25.0f, 26.0f, true) {}

ShipPathComponent::~ShipPathComponent() = default;

void ShipPathComponent::UpdateOwner() {
  if (!m_pOwner || !m_pOwner->IsOfType(ShipEntity::GetClassTypeId())) return;
  AIShipComponent* ai = m_pOwner->Components<AIShipComponent>();
  if (!ai || ai->GetAIMode() != AIShipComponent::AIMODE_IDLE) return;
  ai->SetAIMode(ai->IsOnManualPath() ? AIShipComponent::AIMODE_GOTO_TOWN : AIShipComponent::AIMODE_SAILING);
}

bool ShipPathComponent::FollowPath(VisPath_cl* path, float step) {
  VisObject3D_cl* owner = GetOwner3D();
  if (!path || !owner || !(step > 0.0f)) return false;
  // Parameters are counted in whole steps, so that sums of the step do not add a
  // sample at the end of the path.
  int samples = 0;
  while ((double)samples * step < 1.0 && samples < kMaxSamples) ++samples;
  const VisVector_cl& from = owner->GetPosition();
  float best = 0.0f;
  float bestDistance = -1.0f;
  for (int i = 0; i < samples; ++i) {
    const float t = (float)((double)i * step);
    const float d = from.GetDistance2D(path->EvalPointSmooth(t));
    if (bestDistance < 0.0f || d < bestDistance) {
      bestDistance = d;
      best = t;
    }
  }
  if (!m_spPath) m_spPath = new VisPath_cl(MAX_NODES);
  for (int i = 0; i < samples; ++i) {
    const VisVector_cl point = path->EvalPointSmooth(best + (float)((double)i * step));
    m_spPath->AddPathNode(VisPathNode_cl(point, kControl, kControl));
    m_addedPositions.push_back(point);
  }
  UpdateOwner();
  return true;
}

void ShipPathComponent::OwnerStops() {
  if (!m_spPath) return;
  if (m_spPath->GetPathNodeCount() < 3) {
    ClearPath();
    return;
  }
  UpdateTick();
  UpdateOwner();
}

void ShipPathComponent::Serialize(VArchive& ar) {
  BasePathComponent::Serialize(ar);
  SerializeX(ar);
}

bool ShipPathComponent::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar.WriteObject(m_spPath.GetPtr());
    ar << (int)m_addedPositions.size();
    for (const VisVector_cl& p : m_addedPositions) ar << p;
    ar << m_fStepLength << m_fReachDistance << m_bLooping;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "ShipPathComponent", kBlockVersion);
  if (!block.IsOpen()) return false;
  // The archive's until the block is whole: a failed block leaves the path it made
  // to the loader's clean-up instead of freeing it under the archive.
  VisPath_cl* path = nullptr;
  std::vector<VisVector_cl> added;
  float step = m_fStepLength, reach = m_fReachDistance;
  bool looping = m_bLooping;
  if (block.Has(2)) {
    ar >> path;
    int count = 0;
    if (!ArchiveLimits::ReadCount(ar, count, 16)) return block.Fail();
    added.resize((size_t)count);
    for (VisVector_cl& p : added) ar >> p;
    ar >> step >> reach >> looping;
  }
  if (!block.End()) return false;
  if (!block.Has(2)) return true;
  m_spPath = path ? path : new VisPath_cl(MAX_NODES);
  m_addedPositions = std::move(added);
  m_fStepLength = step;
  m_fReachDistance = reach;
  m_bLooping = looping;
  return true;
}
