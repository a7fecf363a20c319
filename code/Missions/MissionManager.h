// The campaign's missions: one static object, ticked on the per-frame scene
// update and told when the world unloads.
#pragma once

#include "engine/base/VCallback.h"

#include <vector>

class BaseMissionProto;

class MissionManager : public IVisCallbackHandler_cl {
 public:
  static MissionManager& GlobalManager();

  // Registration on the scene update and world unload (plug-in start and stop).
  void RegisterCallbacks();
  void DeregisterCallbacks();
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // The missions being played; empty while no campaign runs.
  const std::vector<BaseMissionProto*>& GetOngoingMissions() const { return m_ongoing; }
  // Campaign start and end. The full sequences come with the campaign; so far
  // they only announce themselves in the log.
  void StartCampaign();
  void EndCampaign(bool showMainMenu, bool rollCredits);

 private:
  std::vector<BaseMissionProto*> m_ongoing;
};
