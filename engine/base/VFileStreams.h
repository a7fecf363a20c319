// File streams over stdio: what the built-in file manager hands out for reading
// and writing. Close() closes the file and gives up the opener's reference.
#pragma once

#include "engine/base/VStreams.h"

#include <cstdio>
#include <string>

class VBASE_IMPEXP VDiskFileInStream : public IVFileInStream {
 public:
  // Opens the file for reading; null when it cannot be opened. The stream comes
  // with one reference, which Close gives up.
  static VDiskFileInStream* Open(const std::string& path, const std::string& searchPath);
  ~VDiskFileInStream() override;

  size_t Read(void* buffer, size_t size) override;
  void Close() override;
  bool SetPos(int64_t pos, int mode = 0) override;
  int64_t GetPos() override;
  int64_t GetSize() override { return m_size; }
  const char* GetFileName() override { return m_path.c_str(); }
  const char* GetInitialSearchPath() override { return m_searchPath.c_str(); }

 private:
  VDiskFileInStream(FILE* file, std::string path, std::string searchPath, int64_t size);
  FILE* m_file;
  std::string m_path;
  std::string m_searchPath;
  int64_t m_size;
};

class VBASE_IMPEXP VDiskFileOutStream : public IVFileOutStream {
 public:
  // Creates or truncates the file; null when it cannot be. One reference, as above.
  static VDiskFileOutStream* Create(const std::string& path);
  ~VDiskFileOutStream() override;

  size_t Write(const void* buffer, size_t size) override;
  void Close() override;
  void Flush() override;
  const char* GetFileName() override { return m_path.c_str(); }

 private:
  VDiskFileOutStream(FILE* file, std::string path);
  FILE* m_file;
  std::string m_path;
};
