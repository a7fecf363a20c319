// A land unit: a squad of soldiers without a model of its own, kept in a formation
// grid, led by an optional hero and run by a unit script. The unit stands at the
// centre of its soldiers and runs their state machines every frame, so that the
// soldiers of one unit step together.
#pragma once

#include "core/BaseEntity.h"
#include "core/SelectionBox.h"

#include "engine/base/VisMath.h"
#include "engine/base/VString.h"

#include <cstddef>
#include <vector>

class FrameUnitInfo;
class HeroStats;
class CollectableEntity;
class SoldierEntity;
class SoldierStats;
class UnitEntityTemplate;

class UnitEntity : public BaseEntity {
  V_DECLARE_DYNCREATE(UnitEntity)
 public:
  // Unit type of a disbanded unit.
  static constexpr int UNIT_TYPE_DISBANDED = 21;
  // Spacing of the formation that ResetSoldierPositions lays out.
  static constexpr int DEFAULT_SOLDIER_DISTANCE = 2;
  // Longest strings a saved unit block may hold.
  static constexpr int MAX_SCRIPT_NAME_LENGTH = 260;
  static constexpr int MAX_NAME_LENGTH = 128;
  // Most soldiers a saved unit or unit template may ask to be made, far above any unit
  // the game raises; a larger count fails the block instead of making them all.
  static constexpr int MAX_SOLDIERS_TO_CREATE = 100;

  UnitEntity();
  ~UnitEntity() override;

  // Engine hooks.
  void InitFunction() override;
  void DeInitFunction() override;
  void ThinkFunction() override;
  void EditorThinkFunction() override;
  void MessageFunction(int id, INT_PTR p1, INT_PTR p2) override;
  // BaseEntity's block, then "ARCH", version 3 (see the cpp for the fields), "EOA".
  void Serialize(VArchive& ar) override;
  void OnDeserializationCallback(void* context) override;
  // Scene loaded, clean-up, re-set-up and de-initialisation, after BaseEntity's.
  void OnHandleCallback(IVisCallbackDataObject_cl* data) override;

  // Soldier list ----------------------------------------------------------------------
  // A new soldier: from the stats' template and with the stats, or (without stats) a
  // plain "SoldierEntity" registered with the campaign; placed at the unit and
  // appended. Null when the soldier cannot be created.
  SoldierEntity* AddSoldier(SoldierStats* stats);
  SoldierEntity* AddSoldier(std::nullptr_t) { return AddSoldier(static_cast<SoldierStats*>(nullptr)); }
  // Appends an existing soldier: it leaves the unit it was in and learns this one; a
  // soldier already here stays where it is (and is no longer marked removed).
  void AddSoldier(SoldierEntity* soldier);
  // Erase keeping the order; an absent soldier or a bad index does nothing. The
  // soldier forgets the unit.
  void RemoveSoldier(SoldierEntity* soldier);
  void RemoveSoldier(int index);
  // The next think removes the soldier for good; its effects and its unit go now.
  void MarkRemoved(SoldierEntity* soldier);
  bool IsSoldierMarkedRemoved(const SoldierEntity* soldier) const;
  // With removeEntities every soldier leaves the engine first; the list empties either way.
  void ClearSoldiers(bool removeEntities);
  // Fills up to m_iNumSoldiers; re-lays the formation when it added any.
  void CreateSoldiers();
  int GetSoldierIndex(const SoldierEntity* soldier) const;
  SoldierEntity* GetSoldierAtIndex(int index) const;
  // The first soldier, in order, free to carry the item (a carry component with no
  // target and nothing carried) within the item's pick distance on land (inclusive):
  // it gets the item as its carry target. Null when none is free.
  SoldierEntity* SetCarryTargetForSoldier(CollectableEntity* collectable);
  int GetNumSoldiers() const { return (int)m_soldiers.size(); }
  const std::vector<SoldierEntity*>& GetSoldiers() const { return m_soldiers; }
  int GetSoldiersTotalHp() const;
  int GetSoldiersTotalMaximumHp() const;
  // Nearest by 3-D distance, skipping the dead and the excluded; the first of
  // equally near soldiers wins.
  SoldierEntity* GetNearestSoldierTo(const VisVector_cl& p, const std::vector<SoldierEntity*>& excluded) const;
  SoldierEntity* GetNearestSoldierTo(const VisVector_cl& p) const;
  VisVector_cl GetCenterPosition() const { return GetPosition(); }
  // World box around the soldiers as the last bounding update saw them.
  const VisBoundingBox_cl& GetUnitBoundingBox() const { return m_boundingBox; }
  void InitSelectionEffect();
  void RemoveSelectionEffect();
  int GetMaxNumSoldiers() const { return m_iMaxNumSoldiers; }
  void SetMaxNumSoldiers(int n) { m_iMaxNumSoldiers = n; }
  int GetNumSoldiersToCreate() const { return m_iNumSoldiers; }
  void SetNumSoldiersToCreate(int n) { m_iNumSoldiers = n; }
  int GetUnitWidth() const { return m_iUnitWidth; }
  void SetUnitWidth(int width) { m_iUnitWidth = width; }

  // Formation -------------------------------------------------------------------------
  // Rebuilds the slots: rows along the unit's local x, columns along y, centred on
  // the unit, row after row; rows grow when they cannot hold every soldier.
  bool SetFormation(int rows, int columns, int distance);
  void ClearFormation() { m_formation.clear(); }
  int GetFormationSize() const { return (int)m_formation.size(); }
  // Slot i, or the unit's position past the last slot.
  const VisVector_cl& GetFormationPositionAt(unsigned int i) const;
  int GetFormationRowCount() const { return m_iFormationRows; }
  int GetFormationColCount() const { return m_iFormationColumns; }
  int GetFormationSoldierDistance() const { return m_iFormationDistance; }
  // The soldier each slot got from the last full assignment, in slot order.
  const std::vector<SoldierEntity*>& GetSlotAssignment() const { return m_slotAssignment; }
  // Places every soldier on its slot (soldier i on slot i), on the ground, facing
  // as the unit does; rebuilds the slots when their count differs.
  void ResetSoldierPositions();
  // Orders every soldier to its slot placed at target and turned by rotation, with
  // message and parameter. keepAssignment reuses the last assignment; otherwise
  // each slot in turn takes the nearest soldier not yet placed.
  void SetSoldierTargets(const VisVector_cl& target, const VisMatrix3x3_cl& rotation, unsigned int message,
                         int parameter, bool keepAssignment);
  // The move order: the unit turns towards the point (unless keepOrientation), re-forms
  // in two columns when its slots no longer match its soldiers, sends every soldier to
  // its slot with message and parameter (a unit with a path component moves along
  // paths instead, without them), and shows the target box there.
  void SetTarget(const VisVector_cl& target, unsigned int message, int parameter, bool keepOrientation);
  // The order with a given facing: the unit turns to yaw and every soldier is sent to
  // its slot; no re-forming and no target box.
  void SetTarget(const VisVector_cl& target, float yaw, unsigned int message, int parameter);
  // An order on an entity: a unit or a soldier of another nation is attacked, a free
  // collectable collected (a carried one is let go and glows again), a building of any
  // nation attacked; anything else (own nation, null, other classes) changes nothing.
  void SetTarget(VisBaseEntity_cl* entity);
  // Every soldier attacks a random soldier of the enemy unit.
  void SetRandomAttackTargets(UnitEntity* enemy);
  // Soldiers 0 and 1 attack the clicked soldier, the others random soldiers of its unit.
  void SetCarefullySelectedAttackTargets(SoldierEntity* clicked);
  // Every soldier attacks the building.
  void SetBuildingAttackTargets(BaseEntity* building);
  // Sends soldiers with a free carry component, one each, to the collectable and to the
  // uncarried collectables sharing its key.
  void SetCollectingTargetsForSoldiers(CollectableEntity* collectable);
  // The move along the unit's planned path: the soldier nearest to the target follows
  // the path itself, every other one a copy shifted by its jittered slot; the unit keeps
  // no path of its own. Only for a unit with a UnitPathComponent.
  void SetSoldierPaths(const VisVector_cl& target, const VisMatrix3x3_cl& rotation);
  // The box shown at the destination, from the stored formation.
  void GenerateTargetBox(const VisVector_cl& target, const VisMatrix3x3_cl& rotation);
  void SetUnitTargetBox(const SelectionBox& box) { m_targetBox = box; }
  SelectionBox& GetUnitTargetBox() { return m_targetBox; }

  // Life and records ----------------------------------------------------------------------
  void ResetLastPosition() { m_vLastPosition = GetPosition(); m_vLastPosition.w = 1.0f; }
  const VisVector_cl& GetLastPosition() const { return m_vLastPosition; }
  // Hands the soldiers to a new unit of nation 0 and lets this one go.
  void Disband();
  // The name tag over the unit while show is true (land battles, typed units only).
  void ShowUnitInfo(bool show);
  FrameUnitInfo* GetUnitInfo() const { return m_pUnitInfo; }
  // Writes the unit into its stored form; a unit without a unique id takes one.
  void SaveToTemplate(UnitEntityTemplate* templ);

  // Properties -------------------------------------------------------------------------
  HeroStats* GetHeroStats() const { return m_pHeroStats; }
  void SetHeroStats(HeroStats* stats) { m_pHeroStats = stats; }
  bool IsHero() const { return m_bIsHero; }
  void SetIsHero(bool hero) { m_bIsHero = hero; }
  int GetHeroIndex() const { return m_iHeroIndex; }
  void SetHeroIndex(int index) { m_iHeroIndex = index; }
  int GetUnitType() const { return m_iUnitType; }
  void SetUnitType(int type) { m_iUnitType = type; }
  float GetBillboardDistance() const { return m_fBillboardDistance; }
  void SetBillboardDistance(float d) { m_fBillboardDistance = d; }
  const VString& GetUnitScriptFile() const { return m_sUnitScript; }
  void SetUnitScriptFile(const char* file) { m_sUnitScript = file; }
  const VString& GetSoldierScriptFile() const { return m_sSoldierScriptFile; }
  void SetSoldierScriptFile(const char* file) { m_sSoldierScriptFile = file; }
  const VString& GetUnitName() const { return m_sUnitName; }
  void SetUnitName(const char* name) { m_sUnitName = name; }
  const VString& GetPathName() const { return m_sPathName; }
  void SetPathName(const char* name) { m_sPathName = name; }
  VString GetTypeImage() const { return m_sTypeImage; }
  VString GetTypeImageSet() const { return m_sImageSet; }
  void SetUnitImageSet(const char* set) { m_sImageSet = set; }
  const VString& GetSkillImage() const { return m_sSkillImage; }
  void SetSkillImage(const char* image) { m_sSkillImage = image; }
  const VString& GetUnitTypeName() const { return m_sUnitTypeName; }
  void SetUnitImage(const char* name) { m_sUnitTypeName = name; }
  const VString& GetSecondName() const { return m_sSecondName; }
  void SetSecondName(const char* name) { m_sSecondName = name; }
  // The grouping key of the player's groups; -1 when in none.
  int GetGroup() const { return m_iGroup; }
  void SetGroup(int group) { m_iGroup = group; }

 protected:
  static void BuildVarList(VARTABLE& t);

 private:
  friend class UnitEntityTemplate;

  // Initialisation, after loading and on re-set-up; keepSoldiers keeps the soldiers
  // a saved block brought.
  void SetUpUnit(bool keepSoldiers);
  // Runs the soldiers' machines and centres the unit on them.
  void UpdateBounding();
  // Ground height for a soldier placed at (x, y), from the terrain or a trace.
  bool GroundHeightAt(const VisVector_cl& p, const SoldierEntity* soldier, float& z) const;
  void PlaceSoldier(SoldierEntity* soldier, const VisVector_cl& position, const VisMatrix3x3_cl* rotation);
  // The soldier forgets the unit when it still names this one.
  void ReleaseSoldier(SoldierEntity* soldier);
  // Registration with the highlight and fog-of-war managers.
  void RegisterSoldier(SoldierEntity* soldier);
  bool ReadBlock(VArchive& ar);

  HeroStats* m_pHeroStats = nullptr;
  bool m_bIsHero = false;
  int m_iHeroIndex = -1;
  int m_iUnitType = 0;
  float m_fBillboardDistance = 25.0f;
  int m_iNumSoldiers = 0;
  int m_iUnitWidth = 1;
  VString m_sUnitScript;
  VString m_sSoldierScriptFile;
  VString m_sUnitName;
  std::vector<SoldierEntity*> m_soldiers;
  int m_iMaxNumSoldiers = 0;
  VisVector_cl m_vLastPosition{0, 0, 0, 1};
  std::vector<SoldierEntity*> m_removed;  // in the order marked
  std::vector<VisVector_cl> m_formation;
  int m_iFormationRows = 0;
  int m_iFormationColumns = 0;
  int m_iFormationDistance = 0;
  std::vector<SoldierEntity*> m_slotAssignment;
  SelectionBox m_targetBox;
  VisBoundingBox_cl m_boundingBox;
  VString m_sPathName;
  VString m_sTypeImage;
  VString m_sSkillImage;
  VString m_sImageSet;
  VString m_sUnitTypeName;
  VString m_sSecondName;
  FrameUnitInfo* m_pUnitInfo = nullptr;
  int m_iGroup = -1;
};
