// The "StorageComponentProto" script class: scripts fill a storage with
// collectables made from their script files.
#include "components/StorageComponentProto.h"
#include "core/ScriptArgs.h"
#include "core/ScriptBindings.h"
#include "entities/CollectableEntityTemplate.h"

#include "engine/Vision.h"

using namespace ScriptArgs;

namespace {

const char* const kExpectStorage = "Expected native object of type StorageComponentProto*";
const char* const kExpectScript = "Expected const char *";

// storage:AddCollectable(scriptFile [, minValue, maxValue]): the value range is
// taken only when both are given and neither is negative.
int AddCollectable(lua_State* L) {
  StorageComponentProto* storage =
      CheckNativeObject<StorageComponentProto>(L, 1, &StorageComponentProto_info, kExpectStorage);
  const char* script = CheckString(L, 2, kExpectScript);
  const int minValue = OptInt(L, 3, -1);
  const int maxValue = OptInt(L, 4, -1);
  auto* templ = new CollectableEntityTemplate();
  templ->m_sCollectableScriptFile = script;
  if (minValue >= 0 && maxValue >= 0) {
    templ->m_iMinValue = minValue;
    templ->m_iMaxValue = maxValue;
  }
  storage->AddCollectable(templ);
  return 0;
}

const luaL_Reg StorageComponentProto_methods[] = {
    {"AddCollectable", AddCollectable},
    {nullptr, nullptr},
};

}  // namespace

NativeClassInfo StorageComponentProto_info = {"StorageComponentProto", &BaseComponent_info,
                                              StorageComponentProto_methods};
