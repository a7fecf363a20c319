// jokes.bin over arbitrary bytes: no crash, no sanitizer report, no allocation
// beyond the bytes given; the table never exceeds its size or the entries the file
// holds, and a table that reads cleanly writes the same entries again.
// fuzz-sources: code/util/UserArchiveFile.cpp code/Managers/SeenJokesTable.cpp
#include "Managers/SeenJokesTable.h"
#include "util/UserArchiveFile.h"

#include "engine/base/VArchive.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

bool ReadTable(const void* data, size_t size, SeenJokesTable& out) {
  VMemoryInStream* in = new VMemoryInStream(data, size, "jokes.bin");
  const bool ok = UserArchiveFile::Read(in, "jokes.bin", [&](VArchive& ar) { out.Serialize(ar); });
  in->Close();
  return ok;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SeenJokesTable table;
  if (!ReadTable(data, size, table)) return 0;
  Require(table.GetCount() <= SeenJokesTable::MaxEntries);
  Require(size >= 8 && (size_t)table.GetCount() <= (size - 8) / 8);

  // The unread jokes of a small jokes file, found by number as a start does.
  std::vector<int> unseen;
  for (int joke = 0; joke < 16; ++joke)
    if (!table.IsShown(joke)) unseen.push_back(joke);
  for (int joke : unseen) Require(!table.IsShown(joke));

  VSmartPtr<VMemoryStream> memory = new VMemoryStream("jokes.bin");
  VMemoryOutStream* out = new VMemoryOutStream(memory);
  {
    VArchive ar("jokes.bin", out);
    ar << Vision::GetArchiveVersion();
    table.Serialize(ar);
    ar.Close();
  }
  out->Close();
  SeenJokesTable again;
  Require(ReadTable(memory->GetDataPtr(), (size_t)memory->GetSize(), again));
  Require(again.GetCount() == table.GetCount());
  for (int i = 0; i < table.GetCount(); ++i) {
    Require(again.GetEntry(i).m_iJoke == table.GetEntry(i).m_iJoke);
    Require(again.GetEntry(i).m_iShown == table.GetEntry(i).m_iShown);
  }
  return 0;
}
