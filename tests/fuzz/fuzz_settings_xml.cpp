// The settings.xml reader over arbitrary text: no crash, no sanitizer report, no
// deep recursion, and every setting it hands on names a known family and scene kind.
// fuzz-sources: code/Managers/SettingsXmlReader.cpp engine/core/VXmlRoot.cpp
// fuzz-libs: PkgConfig::TINYXML
#include "Managers/SettingsXmlReader.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string error;
  const bool ok = SettingsXmlReader::Read(
      text.c_str(),
      [](eSettingType type, int kind, const char* quality, const char* key, const char* value, bool) {
        const char* name = SettingsXmlReader::GetTypeName(type);
        Require(name != nullptr);
        Require(kind >= 0 && kind <= 2);
        Require(quality && key && value);
        Require(strncmp(key, name, strlen(name)) == 0 && key[strlen(name)] == '_');
      },
      error);
  Require(ok || !error.empty());
  return 0;
}
