// The pieces of the save-game file shared by its writer, its reader and the slot
// loader: the object tags, the whole file written into or read from an archive, and
// the safe replacement of a file on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class BaseEntity;
class VArchive;
class VisBaseEntity_cl;

namespace save_file {

// Object records: 2 an entity, 3 a camera entity. 1 carries nothing and is never written.
constexpr int kTagEntity = 2;
constexpr int kTagCamera = 3;

// Entities as the file and the town manager's world state store them: the two counts,
// the rebuilt-entity records, then the object records (tag and whole object).
void WriteEntityRecords(VArchive& ar, const std::vector<BaseEntity*>& records,
                        const std::vector<VisBaseEntity_cl*>& objects);

// The whole file into a storing archive.
void WriteGame(VArchive& ar);

// A file replaced as a whole: written to "<path>.tmp" beside it, synced to the disk
// and renamed over it by Commit. Until then (and when anything fails, or the object
// goes without Commit) the old file stays untouched and the temporary file is removed.
class AtomicFile {
 public:
  explicit AtomicFile(std::string path) : m_path(std::move(path)), m_temp(m_path + ".tmp") {}
  ~AtomicFile();
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  bool Open();
  bool Write(const void* data, size_t size);
  bool Commit();
  // Why the last step failed (the system's text).
  const char* GetError() const { return m_error.c_str(); }

 private:
  bool Fail();
  std::string m_path, m_temp, m_error;
  int m_fd = -1;
};

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::vector<uint8_t>& out);

}  // namespace save_file
