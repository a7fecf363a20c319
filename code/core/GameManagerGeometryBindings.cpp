// The message, window and geometry functions of the "GameManager" script table:
// localised notices, windows, tutorials and videos, and the positions scripts
// compute (range tests, random directions, points on paths and on the screen
// border, placing objects on the ground).
#include "Managers/ArtifactManager.h"
#include "Managers/BattleManager.h"
#include "Managers/LocalizationTable.h"
#include "Managers/TutorialManager.h"
#include "core/BaseEntity.h"
#include "core/GameManager.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/SoldierEntity.h"
#include "gui/CeguiCompat.h"
#include "gui/GUIManager.h"
#include "gui/VideoPlayer.h"
#include "util/MathTools.h"

#include "engine/Vision.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace ScriptArgs;

namespace {

const char* const kExpectText = "Expected const char*";
const char* const kExpectVisEntity = "Expected native object of type VisBaseEntity_cl*";
const char* const kExpectEntity = "Expected native object of type BaseEntity*";
const char* const kExpectPath = "Expected native object of type VisPath_cl*";

const float kDefaultDisplayTime = 5.0f;
const float kDefaultFadeSpeed = 3.0f;
// While this potion works the player's hero is in nobody's range.
const int kInvisibilityPotion = 33;
// How far along the script's direction ClampToScreen looks for the screen border.
const float kClampDistance = 2000.0f;
// Paths of the scenes that are no patrol routes.
const char* const kNoPatrolPaths[] = {"CameraBounds", "landing_zone", "MonkeyPath1", "MonkeyPath2", "MonkeyPath3"};

LocalizationTable* Texts() { return LocalizationTable::GetInstance(); }

// Script text (8-bit) as GUI text, converted the way message arguments are.
CEGUI::String GuiText(const char* text) { return CeguiCompat::ToGui(VWideToUTF8(NarrowToWide(text).c_str())); }

GUIManager* Gui() { return GUIManager::HasInstance() ? GUIManager::GetInstance() : nullptr; }

// The ground-plane distance from the point to the entity's box (0 inside it); an
// entity without a model counts as its position.
float GroundDistanceToBox(const VisVector_cl& point, const VisBaseEntity_cl* entity) {
  VisBoundingBox_cl box;
  entity->GetCurrentVisBoundingBox(box);
  VisVector_cl lo = entity->GetPosition(), hi = entity->GetPosition();
  if (box.IsValid()) {
    lo = box.m_vMin;
    hi = box.m_vMax;
  }
  const float dx = point.x - std::clamp(point.x, lo.x, hi.x);
  const float dy = point.y - std::clamp(point.y, lo.y, hi.y);
  return std::sqrt(dx * dx + dy * dy);
}

bool IsPatrolPath(const VisPath_cl* path) {
  if (!path || path->GetPathNodeCount() < 2) return false;
  const char* key = path->GetObjectKey();
  if (!key || !*key) return false;
  for (const char* excluded : kNoPatrolPaths)
    if (std::strcmp(key, excluded) == 0) return false;
  return true;
}

}  // namespace

// Messages, windows, tutorials and video --------------------------------------------

int GameManager_ShowMessage(lua_State* L) {
  const char* key = OptString(L, 1, "");
  const float displayTime = OptFloat(L, 2, kDefaultDisplayTime);
  const float fadeSpeed = OptFloat(L, 3, kDefaultFadeSpeed);
  if (GUIManager* gui = Gui()) gui->ShowMessage(key, displayTime, fadeSpeed);
  return 0;
}

int GameManager_ShowMessageArg(lua_State* L) {
  const char* key = CheckString(L, 1, kExpectText);
  const char* value = CheckString(L, 2, kExpectText);
  const float displayTime = OptFloat(L, 3, kDefaultDisplayTime);
  const float fadeSpeed = OptFloat(L, 4, kDefaultFadeSpeed);
  const char* prefix = OptString(L, 5, "");
  if (GUIManager* gui = Gui())
    gui->ShowMessage(GuiText(prefix) + Texts()->GetText(key, NarrowToWide(value)), displayTime, fadeSpeed);
  return 0;
}

int GameManager_ShowMessageArgLocalize(lua_State* L) {
  const char* key = CheckString(L, 1, kExpectText);
  const char* valueKey = CheckString(L, 2, kExpectText);
  const float displayTime = OptFloat(L, 3, kDefaultDisplayTime);
  const float fadeSpeed = OptFloat(L, 4, kDefaultFadeSpeed);
  const char* prefix = OptString(L, 5, "");
  const char* suffix = OptString(L, 6, "");
  GUIManager* gui = Gui();
  if (!gui) return 0;
  CEGUI::String text = GuiText(prefix) + Texts()->GetText(key, Texts()->GetWideText(valueKey));
  if (*suffix) text += GuiText(suffix);
  gui->ShowMessage(text, displayTime, fadeSpeed);
  return 0;
}

int GameManager_ShowAdditionalMessage(lua_State* L) {
  const char* key = OptString(L, 1, "");
  const float displayTime = OptFloat(L, 2, kDefaultDisplayTime);
  const float fadeSpeed = OptFloat(L, 3, kDefaultFadeSpeed);
  if (GUIManager* gui = Gui()) gui->ShowAdditionalMessage(Texts()->GetText(key), displayTime, fadeSpeed);
  return 0;
}

int GameManager_ShowAdditionalMessageArgsLocalize(lua_State* L) {
  const char* key = CheckString(L, 1, kExpectText);
  const int number = CheckInt(L, 2);
  const float displayTime = OptFloat(L, 3, kDefaultDisplayTime);
  const float fadeSpeed = OptFloat(L, 4, kDefaultFadeSpeed);
  const char* prefix = OptString(L, 5, "");
  if (GUIManager* gui = Gui())
    gui->ShowAdditionalMessage(GuiText(prefix) + Texts()->GetText(key, number), displayTime, fadeSpeed);
  return 0;
}

int GameManager_ShowWindow(lua_State* L) {
  const int type = OptInt(L, 1, -1);
  GUIManager* gui = Gui();
  if (type != -1 && gui) gui->ShowWindow((WINDOW_TYPES)type, nullptr);
  return 0;
}

int GameManager_IsMansionWindowVisible(lua_State* L) {
  GUIManager* gui = Gui();
  return PushBool(L, gui && gui->IsWindowVisible(WT_PIRATE_MANSION));
}

int GameManager_ShowTutorial(lua_State* L) {
  const char* key = OptString(L, 1, "");
  TutorialManager::GetInstance()->ShowTutorial(key);
  return 0;
}

int GameManager_PlayVideo(lua_State* L) {
  const char* file = CheckString(L, 1, kExpectText);
  VideoPlayer_cl player;
  player.PlayVideo(file);
  return 0;
}

// Geometry ---------------------------------------------------------------------------

int GameManager_IsInRange(lua_State* L) {
  const VisVector_cl a = CheckVector(L, 1);
  const VisVector_cl b = CheckVector(L, 2);
  const float range = CheckFloat(L, 3);
  const float dx = a.x - b.x, dy = a.y - b.y;
  return PushBool(L, range * range > dx * dx + dy * dy);
}

int GameManager_IsEntityInRange(lua_State* L) {
  const VisVector_cl point = CheckVector(L, 1);
  VisBaseEntity_cl* entity = CheckNativeObject<VisBaseEntity_cl>(L, 2, &VisBaseEntity_info, kExpectVisEntity);
  const float range = CheckFloat(L, 3);
  OptBool(L, 4, false);  // accepted for old scripts; it changes nothing

  auto* soldier = dynamic_cast<SoldierEntity*>(entity);
  if (soldier && soldier->IsPlayerHero() && ArtifactManager::GetInstance()->IsActive(kInvisibilityPotion)) return 0;
  return PushBool(L, range > GroundDistanceToBox(point, entity));
}

int GameManager_GetRandomVectorNormalized(lua_State* L) {
  const float angle = MathTools::RandomFloat() * 360.0f * 3.14159265f / 180.0f;
  return PushVector(L, VisVector_cl(std::sin(angle), std::cos(angle), 0.0f));
}

// No result without a screen, when the point along the direction lies behind the
// camera, or when the view ray through the border point never reaches the water
// ahead of the camera (parallel to it, or rising away from it).
int GameManager_ClampToScreen(lua_State* L) {
  const VisVector_cl direction = CheckVector(L, 1);
  const VisRenderContext_cl* context = VisRenderContext_cl::GetMainRenderContext();
  int width = 0, height = 0;
  if (context) context->GetSize(width, height);
  if (!context || width <= 0 || height <= 0) return 0;

  const VisVector_cl camera = context->GetCameraPosition();
  const VisVector_cl ahead(camera.x + kClampDistance * direction.x, camera.y + kClampDistance * direction.y,
                           kClampDistance * direction.z);
  float x = 0.0f, y = 0.0f;
  if (!context->Project2D(ahead, x, y)) return 0;
  x = std::clamp(x, 0.0f, (float)width);
  y = std::clamp(y, 0.0f, (float)height);

  const VisVector_cl ray = Vision::Game.GetTraceDirFromScreenPos(x, y, 1.0f, context).GetNormalized();
  if (ray.z == 0.0f) return 0;
  const float t = -camera.z / ray.z;
  if (t < 0.0f) return 0;
  return PushVector(L, camera + ray * t);
}

int GameManager_GetRandomPatrolPath(lua_State* L) {
  std::vector<VisPath_cl*> kept;
  for (int i = 0; i < Vision::Game.GetScenePathCount(); ++i)
    if (IsPatrolPath(Vision::Game.GetScenePath(i))) kept.push_back(Vision::Game.GetScenePath(i));
  if (kept.empty()) return PushObject<VisPath_cl>(L, nullptr);
  return PushObject(L, kept[(size_t)MathTools::RandomInt((int)kept.size())]);
}

int GameManager_GetRandomPositionFromPath(lua_State* L) {
  const VisPath_cl* path = CheckNativeObject<VisPath_cl>(L, 1, &VisPath_cl_info, kExpectPath);
  VisVector_cl point = path->EvalPoint(MathTools::RandomFloat());
  const int location = GameManager::GetInstance()->GetLocation();
  if (location == 0 || location == 2)
    point.z = 0.0f;
  else
    point.z = BattleManager::GetInstance()->GetTerrainHeight(point, true);
  return PushVector(L, point);
}

int GameManager_MoveObjectToGroundlevel(lua_State* L) {
  BaseEntity* entity = CheckNativeObject<BaseEntity>(L, 1, &BaseEntity_info, kExpectEntity);
  VDynamicMesh* mesh = entity->GetMesh();
  if (!mesh || !Vision::World.HasTerrain()) return 0;
  VisVector_cl position = entity->GetPosition();
  const float ground = BattleManager::GetInstance()->GetTerrainHeight(position, true);
  // A model without a box stands on its origin.
  const VisBoundingBox_cl& box = mesh->GetBoundingBox();
  const float bottom = box.IsValid() ? box.m_vMin.z : 0.0f;
  position.z = ground - bottom * entity->GetScaling().z;
  entity->SetPosition(position);
  return 0;
}
