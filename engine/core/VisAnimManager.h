// The animation system (Vision::Animations): the run's list of animation event
// names, the shared animation files, and the per-frame update of every live
// control, configuration and bone proxy.
#pragma once

#include "engine/base/VString.h"
#include "engine/core/VisAnimSequenceSet.h"

#include <string>
#include <unordered_map>
#include <vector>

class VisAnimControl_cl;
class VisAnimConfig_cl;
class VisBaseEntity_cl;
class VSkeletalBoneProxyObject;

class VBASE_IMPEXP VisAnimManager_cl {
 public:
  VisAnimManager_cl();
  ~VisAnimManager_cl();
  VisAnimManager_cl(const VisAnimManager_cl&) = delete;
  VisAnimManager_cl& operator=(const VisAnimManager_cl&) = delete;

  // Event names, one list for the whole run. Registering a name again gives its id;
  // an id is the name's index with bit 31 set. 0 for a null or empty name.
  int RegisterEvent(const char* name);
  // The id of a registered name (exact compare), 0 when unknown.
  int GetEventID(const char* name) const;
  // The name of an id; null for an id that was never handed out.
  const char* GetEventString(int id) const;
  int GetEventCount() const { return (int)m_eventNames.size(); }
  static constexpr int EventIdBit = (int)0x80000000u;

  // An animation file (".anim", our XML format), read once per name (without regard
  // to case and separators) and shared. Null, with a warning, when missing or bad.
  VisAnimSequenceSet_cl* LoadAnimSequenceSet(const char* file);
  // Drops the shared files nobody else references; returns how many went.
  int PurgeUnusedSequenceSets();

  // Engine frame: advances every control (not those stopped, nor those whose
  // configurations are all paused), delivers the events passed (see VisAnimControl.h),
  // then moves every bone proxy to its bone.
  void Update(float dt);

  int GetLiveControlCount() const { return (int)m_controls.size(); }
  int GetBoneProxyCount() const { return (int)m_proxies.size(); }

  // Hooks of the live objects' constructors and destructors. They do nothing once
  // the manager is gone (program exit).
  static void NotifyControlCreated(VisAnimControl_cl* c);
  static void NotifyControlDestroyed(VisAnimControl_cl* c);
  static void NotifyConfigCreated(VisAnimConfig_cl* c);
  static void NotifyConfigDestroyed(VisAnimConfig_cl* c);
  static void NotifyBoneProxyAttached(VSkeletalBoneProxyObject* p);
  static void NotifyBoneProxyDestroyed(VSkeletalBoneProxyObject* p);
  // An entity being destroyed: it stops listening and bone proxies let go of it.
  static void NotifyEntityDestroyed(VisBaseEntity_cl* entity);

 private:
  std::vector<std::string> m_eventNames;
  std::unordered_map<std::string, int> m_eventIndex;
  std::unordered_map<std::string, VisAnimSequenceSet_cl*> m_sets;  // one reference each
  std::vector<VisAnimControl_cl*> m_controls;
  std::vector<VisAnimConfig_cl*> m_configs;
  std::vector<VSkeletalBoneProxyObject*> m_proxies;
};

namespace Vision {
VBASE_IMPEXP extern VisAnimManager_cl Animations;
}  // namespace Vision
