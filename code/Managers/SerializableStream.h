// A file-stream manager with one in-memory file and a name, which travels inside a
// saved block (ships keep their configuration archive in one).
#pragma once

#include "engine/base/VStreams.h"
#include "engine/base/VString.h"

class VArchive;

class SerializableStream : public IVFileStreamManager {
 public:
  // Holds no memory stream until Create or a read block gives it one.
  explicit SerializableStream(const char* name);
  ~SerializableStream() override;
  SerializableStream(const SerializableStream&) = delete;
  SerializableStream& operator=(const SerializableStream&) = delete;

  const char* GetName() override { return m_name.AsChar(); }
  // A reader of the held file, whatever the name; null while none is held.
  IVFileInStream* Open(const char* file, int flags = 0) override;
  // A new file named 'file' replaces the held one; returns its writer.
  IVFileOutStream* Create(const char* file, int flags = 0) override;
  bool Exists(const char* file, int flags = 0) override { return false; }
  bool GetTimeStamp(const char* file, VFileTime& out) override { return false; }
  int GetNumDataDirectories() override { return 0; }
  bool SetDataDirectory(int index, const char* dir) override { return false; }
  const char* GetDataDirectory(int index) override { return nullptr; }

  // The block: "ARCH", version 1, the name, the size n of the held file, its n
  // bytes, "EOA". Reading keeps the held file when the stored size is 0 or less;
  // a block whose size exceeds the bytes left fails the archive and changes nothing.
  virtual bool SerializeX(VArchive& ar);

  VMemoryStream* GetMemoryStream() const { return m_stream; }

  // Name reads are bounded to this buffer (the rest of a longer name is skipped).
  static constexpr int NameBufferSize = 260;

 private:
  VString m_name;
  VSmartPtr<VMemoryStream> m_stream;
};

// Both directions go through SerializeX; the archive's mode decides.
VArchive& operator<<(VArchive& ar, SerializableStream& stream);
VArchive& operator>>(VArchive& ar, SerializableStream& stream);
VArchive& operator<<(VArchive& ar, SerializableStream* stream);
VArchive& operator>>(VArchive& ar, SerializableStream* stream);
