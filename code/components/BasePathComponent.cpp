// Waypoint chains: building them from positions, navigation routes and scene paths,
// and walking them forward as the owner reaches nodes.
#include "components/BasePathComponent.h"

#include "core/GameManager.h"
#include "util/MathTools.h"
#include "util/Navigation.h"

#include "engine/core/VisCallbacks.h"
#include "engine/core/VisGame.h"

#include <cstring>

namespace {

const VisVector_cl kControlVertex(-8.0f, 0.0f, 0.0f);

}  // namespace

V_IMPLEMENT_DYNCREATE(BasePathComponent, BaseComponent)

bool BasePathComponent::IsExcludedPathKey(const char* key) {
  return key && (std::strcmp(key, "CameraBounds") == 0 || std::strcmp(key, "landing_zone") == 0 ||
                 std::strcmp(key, "MonkeyPath") == 0);
}

BasePathComponent::BasePathComponent() : m_spPath(new VisPath_cl(MAX_NODES)) {}

BasePathComponent::BasePathComponent(float stepLength, float reachDistance, bool looping)
    : m_spPath(new VisPath_cl(MAX_NODES)),
      m_fStepLength(stepLength),
      m_fReachDistance(reachDistance),
      m_bLooping(looping) {}

BasePathComponent::~BasePathComponent() {
  if (m_bRegistered) Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
}

void BasePathComponent::SetOwner(VisTypedEngineObject_cl* owner) {
  BaseComponent::SetOwner(owner);
  if (!m_bPerFrame) return;
  if (owner && !m_bRegistered) {
    Vision::Callbacks.OnUpdateSceneBegin.RegisterCallback(this);
    m_bRegistered = true;
  } else if (!owner && m_bRegistered) {
    Vision::Callbacks.OnUpdateSceneBegin.DeregisterCallback(this);
    m_bRegistered = false;
  }
}

int BasePathComponent::CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) {
  if (!BaseComponent::CanAttachToObject(object, reason)) return 0;
  if (object && object->IsOfType(VisObject3D_cl::GetClassTypeId())) return 1;
  reason = "Component can only be added to instances of VisObject3D_cl or derived classes.";
  return 0;
}

void BasePathComponent::OnHandleCallback(IVisCallbackDataObject_cl* data) {
  if (data && data->m_pSender == &Vision::Callbacks.OnUpdateSceneBegin) Update();
}

VisObject3D_cl* BasePathComponent::GetOwner3D() const {
  VisTypedEngineObject_cl* owner = GetOwner();
  return owner && owner->IsOfType(VisObject3D_cl::GetClassTypeId()) ? static_cast<VisObject3D_cl*>(owner) : nullptr;
}

VisPathNode_cl* BasePathComponent::MakeNode(const VisVector_cl& p) {
  return new VisPathNode_cl(p, kControlVertex, kControlVertex, VIS_PATHNODE_LINEAR);
}

void BasePathComponent::AppendWaypoint(const VisVector_cl& p) {
  m_spPath->AddPathNode(MakeNode(p));
  m_addedPositions.push_back(p);
}

void BasePathComponent::Update() { UpdateTick(); }

void BasePathComponent::UpdateTick() {
  VisObject3D_cl* owner = GetOwner3D();
  if (!owner || !m_spPath || m_spPath->GetPathNodeCount() < 1) return;
  m_spPath->GetPathNode(0)->SetPosition(owner->GetPosition());

  const int nearest = GetNearestNodeIndex(owner->GetPosition());
  if (nearest < 0) {
    m_spPath->DeleteAllPathNodes();
    UpdateOwner();
    return;
  }
  if (!IsNodeReached(m_spPath->GetPathNode(nearest))) return;
  // The reached node becomes the first of a new path; the old path is released.
  VSmartPtr<VisPath_cl> trimmed = new VisPath_cl(MAX_NODES);
  for (int i = nearest; i < m_spPath->GetPathNodeCount(); ++i) {
    const VisPathNode_cl* node = m_spPath->GetPathNode(i);
    trimmed->AddPathNode(*node);
  }
  m_spPath = trimmed;
  UpdateOwner();
  UpdateTick();
}

void BasePathComponent::AddWaypoint(const VisVector_cl& p, bool useNavigation) {
  if (!m_spPath) return;
  const int count = m_spPath->GetPathNodeCount();
  if (count > 0) {
    const VisVector_cl end = GetEndPosition();
    if (MathTools::DistanceBetweenVectorsIgnoreZSquared(end, p) > m_fStepLength * m_fStepLength && count < MAX_NODES) {
      GameManager* game = GameManager::HasInstance() ? GameManager::GetInstance() : nullptr;
      Navigation* navigation = game ? game->GetNavigation() : nullptr;
      if (useNavigation && navigation && navigation->HasMap()) {
        std::vector<VisVector_cl> route;
        navigation->GetPath(&route, game->IsPlayerAtSea(), end, p);
        for (const VisVector_cl& point : route) AppendWaypoint(point);
        return;
      }
      VisVector_cl direction = p - end;
      direction.Normalize();
      VisVector_cl next = end + direction * m_fStepLength;
      next.w = 1.0f;
      AppendWaypoint(next);
      AddWaypoint(p, useNavigation);
      return;
    }
  }
  AppendWaypoint(p);
}

void BasePathComponent::MakePathTo(VisBaseEntity_cl* entity) {
  if (entity) MakePathTo(entity->GetPosition(), true);
}

void BasePathComponent::MakePathTo(const VisVector_cl& p, bool notify) {
  VisObject3D_cl* owner = GetOwner3D();
  if (!owner) return;
  ClearPath();
  if (notify) UpdateOwner();
  AddWaypoint(owner->GetPosition(), true);
  AddWaypoint(p, true);
  UpdateTick();
  UpdateOwner();
}

bool BasePathComponent::FollowPath(VisPath_cl* path) {
  VisObject3D_cl* owner = GetOwner3D();
  if (!path || path->GetPathNodeCount() < 2 || !owner) return false;
  const VisVector_cl from = owner->GetPosition();
  const int count = path->GetPathNodeCount();
  int nearest = 0;
  float best = 1.0e10f;
  for (int i = 0; i < count; ++i) {
    const float d = MathTools::DistanceBetweenVectorsIgnoreZSquared(path->GetPathNode(i)->GetPosition(), from);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  MakePathTo(path->GetPathNode(nearest)->GetPosition(), true);
  for (int j = nearest + 1; j < count; ++j) AddWaypoint(path->GetPathNode(j)->GetPosition(), true);
  if (path->IsClosed() && nearest > 0)
    for (int j = 0; j < nearest; ++j) AddWaypoint(path->GetPathNode(j)->GetPosition(), true);
  m_fReachDistance = 2.0f;
  UpdateOwner();
  return true;
}

bool BasePathComponent::FollowPath(const char* key) { return FollowPath(Vision::Game.SearchPath(key)); }

bool BasePathComponent::FollowNearestPath() {
  VisObject3D_cl* owner = GetOwner3D();
  if (!owner || !m_spPath) return false;
  return FollowPath(FindNearestPath(owner->GetPosition()));
}

VisPath_cl* BasePathComponent::FindNearestPath(const VisVector_cl& p) {
  VisPath_cl* nearest = nullptr;
  float best = 1.0e10f;
  for (int i = 0; i < Vision::Game.GetScenePathCount(); ++i) {
    VisPath_cl* path = Vision::Game.GetScenePath(i);
    const char* key = path ? path->GetObjectKey() : nullptr;
    if (!path || path->GetPathNodeCount() < 2 || !key || !*key || IsExcludedPathKey(key)) continue;
    for (int n = 0; n < path->GetPathNodeCount(); ++n) {
      const float d = MathTools::DistanceBetweenVectorsIgnoreZSquared(path->GetPathNode(n)->GetPosition(), p);
      if (d < best) {
        best = d;
        nearest = path;
      }
    }
  }
  return nearest;
}

void BasePathComponent::CopyPath(const VisPath_cl* source, const VisVector_cl& offset, bool notify) {
  if (!source || !GetOwner3D() || !m_spPath) return;
  ClearPath();
  if (notify) UpdateOwner();
  for (int i = 0; i < source->GetPathNodeCount(); ++i) {
    VisVector_cl p = source->GetPathNode(i)->GetPosition() + offset;
    p.w = 1.0f;
    m_spPath->AddPathNode(MakeNode(p));
  }
  UpdateTick();
  UpdateTick();
  UpdateOwner();
}

void BasePathComponent::ClearPath() {
  if (m_spPath) m_spPath->DeleteAllPathNodes();
}

VisVector_cl BasePathComponent::GetNextPosition() {
  VisObject3D_cl* owner = GetOwner3D();
  if (!owner || !m_spPath) return VisVector_cl(0.0f, 0.0f, 0.0f);
  if (m_spPath->GetPathNodeCount() >= 2) return m_spPath->GetPathNode(1)->GetPosition();
  return owner->GetPosition();
}

VisVector_cl BasePathComponent::GetEndPosition() {
  VisPathNode_cl* last = GetLastNode();
  return last ? last->GetPosition() : VisVector_cl(0.0f, 0.0f, 0.0f);
}

VisPathNode_cl* BasePathComponent::GetLastNode() {
  if (!m_spPath || m_spPath->GetPathNodeCount() == 0) return nullptr;
  return m_spPath->GetPathNode(m_spPath->GetPathNodeCount() - 1);
}

bool BasePathComponent::IsNodeReached(const VisPathNode_cl* node) {
  VisObject3D_cl* owner = GetOwner3D();
  if (!node || !owner || !m_spPath || m_spPath->GetPathNodeCount() == 0) return false;
  return owner->GetPosition().GetDistance2D(node->GetPosition()) < GetReachDistance();
}

void BasePathComponent::SetCurrentNodePosition(const VisVector_cl& p) {
  if (!m_spPath || m_spPath->GetPathNodeCount() < 2) return;
  m_spPath->GetPathNode(1)->SetPosition(p);
  m_spPath->InvalidateCachedLength();
}

bool BasePathComponent::IsFollowingPath() { return m_spPath && m_spPath->GetPathNodeCount() > 1; }

int BasePathComponent::GetNearestNodeIndex(const VisVector_cl& p) {
  if (!m_spPath) return -1;
  const int last = std::min(m_spPath->GetPathNodeCount(), 10);
  int nearest = -1;
  float best = 999999.0f;
  for (int i = 1; i < last; ++i) {
    const float d = m_spPath->GetPathNode(i)->GetPosition().GetDistance(p);
    if (d < best) {
      best = d;
      nearest = i;
    }
  }
  return nearest;
}

VisPath_cl* BasePathComponent::GetPath() { return m_spPath.GetPtr(); }

void BasePathComponent::ReversePath() {
  if (!m_spPath) return;
  m_spPath->DeleteAllPathNodes();
  if (m_addedPositions.empty()) return;
  std::vector<VisVector_cl> reversed(m_addedPositions.rbegin(), m_addedPositions.rend());
  for (const VisVector_cl& p : reversed) m_spPath->AddPathNode(MakeNode(p));
  m_addedPositions = std::move(reversed);
}
