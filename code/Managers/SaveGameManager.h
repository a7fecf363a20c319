// The save-game manager: the twenty save slots in the documents folder, the
// saved-block checks every subsystem uses, and the documents folder itself.
#pragma once

#include "util/Singleton.h"

class VArchive;

class SaveGameManagerProto : public Singleton<SaveGameManagerProto> {
 public:
  virtual ~SaveGameManagerProto();

  // The user's documents folder as UTF-8 into out (4096 bytes); 1 on success, 0 when
  // it cannot be found or does not fit (the engine logs why).
  int GetMyDocumentFolder(char* out);

  // The start and end of every saved block: each reads one archive string and
  // gives 1 when it is "ARCH" / "EOA" (compared up to a zero byte inside it), else
  // 0. What they read stays read. A count larger than the bytes that remain fails
  // the archive, so a hostile block is never allocated or read any further.
  int CheckArchiveStartTag(VArchive& ar);
  int CheckArchiveEndTag(VArchive& ar);

  void RequestAutoSave(bool request) { m_bAutoSaveRequested = request; }
  bool IsAutoSaveRequested() const { return m_bAutoSaveRequested; }

  // Save games in slots 1 to 20 (20 the automatic save). The save-game files come
  // with the campaign; until then both report failure with a warning, and there
  // is no newest slot (-1).
  bool SaveGame(int slot);
  bool LoadGame(int slot);
  int GetNewestSlot() const;

 private:
  friend class Singleton<SaveGameManagerProto>;
  SaveGameManagerProto() = default;

  bool m_bAutoSaveRequested = false;
};
