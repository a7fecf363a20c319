// Binary little-endian archive over a stream, with object references.
//
// Forms: bool 1 byte; char 1 byte; ints and floats 4 bytes; int64 8 bytes;
// strings an int32 count then the bytes (a negative count reads as an empty
// string); vectors 4 floats x, y, z, w; object references: int32 -1 null,
// int32 -2 then the class name and the object's Serialize for a first
// occurrence, else the int32 index of an object seen before in this archive.
#pragma once

#include "engine/base/VStreams.h"
#include "engine/base/VType.h"

#include <map>
#include <vector>

class VisVector_cl;
class VStrDictionary;

class VBASE_IMPEXP VArchive {
 public:
  enum Mode { load, store };
  // Opens the archive over a stream; the archive keeps a reference to it, so the
  // stream must live on the heap. The buffer size is accepted and not used.
  VArchive(const char* name, IVFileInStream* in, IVFileStreamManager* manager = nullptr, int bufferSize = 4096);
  VArchive(const char* name, IVFileOutStream* out, IVFileStreamManager* manager = nullptr, int bufferSize = 4096);
  ~VArchive();
  VArchive(const VArchive&) = delete;
  VArchive& operator=(const VArchive&) = delete;

  bool IsLoading() const { return m_mode == load; }
  bool IsSaving() const { return m_mode == store; }
  const char* GetName() const { return m_name.AsChar(); }
  // Flushes and releases the stream (the stream itself is closed by its owner).
  void Close();

  // Raw bytes; returns the count actually transferred. The format text ("i") is informative.
  size_t Read(void* buffer, size_t size, const char* format = nullptr);
  void Write(const void* buffer, size_t size, const char* format = nullptr);
  // False after a read ran past the end of the stream or a write failed.
  bool IsOK() const { return !m_failed; }
  // For readers that find their data inconsistent (a hostile count, say).
  void MarkFailed() { m_failed = true; }
  // Bytes left to read (loading archives).
  int64_t GetRemaining();

  VArchive& operator<<(char v);
  VArchive& operator<<(signed char v) { return *this << (char)v; }
  VArchive& operator<<(unsigned char v) { return *this << (char)v; }
  VArchive& operator<<(bool v);
  VArchive& operator<<(int v);
  VArchive& operator<<(unsigned int v);
  VArchive& operator<<(int64_t v);
  VArchive& operator<<(uint64_t v);
  VArchive& operator<<(float v);
  VArchive& operator<<(double v);
  VArchive& operator<<(const char* s);
  VArchive& operator<<(const VString& s);
  VArchive& operator<<(const VisVector_cl& v);
  VArchive& operator<<(VStrDictionary& d);

  VArchive& operator>>(char& v);
  VArchive& operator>>(signed char& v) { char c = 0; *this >> c; v = (signed char)c; return *this; }
  VArchive& operator>>(unsigned char& v) { char c = 0; *this >> c; v = (unsigned char)c; return *this; }
  VArchive& operator>>(bool& v);
  VArchive& operator>>(int& v);
  VArchive& operator>>(unsigned int& v);
  VArchive& operator>>(int64_t& v);
  VArchive& operator>>(uint64_t& v);
  VArchive& operator>>(float& v);
  VArchive& operator>>(double& v);
  VArchive& operator>>(VString& s);
  VArchive& operator>>(VisVector_cl& v);
  VArchive& operator>>(VStrDictionary& d);
  // Reads a string into a buffer of the given size (truncating); returns the full length or -1 for null.
  int ReadStringBinary(char* buffer, int bufferSize);

  // Object references (see the header comment).
  void WriteObject(VTypedObject* obj);
  // Null on null, on an unknown or non-creatable class, or when the object is not
  // of the expected type. A new object is listed before its Serialize runs, so
  // references to itself inside its data resolve to it. A new object of an unknown
  // or unexpected class fails the archive: its data cannot be skipped.
  VTypedObject* ReadObject(const VType* expected = nullptr);
  // Deepest nesting of new objects inside new objects a file may hold.
  static constexpr int MaxObjectDepth = 2048;
  template <class T> VArchive& operator<<(T* obj) requires std::is_base_of_v<VTypedObject, T> {
    WriteObject(obj); return *this;
  }
  template <class T> VArchive& operator>>(T*& obj) requires std::is_base_of_v<VTypedObject, T> {
    obj = static_cast<T*>(ReadObject(T::GetClassTypeId())); return *this;
  }

  int GetLoadingVersion() const { return m_loadingVersion; }
  void SetLoadingVersion(int v) { m_loadingVersion = v; }
  // Serialisation context: context 1 means objects want no deserialisation callback.
  int GetSerializationContext() const { return m_context; }
  void SetSerializationContext(int c) { m_context = c; }
  IVFileStreamManager* GetStreamManager() const { return m_manager; }

  // Objects created while reading, in creation order (for post-load callbacks).
  const std::vector<VTypedObject*>& GetLoadedObjects() const { return m_readTable; }

 private:
  Mode m_mode;
  VString m_name;
  VSmartPtr<IVFileInStream> m_in;
  VSmartPtr<IVFileOutStream> m_out;
  IVFileStreamManager* m_manager;
  bool m_failed = false;
  int m_loadingVersion = 0;
  int m_context = 0;
  std::map<const VTypedObject*, int> m_writeTable;
  std::vector<VTypedObject*> m_readTable;
  int m_objectDepth = 0;
};

namespace Vision {
// The current archive version, written first into every file: 1. Versions 1 up
// to the current one are valid.
VBASE_IMPEXP int GetArchiveVersion();
VBASE_IMPEXP bool IsValidArchive(int version);
}  // namespace Vision
