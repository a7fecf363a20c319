// Files of the save slots on disk: replaced whole or not at all, and read whole.
#include "Managers/SaveGameFile.h"

#include "engine/base/VisFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <libgen.h>
#include <unistd.h>

namespace save_file {

AtomicFile::~AtomicFile() {
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
    ::unlink(m_temp.c_str());
  }
}

bool AtomicFile::Fail() {
  m_error = strerror(errno);
  if (m_fd >= 0) {
    ::close(m_fd);
    m_fd = -1;
  }
  ::unlink(m_temp.c_str());
  return false;
}

bool AtomicFile::Open() {
  // A temporary file left by a crash is replaced.
  m_fd = ::open(m_temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (m_fd < 0) {
    m_error = strerror(errno);
    return false;
  }
  return true;
}

bool AtomicFile::Write(const void* data, size_t size) {
  if (m_fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(m_fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return Fail();
    }
    p += n;
    size -= (size_t)n;
  }
  return true;
}

bool AtomicFile::Commit() {
  if (m_fd < 0) return false;
  if (::fsync(m_fd) != 0) return Fail();
  if (::close(m_fd) != 0) {
    m_fd = -1;
    return Fail();
  }
  m_fd = -1;
  if (::rename(m_temp.c_str(), m_path.c_str()) != 0) return Fail();
  // The rename itself reaches the disk with the folder.
  std::string folder = m_path;
  const int dir = ::open(::dirname(folder.data()), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  Vision::File.ClearCache();
  return true;
}

bool ReadWholeFile(const char* path, std::vector<uint8_t>& out) {
  out.clear();
  IVFileInStream* in = Vision::File.Open(path);
  if (!in) return false;
  uint8_t chunk[16384];
  for (;;) {
    const size_t n = in->Read(chunk, sizeof(chunk));
    out.insert(out.end(), chunk, chunk + n);
    if (n < sizeof(chunk)) break;
  }
  in->Close();
  return true;
}

}  // namespace save_file
