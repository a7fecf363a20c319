// The numbering schemes that scripts share with the native code, handed out as
// tables of name to number, so that a script writes PIRATE_HERO instead of 6.
// Each list is in numeric order: a name's value is its position.
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"

#include <iterator>

namespace {

const char* const kUnitTypes[] = {
    "UNIT_NONE",          "PLAYER_HERO",          "PLAYER_HERO_CORSAIR", "PLAYER_HERO_BUCCANEER",
    "CORSAIR_HERO",       "BUCCANEER_HERO",       "PIRATE_HERO",         "CORSAIR_BOMBER",
    "BUCCANEER_ROCKETEER", "PIRATE_CANNONEER",    "CORSAIR_SWINGER",     "BUCCANEER_MARKSMEN",
    "PIRATE_SCOUNDREL",   "CORSAIR_CLUBBER",      "BUCCANEER_PISTOLIER", "PIRATE_SCALLYWAG",
    "BRINEMARK_BASIC",    "BRINEMARK_RANGED",     "BRINEMARK_SPECIAL",   "BRINEMARK_COMMAND",
    "BRINEMARK_LIUTENANT", "CIVILIAN_MAN",        "CIVILIAN_WOMAN",      "COLONIAL_RIFLEMAN",
    "COLONIAL_MELEE",     "COLONIAL_COMMANDER",   "GHOST_SOLDIER",       "WEAPON",
    "MAIN_BOSS",          "SIMBI",                "QUICKDRAW",           "GHOST_CAPTAIN",
};

const char* const kCollectableIds[] = {
    "ID_NONE",          "RUM_BOTTLE",        "TOOLBOX",           "MONEY",
    "BLUEPRINT",        "SCIMITAR",          "SEASHELL",          "STRAWHAT",
    "BANANA",           "FLAG",              "ACDC",              "POWDER",
    "SEXTANT",          "DJBOX",             "FIGUREHEAD",        "AMULET",
    "COMPASS",          "INSULTINGSWORD",    "DOLLY",             "POCKETWATCH",
    "EYEPATCH",         "WINDCHARM_PITRATE", "WINDCHARM_BUCCANEER", "WINDCHARM_CORSAIR",
    "WATER_LILY",       "DUCKWEED",          "DANDELION",         "ORCHID",
    "SULFUR",           "AZURITE",           "RED_HERRING",       "SILVER_TROUT",
    "GHOST_POTION",     "INVISIBILITY_POTION", "WIND_IN_A_BOTTLE", "GET_A_FIX",
    "MIST_SHIP",        "MESSAGE_BOTTLE",
};

const char* const kCollectableTypes[] = {"TYPE_NONE", "CONSUMABLE", "ARTIFACT", "INGREDIENT", "PICKUP"};

const char* const kProjectileTypes[] = {
    "PROJECTILE_NONE",         "PROJECTILE_BALL",         "PROJECTILE_CHAIN",
    "PROJECTILE_HARPOON",      "PROJECTILE_MINE",         "PROJECTILE_MORTAR",
    "PROJECTILE_MIRV",         "PROJECTILE_ROCKET",       "PROJECTILE_HUMANCANNONBALL",
    "PROJECTILE_SLOWINGBARREL", "PROJECTILE_BUBBLEMINE",  "PROJECTILE_MONKEYCANNONBALL",
    "PROJECTILE_NOTE",         "PROJECTILE_STINKBOMB",
};

static_assert(std::size(kUnitTypes) == 32);
static_assert(std::size(kCollectableIds) == 38);
static_assert(std::size(kCollectableTypes) == 5);
static_assert(std::size(kProjectileTypes) == 14);

template <size_t N>
int PushNames(lua_State* L, const char* const (&names)[N]) {
  return ScriptArgs::PushEnumTable(L, names, (int)N);
}

}  // namespace

// A fresh table on every call: scripts may change theirs.
int GameManager_GetUnitTypes(lua_State* L) { return PushNames(L, kUnitTypes); }
int GameManager_GetCollectableIds(lua_State* L) { return PushNames(L, kCollectableIds); }
int GameManager_GetCollectableTypes(lua_State* L) { return PushNames(L, kCollectableTypes); }
// Also a method of ShipBattleComponent proxies, where the object is ignored.
int GameManager_GetProjectileTypes(lua_State* L) { return PushNames(L, kProjectileTypes); }
