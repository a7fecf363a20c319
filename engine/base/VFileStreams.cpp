// File streams over stdio.
#include "engine/base/VFileStreams.h"

#include <sys/stat.h>

VDiskFileInStream* VDiskFileInStream::Open(const std::string& path, const std::string& searchPath) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return nullptr;
  struct stat st;
  if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
    fclose(f);
    return nullptr;
  }
  VDiskFileInStream* s = new VDiskFileInStream(f, path, searchPath, (int64_t)st.st_size);
  s->AddRef();
  return s;
}

VDiskFileInStream::VDiskFileInStream(FILE* file, std::string path, std::string searchPath, int64_t size)
    : m_file(file), m_path(std::move(path)), m_searchPath(std::move(searchPath)), m_size(size) {}

VDiskFileInStream::~VDiskFileInStream() {
  if (m_file) fclose(m_file);
}

size_t VDiskFileInStream::Read(void* buffer, size_t size) {
  if (!m_file || !buffer || size == 0) return 0;
  return fread(buffer, 1, size, m_file);
}

void VDiskFileInStream::Close() {
  // A second Close must not give up a reference the caller no longer has.
  if (!m_file) return;
  fclose(m_file);
  m_file = nullptr;
  Release();
}

bool VDiskFileInStream::SetPos(int64_t pos, int mode) {
  if (!m_file) return false;
  const int whence = mode == 1 ? SEEK_CUR : mode == 2 ? SEEK_END : SEEK_SET;
  return fseeko(m_file, (off_t)pos, whence) == 0;
}

int64_t VDiskFileInStream::GetPos() { return m_file ? (int64_t)ftello(m_file) : 0; }

VDiskFileOutStream* VDiskFileOutStream::Create(const std::string& path) {
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) return nullptr;
  VDiskFileOutStream* s = new VDiskFileOutStream(f, path);
  s->AddRef();
  return s;
}

VDiskFileOutStream::VDiskFileOutStream(FILE* file, std::string path) : m_file(file), m_path(std::move(path)) {}

VDiskFileOutStream::~VDiskFileOutStream() {
  if (m_file) fclose(m_file);
}

size_t VDiskFileOutStream::Write(const void* buffer, size_t size) {
  if (!m_file || !buffer || size == 0) return 0;
  return fwrite(buffer, 1, size, m_file);
}

void VDiskFileOutStream::Flush() {
  if (m_file) fflush(m_file);
}

void VDiskFileOutStream::Close() {
  if (!m_file) return;
  fclose(m_file);
  m_file = nullptr;
  Release();
}
