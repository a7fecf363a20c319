// The campaign's records: a new session, heroes and their units, ratings,
// inventory, potions and the save block.
#include "Managers/GameSessionManager.h"

void GameSessionManager::StartNewGameSession() {}
void GameSessionManager::ClearSession() {}
bool GameSessionManager::SerializeX(VArchive& ar) { return false; }
HeroStats* GameSessionManager::AddHero(const char* name, VisVector_cl pos) { return nullptr; }
HeroStats* GameSessionManager::AddHeroById(unsigned id, VisVector_cl pos) { return nullptr; }
HeroStats* GameSessionManager::GetHeroByTemplateId(int64_t id) const { return nullptr; }
UnitEntityTemplate* GameSessionManager::InitCharacter(UnitEntityTemplate* t, unsigned id, bool newId) { return t; }
void GameSessionManager::AddUnitToHero(HeroStats* hero, UnitEntity* unit) {}
void GameSessionManager::RemoveUnitFromHero(UnitEntity* unit) {}
bool GameSessionManager::HasUnit(int unitType) const { return false; }
VString GameSessionManager::GetUnitTypeName(int unitType) { return VString(); }
int GameSessionManager::GetUnitDamage(UnitEntityTemplate* t) const { return 0; }
float GameSessionManager::GetPlayerCharacterDamage(UnitEntityTemplate* t) const { return 0; }
int GameSessionManager::GetUnitSpeed(UnitEntityTemplate* t) const { return 0; }
float GameSessionManager::GetPlayerCharacterSpeed(UnitEntityTemplate* t) const { return 0; }
int GameSessionManager::GetUnitToughness(UnitEntityTemplate* t) const { return 0; }
float GameSessionManager::GetPlayerCharacterToughness(UnitEntityTemplate* t) const { return 0; }
void GameSessionManager::GetAvailableSkills(std::vector<VString>& out, HeroStats* hero) const {}
CollectableEntityTemplate* GameSessionManager::GetCollectable(unsigned i) const { return nullptr; }
int GameSessionManager::GetPlayerCollectableCountByName(const char* name) const { return 0; }
int GameSessionManager::GetPlayerConsumableCount() const { return 0; }
bool GameSessionManager::DecreaseCollectableCountByName(const char* name, int n) { return false; }
void GameSessionManager::RemoveCollectable(unsigned i) {}
bool GameSessionManager::RemoveCollectableByName(const char* name) { return false; }
CollectableEntityTemplate* GameSessionManager::GetCollectableById(int id) const { return nullptr; }
Potion* GameSessionManager::GetPotionId(int collectableId) const { return nullptr; }
void GameSessionManager::SwapPlayerNPCShip(ShipEntity* ship) {}
void GameSessionManager::SpawnHero(HeroStats* hero, const VisVector_cl& pos) {}
void GameSessionManager::HealAll() {}
void GameSessionManager::StoreEscapedUnits() {}
