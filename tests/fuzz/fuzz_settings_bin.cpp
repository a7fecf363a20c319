// settings.bin over arbitrary bytes: no crash, no sanitizer report, no allocation
// beyond the bytes given, and a dictionary that reads cleanly writes and reads
// itself again with the same entries.
// fuzz-sources: code/util/UserArchiveFile.cpp
#include "util/UserArchiveFile.h"

#include "engine/base/VArchive.h"
#include "engine/base/VStrDictionary.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

bool ReadDictionary(const void* data, size_t size, VStrDictionary& out) {
  VMemoryInStream* in = new VMemoryInStream(data, size, "settings.bin");
  const bool ok = UserArchiveFile::Read(in, "settings.bin", [&](VArchive& ar) { ar >> out; });
  in->Close();
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  VStrDictionary dict;
  if (!ReadDictionary(data, size, dict)) return 0;
  // The typed reads the apply operations make.
  for (int i = 0; i < dict.GetCount(); ++i) {
    const char* key = dict.GetEntry(i)->m_key.AsChar();
    dict.GetInt(key, 1);
    dict.GetFloat(key, 1.0f);
    dict.GetBool(key, true);
  }

  VSmartPtr<VMemoryStream> memory = new VMemoryStream("settings.bin");
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  {
    VArchive ar("settings.bin", out);
    ar << Vision::GetArchiveVersion();
    ar << dict;
    ar.Close();
  }
  out->Close();
  VStrDictionary again;
  Require(ReadDictionary(memory->GetDataPtr(), (size_t)memory->GetSize(), again));
  Require(again.GetCount() == dict.GetCount());
  for (int i = 0; i < dict.GetCount(); ++i) {
    Require(strcmp(again.GetEntry(i)->m_key.AsChar(), dict.GetEntry(i)->m_key.AsChar()) == 0);
    Require(strcmp(again.GetEntry(i)->m_value.AsChar(), dict.GetEntry(i)->m_value.AsChar()) == 0);
  }
  return 0;
}
