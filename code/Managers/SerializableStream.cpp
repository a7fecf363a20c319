// The in-memory stream manager and its saved block.
#include "Managers/SerializableStream.h"

#include "Managers/SaveGameManager.h"

#include "engine/base/VArchive.h"

#include <vector>

namespace {
const char kBlockVersion = 1;
}

SerializableStream::SerializableStream(const char* name) : m_name(name ? name : "") {}

SerializableStream::~SerializableStream() = default;

IVFileInStream* SerializableStream::Open(const char*, int) {
  return m_stream ? new VMemoryInStream(m_stream) : nullptr;
}

IVFileOutStream* SerializableStream::Create(const char* file, int) {
  m_stream = new VMemoryStream(file ? file : "");
  return new VMemoryOutStream(m_stream);
}

bool SerializableStream::SerializeX(VArchive& ar) {
  if (ar.IsSaving()) {
    const int size = m_stream ? m_stream->GetSize() : 0;
    SaveGameManagerProto::BeginBlock(ar, kBlockVersion);
    ar << m_name << size;
    if (size > 0) ar.Write(m_stream->GetDataPtr(), (size_t)size);
    SaveGameManagerProto::EndBlock(ar);
    return true;
  }

  SavedBlockReader block(ar, "SerializableStream", kBlockVersion);
  if (!block.IsOpen()) return false;
  char name[NameBufferSize] = "";
  std::vector<uint8_t> data;
  if (block.Has(1)) {
    ar.ReadStringBinary(name, NameBufferSize);
    int size = 0;
    ar >> size;
    if (!ar.IsOK()) return block.Fail();
    if ((int64_t)size > ar.GetRemaining()) return block.Fail("holds more bytes than the archive");
    if (size > 0) {
      data.resize((size_t)size);
      if (ar.Read(data.data(), data.size()) != data.size()) return block.Fail();
    }
  }
  if (!block.End()) return false;
  if (!block.Has(1)) return true;
  m_name = name;
  if (!data.empty()) {
    VMemoryStream* stream = new VMemoryStream(name);
    stream->AppendBytes(data.data(), data.size());
    m_stream = stream;
  }
  return true;
}

VArchive& operator<<(VArchive& ar, SerializableStream& stream) {
  stream.SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, SerializableStream& stream) {
  stream.SerializeX(ar);
  return ar;
}

VArchive& operator<<(VArchive& ar, SerializableStream* stream) {
  if (stream) stream->SerializeX(ar);
  return ar;
}

VArchive& operator>>(VArchive& ar, SerializableStream* stream) {
  if (stream) stream->SerializeX(ar);
  return ar;
}
