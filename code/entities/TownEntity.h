// A town of the world map or of a land scene. Most of its data lives in the values
// of its town script, which the rest of the game reads through this class; a
// stronghold is the player's own town and differs only by its class.
#pragma once

#include "core/StaticEntity.h"

#include <vector>

class TownEntity : public StaticEntity {
  V_DECLARE_DYNCREATE(TownEntity)
 public:
  // Not saved by default, and traced by its box.
  TownEntity();
  ~TownEntity() override;

  // Attaches the town script when the town has none yet, then a name tag when it
  // has none.
  virtual void CommonInit();
  // Script value "sSceneFile": the land scene the town leads to.
  virtual void SetSceneFile(const VString& file);
  virtual VString GetSceneFile();
  // Script value "iSceneType": above 4 counts as a colony.
  virtual void SetSceneType(int type);
  virtual int GetSceneType();
  // Loads the town script anew in place of the current instance.
  virtual void ReloadTownScript();

  void SetScript(const char* file);
  const VString& GetScript() const { return m_sTownScript; }
  bool IsAccessible();
  void SetAccessible(bool accessible);
  bool IsFound();
  void SetFound(bool found);
  int GetMaxCollectableCount();
  void SetMaxCollectableCount(int count);
  // The stored key, else the script's "sNameKey", else "str_TOWN_NONE"; kept once found.
  const VString& GetTownNameKey();
  // Stored always; written to the script's "sNameKey" when the town has a script.
  void SetTownNameKey(const char* key);
  void AddShipScript(const VString& file) { m_shipScripts.push_back(file); }
  int GetShipScriptCount() const { return (int)m_shipScripts.size(); }
  const VString& GetShipScript(int i) const { return m_shipScripts[i]; }
  int IsWorldLevelTown() const { return m_bWorldLevel; }
  void SetWorldLevelTown(int worldLevel) { m_bWorldLevel = worldLevel; }
  // 25 units behind the town along its forward axis.
  VisVector_cl GetSpawnPosition() const;

  // The base entity's block, then "ARCH", version 7, the town script, the ship
  // scripts, the world-level flag, "EOA". Older blocks are read by version.
  void Serialize(VArchive& ar) override;
  // A town read back from a saved game gets its script and name tag.
  void OnDeserializationCallback(void* context) override;
  bool WantsDeserializationCallback(int context) override { return context != 1; }

 protected:
  static void BuildVarList(VARTABLE& t);

  VString m_sTownScript;
  VString m_sTownNameKey;
  std::vector<VString> m_shipScripts;
  int m_bWorldLevel = 0;
};

class StrongholdEntity : public TownEntity {
  V_DECLARE_DYNCREATE(StrongholdEntity)
};
