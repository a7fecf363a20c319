// The save-game manager: the twenty save slots in the documents folder, the
// saved-block checks every subsystem uses, and the documents folder itself.
#pragma once

#include "util/Singleton.h"

#include "engine/base/VCallback.h"
#include "engine/base/VString.h"

#include <cstdint>
#include <vector>

class VArchive;
class VisBaseEntity_cl;
class VType;

// What the save and load lists show of one slot: the header of its save-game file
// and the path of its preview picture. Index i stands for slot i + 1.
struct SaveSlotInfo {
  explicit SaveSlotInfo(int index = 0) : m_iIndex(index) {}
  // Empties the texts and numbers; the index stays.
  void Clear();

  int m_iIndex;
  VString m_sThumbnailPath;  // full path of the preview when it exists, else empty
  VString m_sDateText;
  VString m_sMissionName;
  VString m_sInfoStamp;  // sortable local time; empty before save version 7
  int m_iHero = 0;       // 0 before save version 8
};

class SaveGameManagerProto : public Singleton<SaveGameManagerProto> {
 public:
  // Inline, so the block checks below can be used without the save-game files.
  virtual ~SaveGameManagerProto() = default;

  // The steps of saving and loading, none with a data object: OnBeforeSave once the
  // slot's file could be made, before anything is written; OnAfterSave once the file
  // and its preview are written; OnBeforeLoad once the file is open and known to be
  // whole, before anything of the running game changes; OnAfterLoad after a whole read.
  static VCallback OnBeforeSave;
  static VCallback OnAfterSave;
  static VCallback OnBeforeLoad;
  static VCallback OnAfterLoad;

  // The save version this game writes; files of a newer one are refused.
  static constexpr int kSaveVersion = 11;

  // The user's documents folder as UTF-8 into out (4096 bytes); 1 on success, 0 when
  // it cannot be found or does not fit (the engine logs why).
  int GetMyDocumentFolder(char* out);

  // The start and end of every saved block: each reads one archive string and
  // gives 1 when it is "ARCH" / "EOA" (compared up to a zero byte inside it), else
  // 0. What they read stays read. A count larger than the bytes that remain fails
  // the archive, so a hostile block is never allocated or read any further.
  static int CheckArchiveStartTag(VArchive& ar);
  static int CheckArchiveEndTag(VArchive& ar);
  // The framing of a block as every owner writes it: "ARCH", a one-byte version, the
  // owner's fields, "EOA". Owners read it back through SavedBlockReader below.
  static void BeginBlock(VArchive& ar, char version);
  static void EndBlock(VArchive& ar);
  // Every engine variable of the entity as name="value" pairs joined by "," (the
  // parameter string of entity templates); empty for null.
  VString GetEntityParameters(VisBaseEntity_cl* entity);

  // Empties the world for a saved state to be read into it (message 500 to every
  // entity; ships, saved non-town entities and cameras freed; battle, radar,
  // highlights and selection reset).
  void ClearWorld();
  // Removes every entity of the type (and its subclasses) not yet marked for
  // removal, then frees the removed entities. Nothing for null.
  void ResetTypes(VType* type);
  // A downloadable level was won: the highest passed is kept in the settings.
  void DlcLevelPassed(int level);
  // Whether the level is at most the highest passed one (read from the settings).
  bool IsDlcLevelUnlocked(int level);
  int GetHighestDlcLevelPassed() const { return m_iHighestDlcLevelPassed; }
  void SetHighestDlcLevelPassed(int level) { m_iHighestDlcLevelPassed = level; }

  void RequestAutoSave(bool request) { m_bAutoSaveRequested = request; }
  bool IsAutoSaveRequested() const { return m_bAutoSaveRequested; }

  // Writes the running game into slot 1..20 (20 the automatic save): the file goes
  // to a temporary file beside the slot, every write checked, synced to the disk and
  // renamed over the old one; then the preview. 1 on success; 0 for a slot outside
  // 1..20, without a save folder or when a write fails, and the slot's old file is
  // then kept. Callers tell the player (str_SAVE_GAME_FAILED).
  int SaveGame(int slot);
  // Reads the slot into the campaign that the caller has just started (end, show the
  // sea HUD, start, load). The file is checked whole first; 1 on success, 0 when it is
  // missing or refused (nothing changed then) or fails while being read (the world is
  // then partly read: LoadSlotIntoNewCampaign restores what ran).
  int LoadGame(int slot);
  // Clears the request and saves into slot 20 at once; a failure is shown to the
  // player (str_SAVE_GAME_FAILED).
  void AutoSave();
  // How long a failure notice of saving or loading stays, and how fast it fades.
  static constexpr float kFailureNoticeSeconds = 5.0f;
  static constexpr float kFailureNoticeFade = 2.0f;
  // Writes the slot's preview: the scene without the GUI, 320 x 200, JPEG quality
  // 70. Without a picture to read (no window) the old preview stays.
  void SaveThumbnail(const SaveSlotInfo& slot);

  // Loads the slot in place of whatever runs (a campaign or the main menu): the file
  // is checked first; a running campaign is kept in memory, ended, a new one started
  // and the slot read into it. 1 on success; 0 when the slot cannot be loaded: the
  // kept campaign is read back (from the main menu, the main menu shows again), the
  // player is told (str_LOAD_GAME_FAILED) and the game goes on.
  int LoadSlotIntoNewCampaign(int slot);

  // The save-game file as bytes: the whole running game as SaveGame writes it (the
  // callbacks of saving included, no preview), and the reading of such bytes into a
  // freshly started campaign as LoadGame does it. Used for the in-memory copy of the
  // running campaign, and by tests and benchmarks.
  std::vector<uint8_t> WriteSaveGameBytes();
  int ReadSaveGameBytes(const std::vector<uint8_t>& bytes);
  // Checks the file's structure without touching the game: start tag, versions,
  // header, nations, record counts against the bytes left, record class names (only
  // saveable entity classes and cameras), object tags 2 and 3, the end tag. Logs
  // why when it refuses.
  bool CheckSaveGameBytes(const std::vector<uint8_t>& bytes) const;
  // Whether a class may come out of a save file as an entity record (saveable game
  // entities: BaseEntity classes that can be created, ships excepted) or, with
  // camera set, as a camera object.
  static bool IsSaveableEntityClass(const VType* type, bool camera = false);

  // The slots ------------------------------------------------------------------
  static constexpr int kSlotCount = 20;
  // The slot's file path without extension (<documents>/Fenwold/Brinemark/SaveGames/
  // saveN) into out (V_DOCUMENT_FOLDER_SIZE bytes), making the folder when missing.
  // 0 for a slot outside 1..20, without a documents folder, when the folder cannot
  // be made or the path does not fit; out is then empty.
  int GetSaveGameFile(char* out, int slot);
  // The current local time as the date text ("M.D.YYYY - hh:mm", month first) and
  // as the info stamp (YYYYMMDDhhmmss and four digits of milliseconds).
  VString GetDateString() const;
  VString GetSaveInfoString() const;
  // Reads the header of the slot's file into info: 1 on success; 0 for a slot
  // outside 1..20, a missing file, a wrong start tag, a refused archive version or
  // a header cut short, and info is then left as it was.
  int ReadSlotHeader(SaveSlotInfo& info, int slot);
  // Whether the save-game file of slot index + 1 exists.
  bool SlotExists(const SaveSlotInfo& info);
  // Empties the record, then fills it from the slot's files when its save exists.
  void RefreshSlotInfo(SaveSlotInfo& info);
  void RefreshAllSlots();
  // Empties the thumbnail paths of all records.
  void ClearSlots();
  // Refreshes every record: the slot (1..20) with the largest info stamp, the lower
  // one on equal stamps; -1 when no stamp is above 0 (no saves, or only saves
  // older than the stamp).
  int GetNewestSlot();
  // Record i (slot i + 1); index clamped to 0..19.
  const SaveSlotInfo& GetSlotInfo(int index) const;
  SaveSlotInfo& GetSlotInfo(int index);

 private:
  friend class Singleton<SaveGameManagerProto>;
  SaveGameManagerProto() {
    for (int i = 0; i < kSlotCount; ++i) m_slots[i] = SaveSlotInfo(i);
  }

  SaveSlotInfo m_slots[kSlotCount];
  bool m_bAutoSaveRequested = false;
  int m_iHighestDlcLevelPassed = 1;
};

// Reads one saved block: the start tag, the version, the owner's fields, the end tag.
// A wrong start tag, a version outside the range the owner knows (newer than its
// newest, or negative), a damaged field or a wrong end tag fails the block: the
// archive is marked failed, so every enclosing block stops and the loader sees it,
// and the owner applies nothing of what it read. Owners therefore read into locals
// or a copy and apply them only when End() is true:
//
//   SavedBlockReader block(ar, "Owner", kVersion);
//   if (!block.IsOpen()) return false;
//   int value = m_iValue;
//   if (block.Has(2)) ar >> value;
//   if (!block.End()) return false;
//   m_iValue = value;
//
// Older versions read the groups of fields they carry; the rest keep their values.
// A failure is logged once, where it is found; an archive that had already failed
// opens no block and logs nothing.
class SavedBlockReader {
 public:
  SavedBlockReader(VArchive& ar, const char* owner, int newestVersion);
  SavedBlockReader(const SavedBlockReader&) = delete;
  SavedBlockReader& operator=(const SavedBlockReader&) = delete;

  // The start tag and the version were accepted.
  bool IsOpen() const { return m_bOpen; }
  // The version read; -1 when the block did not open.
  int GetVersion() const { return m_iVersion; }
  // The block carries the group of fields that came with this version (also after End).
  bool Has(int version) const { return m_iVersion >= version; }
  // Reads the end tag: true when the block is whole (opened, nothing failed while
  // reading its fields, "EOA" follows); otherwise the block fails.
  bool End();
  // Fails the block from inside (a damaged field or nested block); always false.
  bool Fail(const char* why = nullptr);

 private:
  VArchive& m_ar;
  const char* m_szOwner;
  int m_iVersion = -1;
  bool m_bOpen = false;
};
