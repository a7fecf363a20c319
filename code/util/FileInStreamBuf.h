// A std::streambuf over an engine file stream, so standard stream readers can read
// files found through Vision::File (and memory streams) without loading them whole.
#pragma once

#include "engine/base/VStreams.h"

#include <streambuf>

class FileInStreamBuf : public std::streambuf {
 public:
  // Takes over the caller's reference of an opened stream and closes it when done;
  // a null stream reads as empty.
  explicit FileInStreamBuf(IVFileInStream* stream);
  ~FileInStreamBuf() override;
  FileInStreamBuf(const FileInStreamBuf&) = delete;
  FileInStreamBuf& operator=(const FileInStreamBuf&) = delete;

 protected:
  int_type underflow() override;

 private:
  IVFileInStream* m_pStream;
  char m_buffer[4096];
};
