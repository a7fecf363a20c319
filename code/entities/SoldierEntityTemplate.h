// The stored form of one soldier, from which the engine creates it again: the
// engine template's pose, model, key and parameters, plus nation, weapons and the
// 64-bit unique id that matches soldier and record.
#pragma once

#include "engine/core/VisGame.h"

#include <cstdint>
#include <vector>

class SoldierEntity;
class VArchive;

class SoldierEntityTemplate : public VisEntityTemplate_cl {
 public:
  // Longest model file, key and parameter strings a saved block may carry.
  static constexpr int MAX_NAME_LENGTH = 260;
  static constexpr int MAX_PARAMETER_LENGTH = 4000;

  SoldierEntityTemplate();

  // Block: "ARCH", version 3, flag, position, model file, key, parameters, orientation,
  // scaling, nation, unique id (64-bit), weapon count and ids, "EOA". Reading raises
  // GameManager's unique-id counter above the id; a string or count beyond what the
  // block can hold fails the archive.
  virtual bool SerializeX(VArchive& ar);

  // The engine's hook for a created entity: OnEntityCreated.
  void ApplyToEntity(VisBaseEntity_cl* entity) override { OnEntityCreated(entity); }
  // A SoldierEntity takes the unique id (a fresh one when the template has none,
  // stored in both), the nation and a copy of each listed weapon.
  void OnEntityCreated(VisBaseEntity_cl* entity);
  // Every field the template shares with a soldier, from the soldier
  // (SoldierEntity::SaveToTemplate).
  void TakeFieldsFrom(SoldierEntity& soldier);

  bool operator==(const SoldierEntityTemplate& other) const { return m_iUniqueID == other.m_iUniqueID; }

  int m_iNation = 0;
  std::vector<int> m_weaponIds;
  int64_t m_iUniqueID = 0;  // 0: none yet

 private:
  // The one list of the fields a soldier and its template share, each field
  // written in both directions side by side.
  void CopySharedFields(SoldierEntity& soldier, bool toTemplate);
};
