// Cache of shared skeletal animation configurations: four per (model, sequence),
// each at its own random speed, so that many soldiers playing one sequence share a
// few set-ups without moving in step. RtsManager owns the one instance.
#pragma once

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

#include <map>
#include <utility>
#include <vector>

class VDynamicMesh;
class VisAnimConfig_cl;
class VisBaseEntity_cl;

class AnimConfigManager : public IVisCallbackHandler_cl {
 public:
  // Configurations made per (model, sequence).
  static constexpr int ConfigsPerKey = 4;

  AnimConfigManager();
  ~AnimConfigManager() override;
  AnimConfigManager(const AnimConfigManager&) = delete;
  AnimConfigManager& operator=(const AnimConfigManager&) = delete;

  // One of the cached configurations of the entity's model and that sequence, made
  // on first request; null without a model or when the model has no such skeletal
  // sequence. The entity becomes a listener of the configuration's animation, so
  // its events reach this entity while it plays it (the caller sets it with
  // VisBaseEntity_cl::SetAnimConfig).
  VisAnimConfig_cl* GetAnimConfig(VisBaseEntity_cl* entity, const VString& sequence);
  // Builds and caches the four configurations; nothing is cached when the model has
  // no skeletal sequence of that name.
  void CreateAnimConfigs(VisBaseEntity_cl* entity, const VString& sequence);
  // Releases every cached configuration.
  void ClearAnimConfigs();

  // The engine's de-initialisation empties the cache.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  int GetCachedKeyCount() const { return (int)m_cache.size(); }

 private:
  struct Key {
    VDynamicMesh* mesh;
    VString sequence;
    bool operator<(const Key& o) const;
  };
  std::map<Key, std::vector<VisAnimConfig_cl*>> m_cache;  // one reference each
};
