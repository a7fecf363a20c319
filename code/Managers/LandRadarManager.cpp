#include "Managers/LandRadarManager.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

namespace {
const int kBlockVersion = 1;
}  // namespace

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
