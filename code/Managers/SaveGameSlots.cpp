// The read side of the save slots: file paths, header reading, the slot records
// the save and load lists show, and the newest save.
#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"
#include "engine/base/VisFile.h"
#include "engine/os/VOs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// Where the slots live below the documents folder.
const char* const kSaveFolder = "Fenwold/Brinemark/SaveGames";

bool IsSlot(int slot) { return slot >= 1 && slot <= SaveGameManagerProto::kSlotCount; }

}  // namespace

void SaveSlotInfo::Clear() {
  m_sThumbnailPath.Reset();
  m_sDateText.Reset();
  m_sMissionName.Reset();
  m_sInfoStamp.Reset();
  m_iHero = 0;
}

int SaveGameManagerProto::GetSaveGameFile(char* out, int slot) {
  if (!out) return 0;
  out[0] = '\0';
  if (!IsSlot(slot)) return 0;
  char documents[V_DOCUMENT_FOLDER_SIZE];
  if (!GetMyDocumentFolder(documents)) return 0;
  const std::string folder = VPathHelper::CombineDirAndFile(documents, kSaveFolder);
  if (!VFileHelper::MkDirRecursive(folder.c_str())) return 0;
  // An existing folder may differ in case: the files go into it.
  std::string found;
  const char* dir = VFileHelper::FindCaseInsensitive(folder, found) ? found.c_str() : folder.c_str();
  char name[16];
  snprintf(name, sizeof(name), "save%1d", slot);
  const std::string path = VPathHelper::CombineDirAndFile(dir, name);
  // Room for the extension the callers append.
  if (path.size() + 5 > V_DOCUMENT_FOLDER_SIZE) return 0;
  memcpy(out, path.c_str(), path.size() + 1);
  return 1;
}

VString SaveGameManagerProto::GetDateString() const {
  const VLocalTime t = VGetLocalTime();
  VString text;
  text.Format("%d.%d.%d - %02d:%02d", t.month, t.day, t.year, t.hour, t.minute);
  return text;
}

VString SaveGameManagerProto::GetSaveInfoString() const {
  const VLocalTime t = VGetLocalTime();
  VString text;
  text.Format("%04d%02d%02d%02d%02d%02d%04d", t.year, t.month, t.day, t.hour, t.minute, t.second, t.milliseconds);
  return text;
}

int SaveGameManagerProto::ReadSlotHeader(SaveSlotInfo& info, int slot) {
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (!IsSlot(slot) || !GetSaveGameFile(path, slot)) return 0;
  strcat(path, ".gam");
  IVFileInStream* in = Vision::File.Open(path);
  if (!in) return 0;
  // Read into a copy: a header cut short leaves the record as it was.
  SaveSlotInfo read = info;
  bool ok = false;
  {
    VArchive ar(path, in, Vision::File.GetManager(), 4096);
    int archiveVersion = 0;
    if (CheckArchiveStartTag(ar) && (ar >> archiveVersion, ar.IsOK()) && Vision::IsValidArchive(archiveVersion)) {
      ar.SetLoadingVersion(archiveVersion);
      char saveVersion = 0;
      ar >> saveVersion >> read.m_sDateText >> read.m_sMissionName;
      read.m_sInfoStamp.Reset();
      read.m_iHero = 0;
      if (saveVersion >= 7) ar >> read.m_sInfoStamp;
      if (saveVersion >= 8) ar >> read.m_iHero;
      ok = ar.IsOK();
    }
    ar.Close();
  }
  in->Close();
  if (!ok) return 0;
  info = read;
  return 1;
}

bool SaveGameManagerProto::SlotExists(const SaveSlotInfo& info) {
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (!GetSaveGameFile(path, info.m_iIndex + 1)) return false;
  strcat(path, ".gam");
  return VFileHelper::ExistsFile(path);
}

void SaveGameManagerProto::RefreshSlotInfo(SaveSlotInfo& info) {
  info.Clear();
  if (!SlotExists(info)) return;
  const int slot = info.m_iIndex + 1;
  char path[V_DOCUMENT_FOLDER_SIZE];
  if (GetSaveGameFile(path, slot)) {
    strcat(path, ".jpg");
    std::string preview;
    if (VFileHelper::FindCaseInsensitive(path, preview)) info.m_sThumbnailPath = preview.c_str();
  }
  // A header that cannot be read leaves the texts empty.
  ReadSlotHeader(info, slot);
}

void SaveGameManagerProto::RefreshAllSlots() {
  for (SaveSlotInfo& info : m_slots) RefreshSlotInfo(info);
}

void SaveGameManagerProto::ClearSlots() {
  for (SaveSlotInfo& info : m_slots) info.m_sThumbnailPath.Reset();
}

int SaveGameManagerProto::GetNewestSlot() {
  int newest = -1;
  long long newestStamp = 0;
  for (SaveSlotInfo& info : m_slots) {
    RefreshSlotInfo(info);
    if (info.m_sInfoStamp.IsEmpty()) continue;
    const long long stamp = _atoi64(info.m_sInfoStamp.AsChar());
    // Strictly greater: on equal stamps the lower slot keeps the lead.
    if (stamp > newestStamp) {
      newestStamp = stamp;
      newest = info.m_iIndex + 1;
    }
  }
  return newest;
}

const SaveSlotInfo& SaveGameManagerProto::GetSlotInfo(int index) const {
  return m_slots[std::clamp(index, 0, kSlotCount - 1)];
}

SaveSlotInfo& SaveGameManagerProto::GetSlotInfo(int index) { return m_slots[std::clamp(index, 0, kSlotCount - 1)]; }
