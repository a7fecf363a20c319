// File streams and stream managers (reference counted), and in-memory streams.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

#include <vector>

class VBASE_IMPEXP IVFileInStream : public VRefCounter {
 public:
  // Bytes actually read.
  virtual size_t Read(void* buffer, size_t size) = 0;
  virtual void Close() = 0;
  virtual bool SetPos(int64_t pos, int mode = 0) = 0;  // 0 set, 1 current, 2 end
  virtual int64_t GetPos() = 0;
  virtual int64_t GetSize() = 0;
  virtual const char* GetFileName() = 0;
  // Folder the file was found in (empty for memory streams).
  virtual const char* GetInitialSearchPath() { return ""; }
  bool IsEOF() { return GetPos() >= GetSize(); }
};

class VBASE_IMPEXP IVFileOutStream : public VRefCounter {
 public:
  // Bytes actually written.
  virtual size_t Write(const void* buffer, size_t size) = 0;
  virtual void Close() = 0;
  virtual void Flush() {}
  virtual const char* GetFileName() = 0;
};

struct VFileTime {
  int64_t seconds = 0;  // since the epoch
};

// The engine's file-stream manager: opening and creating files by name.
class VBASE_IMPEXP IVFileStreamManager : public VRefCounter {
 public:
  virtual const char* GetName() = 0;
  virtual IVFileInStream* Open(const char* name, int flags = 0) = 0;
  virtual IVFileOutStream* Create(const char* name, int flags = 0) = 0;
  virtual bool Exists(const char* name, int flags = 0) = 0;
  virtual bool GetTimeStamp(const char* name, VFileTime& out) = 0;
  virtual int GetNumDataDirectories() = 0;
  virtual bool SetDataDirectory(int index, const char* dir) = 0;
  virtual const char* GetDataDirectory(int index) = 0;
};

// A named, reference-counted byte buffer; it grows in steps of whole blocks.
class VBASE_IMPEXP VMemoryStream : public VRefCounter {
 public:
  explicit VMemoryStream(const char* name = "", int blockSize = 4096) : m_name(name), m_blockSize(blockSize) {}
  const char* GetName() const { return m_name.AsChar(); }
  std::vector<uint8_t>& GetBuffer() { return m_data; }
  const uint8_t* GetDataPtr() const { return m_data.data(); }
  int GetSize() const { return (int)m_data.size(); }
  void Reset() { m_data.clear(); }
  void AppendBytes(const void* data, size_t size);

 private:
  VString m_name;
  int m_blockSize;
  std::vector<uint8_t> m_data;
};

// Like the file streams, a memory in/out stream comes with one reference for its
// creator, which Close gives up (a second Close does nothing); an archive over it
// holds a reference of its own. Balance every new with one Close.
class VBASE_IMPEXP VMemoryInStream : public IVFileInStream {
 public:
  explicit VMemoryInStream(VMemoryStream* stream);
  // Reads straight from bytes the caller keeps alive.
  VMemoryInStream(const void* data, size_t size, const char* name = "<memory>");
  // Reads nothing once closed.
  size_t Read(void* buffer, size_t size) override;
  void Close() override;
  bool SetPos(int64_t pos, int mode = 0) override;
  int64_t GetPos() override { return m_pos; }
  // Over a memory stream: its current size, so bytes appended later can be read.
  int64_t GetSize() override;
  const char* GetFileName() override { return m_name.AsChar(); }

 private:
  VSmartPtr<VMemoryStream> m_stream;
  const uint8_t* m_data = nullptr;
  size_t m_size = 0;
  int64_t m_pos = 0;
  VString m_name;
  bool m_closed = false;
};

class VBASE_IMPEXP VMemoryOutStream : public IVFileOutStream {
 public:
  explicit VMemoryOutStream(VMemoryStream* stream) : m_stream(stream) { AddRef(); }
  // Writes nothing once closed.
  size_t Write(const void* buffer, size_t size) override;
  void Close() override;
  const char* GetFileName() override { return m_stream ? m_stream->GetName() : ""; }
  VMemoryStream* GetStream() const { return m_stream; }

 private:
  VSmartPtr<VMemoryStream> m_stream;
  bool m_closed = false;
};
