#include "Managers/LandRadarManager.h"

#include "core/GameManager.h"
#include "Managers/SaveGameManager.h"

#include "engine/Vision.h"
#include "engine/base/VArchive.h"
#include "engine/core/VisBaseEntity.h"
#include "engine/render/VTextureManager.h"

#include <algorithm>

namespace {
const int kBlockVersion = 1;
// Top-left offsets of a mask on the border: 13 in from the left and top edges,
// 51 from the right and bottom ones (the picture is 64 pixels).
const float kNear = -13.0f, kTop = -18.0f, kFar = 51.0f;
// Masks of textures loaded by name only (no size known) are drawn this big.
const float kDefaultMaskSize = 64.0f;
// Off screen until the first update places it.
const float kParked = -64.0f;
}  // namespace

const LandRadarMarker* LandRadarManager::FindMarker(const VisBaseEntity_cl* entity) const {
  for (const LandRadarMarker& marker : m_markers)
    if (marker.entity == entity) return &marker;
  return nullptr;
}

void LandRadarManager::Add(VisBaseEntity_cl* entity, const char* texture) {
  if (!entity || !texture || !*texture || FindMarker(entity)) return;
  VTextureObject* picture = Vision::TextureManager.Load2DTextureFromFile(texture);
  if (!picture) return;
  LandRadarMarker marker;
  marker.entity = entity;
  marker.mask = new VisScreenMask_cl();
  marker.mask->SetTextureObject(picture);
  const float w = picture->GetTextureWidth() > 0 ? (float)picture->GetTextureWidth() : kDefaultMaskSize;
  const float h = picture->GetTextureHeight() > 0 ? (float)picture->GetTextureHeight() : kDefaultMaskSize;
  marker.mask->SetTargetSize(w, h);
  marker.mask->SetOrder(MASK_ORDER);
  marker.mask->SetTransparency(VIS_TRANSP_ALPHA);
  marker.mask->SetFiltering(false);
  marker.mask->SetPos(kParked, kParked);
  m_fMarkerWidth = w;
  m_markers.push_back(marker);
}

void LandRadarManager::Remove(VisBaseEntity_cl* entity) {
  if (!entity) return;
  auto it = std::find_if(m_markers.begin(), m_markers.end(),
                         [entity](const LandRadarMarker& m) { return m.entity == entity; });
  if (it != m_markers.end()) m_markers.erase(it);
}

void LandRadarManager::SetAllVisible(bool visible) {
  for (LandRadarMarker& marker : m_markers)
    if (marker.mask) marker.mask->SetVisible(visible);
}

void LandRadarManager::Update() {
  if (!GameManager::HasInstance()) return;
  GameManager* game = GameManager::GetInstance();
  if (!game->GetPlayerEntity()) return;
  m_border.Set((float)std::max(0, VVideo::GetCurrentWidth()), (float)std::max(0, VVideo::GetCurrentHeight()), kNear,
               kTop, kFar, kFar);
  for (LandRadarMarker& marker : m_markers) {
    if (!marker.entity || !marker.mask) continue;
    // Towns are found on the world map only.
    if (game->GetLocation() != 0 && marker.entity->IsOfType("TownEntity")) {
      marker.mask->SetVisible(false);
      continue;
    }
    float x = 0.0f, y = 0.0f, hitX = 0.0f, hitY = 0.0f;
    RadarManager::ProjectToScreen(marker.entity->GetPosition(), x, y);
    if (m_border.FindHit(x, y, hitX, hitY)) {
      marker.mask->SetVisible(true);
      marker.mask->SetPos(hitX, hitY);
    } else {
      marker.mask->SetVisible(false);
      marker.mask->SetPos(marker.position.x, marker.position.y);
    }
  }
}

bool LandRadarManager::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << (int32_t)m_savedList.size();
    for (int32_t value : m_savedList) ar << value;
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }
  SavedBlockReader block(ar, "LandRadarManager", kBlockVersion);
  if (!block.IsOpen()) return false;
  std::vector<int32_t> list = m_savedList;
  if (block.Has(1)) {
    int32_t count = 0;
    ar >> count;
    // Four bytes an entry: a count beyond what is left is damage, not a list.
    if (count < 0 || (int64_t)count * 4 > ar.GetRemaining()) return block.Fail("the saved list's length");
    list.assign(count, 0);
    for (int32_t& value : list) ar >> value;
  }
  if (!block.End()) return false;
  m_savedList = std::move(list);
  return true;
}
