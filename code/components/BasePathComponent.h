// A chain of waypoints for the object that owns it: filled from positions, the
// land navigation grid or the scene's named paths, walked forward as the owner
// reaches nodes. Base of the soldier, unit and ship path components.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VisMath.h"
#include "engine/core/VisPath.h"

#include <vector>

class VisBaseEntity_cl;

class BasePathComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(BasePathComponent)
 public:
  // Room of a path; interpolation stops there (the final waypoint still goes on).
  static constexpr int MAX_NODES = 120;
  // Scene paths that are never followed as "the nearest path".
  static bool IsExcludedPathKey(const char* key);

  BasePathComponent();
  BasePathComponent(float stepLength, float reachDistance, bool looping);
  ~BasePathComponent() override;

  // Registers on the per-frame update while owned (when per-frame is set).
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  virtual void Update();
  // Node 0 follows the owner; reached nodes are dropped from the front.
  virtual void UpdateTick();
  // Appends p, filling a gap longer than the step length with a navigated route or
  // with nodes one step apart.
  virtual void AddWaypoint(const VisVector_cl& p, bool useNavigation);
  virtual void MakePathTo(VisBaseEntity_cl* entity);
  virtual void MakePathTo(const VisVector_cl& p, bool notify);
  // Follows a scene path from its node nearest to the owner (round a closed path).
  virtual bool FollowPath(VisPath_cl* path);
  virtual bool FollowPath(const char* key);
  virtual bool FollowNearestPath();
  virtual VisPath_cl* FindNearestPath(const VisVector_cl& p);
  // The source's nodes shifted by offset become this path.
  virtual void CopyPath(const VisPath_cl* source, const VisVector_cl& offset, bool notify);
  virtual void ClearPath();
  virtual VisVector_cl GetNextPosition();
  virtual VisVector_cl GetEndPosition();
  virtual bool IsNodeReached(const VisPathNode_cl* node);
  virtual void SetCurrentNodePosition(const VisVector_cl& p);
  virtual bool IsFollowingPath();
  // Among nodes 1 to 9 the one nearest to p; -1 when there is none.
  virtual int GetNearestNodeIndex(const VisVector_cl& p);
  virtual VisPathNode_cl* GetLastNode();
  virtual VisPath_cl* GetPath();
  // Rebuilds the path from every position added so far, last first.
  virtual void ReversePath();
  virtual void SetLooping(bool looping) { m_bLooping = looping; }
  virtual bool IsLooping() { return m_bLooping; }
  // Tells the subclass the next target changed.
  virtual void UpdateOwner() {}
  virtual void DebugDraw() {}
  virtual float GetStepLength() { return m_fStepLength; }
  virtual float GetReachDistance() { return m_fReachDistance; }

  const std::vector<VisVector_cl>& GetAddedPositions() const { return m_addedPositions; }
  bool IsPerFrame() const { return m_bPerFrame; }

 protected:
  // Owner as a 3-D object, or null.
  VisObject3D_cl* GetOwner3D() const;
  // Appends a node at p and records it.
  void AppendWaypoint(const VisVector_cl& p);
  static VisPathNode_cl* MakeNode(const VisVector_cl& p);

  VSmartPtr<VisPath_cl> m_spPath;
  std::vector<VisVector_cl> m_addedPositions;
  float m_fStepLength = 5.0f;
  float m_fReachDistance = 6.0f;
  bool m_bLooping = false;
  bool m_bPerFrame = true;
  bool m_bRegistered = false;
};
