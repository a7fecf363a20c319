// Makes a building constructible on its plot in the stronghold: while the player's
// character stands close the plot lights up; entering it asks whether to build;
// once begun the building grows through its stage models over the build time (or,
// without one, rises out of the ground) and the component then leaves the building.
#pragma once

#include "core/BaseComponent.h"

#include "engine/base/VCallback.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <array>

class VArchive;
class VDynamicMesh;
class VisBaseEntity_cl;

namespace CEGUI {
class EventArgs;
}  // namespace CEGUI

class BuildableBuildingComponent : public BaseComponent, public IVisCallbackHandler_cl {
  V_DECLARE_DYNCREATE(BuildableBuildingComponent)
 public:
  // The construction mesh and up to nine stage models ("_2" to "_9").
  static constexpr int kMaxMeshes = 10;
  static constexpr uint32_t kHighlightColour = 0xC8FFFF64u;
  static constexpr int kRiseAchievement = 16;
  static constexpr const char* kMergedModelName = "MergedModel";
  static constexpr const char* kConstructionEffect = "Particles\\building_construction.xml";
  static constexpr const char* kConstructionSound = "Sounds\\FX\\fx_harpoon_hit.wav";
  static constexpr const char* kTutorial = "str_TUTORIAL_UNIT_BUILDING_PART1";

  BuildableBuildingComponent();
  ~BuildableBuildingComponent() override;

  // BuildingBaseEntity owners only.
  int CanAttachToObject(VisTypedEngineObject_cl* object, VString& reason) override;
  // With an owner InitFunction; with null the frame callback and the highlight go.
  void SetOwner(VisTypedEngineObject_cl* owner) override;
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;
  // 203 begins the construction.
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;

  virtual void InitFunction();
  virtual void DeInitFunction();
  // Only while the player's character is in range and nothing has begun.
  virtual void BeginConstruction();
  // The construction dialog's Yes.
  bool OnConstructClicked(const CEGUI::EventArgs& args);
  // Opens the construction dialog with the building's name, what it provides and its price.
  virtual void ShowFrame();

  // (now - start) / build time within 0..1; 0 before the start; 1 once started
  // without a build time.
  float GetProgress() const;
  bool IsContructing() const { return m_fStartTime != 0.0f; }
  bool CanConstruct() const { return m_bInRange && !IsContructing(); }
  void SetUpdateInterval(float seconds) { m_fUpdateInterval = seconds; }

  // The clock: the engine's, or the world map's with m_bUseWorldTime.
  float GetNow() const;
  int GetStageCount() const { return m_iStageCount; }
  int GetCurrentStage() const { return m_iCurrentStage; }
  float GetStartTime() const { return m_fStartTime; }
  float GetBuildTime() const { return m_fBuildTime; }
  void SetBuildTime(float seconds) { m_fBuildTime = seconds; }
  float GetConstructionDistance() const { return m_fConstructionDistance; }
  void SetConstructionDistance(float distance) { m_fConstructionDistance = distance; }
  const VString& GetFinalModelFile() const { return m_sFinalModelFile; }
  const VString& GetConstructionMeshFile() const { return m_sConstructionMeshFile; }
  void SetConstructionMeshFile(const char* file) { m_sConstructionMeshFile = file; }
  void SetUseWorldTime(bool on) { m_bUseWorldTime = on ? 1 : 0; }
  bool IsInRange() const { return m_bInRange; }
  bool IsRising() const { return m_bRising; }
  float GetRiseHeight() const { return m_fRiseCurrent; }
  float GetRiseTarget() const { return m_fRiseTarget; }
  float GetRiseSpeed() const { return m_fRiseSpeed; }
  VDynamicMesh* GetMeshRecord(int i) const { return i >= 0 && i < kMaxMeshes ? m_meshes[i].GetPtr() : nullptr; }

  // "ARCH", version 2, update interval, start time, build time, construction distance,
  // construction mesh, final model, use world time, "EOA"; then the component data.
  void Serialize(VArchive& ar) override;
  virtual bool SerializeX(VArchive& ar);

 protected:
  static void BuildVarList(VARTABLE& t);

  // The stage models found beside the construction mesh, and the records.
  void InitConstructionMeshes();
  // Every update interval: the stage that fits the progress, or the final model.
  void UpdateConstructionMeshes();
  // The player's character within the construction distance, before the start.
  void CheckDistance();
  // One frame of the rise out of the ground.
  void Update();

 private:
  void Listen(bool on);
  VisBaseEntity_cl* GetOwnerEntity() const;
  void RemoveHighlight();
  // The building is complete: final model, shown, the component leaves.
  void Complete(bool takeFinalModel);

  int m_iStageCount = 0;
  int m_iCurrentStage = -1;
  float m_fTimeSinceUpdate = 999.9f;
  float m_fUpdateInterval = 5.0f;
  float m_fStartTime = 0.0f;
  float m_fBuildTime = 120.0f;
  float m_fConstructionDistance = 2.0f;
  VString m_sFinalModelFile;
  VString m_sConstructionMeshFile;
  bool m_bInRange = false;
  int m_bUseWorldTime = 0;
  bool m_bTutorialShown = false;
  float m_fRiseTarget = 0.0f;
  float m_fRiseCurrent = 0.0f;
  float m_fRiseSpeed = 0.0f;
  float m_fRiseStiffness = 16.0f;
  float m_fRiseDamping = 8.0f;
  bool m_bRising = false;
  bool m_bStopAtTarget = false;
  std::array<VSmartPtr<VDynamicMesh>, kMaxMeshes> m_meshes;
  bool m_bListening = false;
  bool m_bCompleted = false;
};
