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

  // One archive string each: 1 when it is exactly "ARCH" / "EOA", else 0.
  int CheckArchiveStartTag(VArchive& ar);
  int CheckArchiveEndTag(VArchive& ar);

  void RequestAutoSave(bool request) { m_bAutoSaveRequested = request; }
  bool IsAutoSaveRequested() const { return m_bAutoSaveRequested; }

 private:
  friend class Singleton<SaveGameManagerProto>;
  SaveGameManagerProto() = default;

  bool m_bAutoSaveRequested = false;
};
