// In-memory streams: a named byte buffer and the in/out streams over it.
#include "engine/base/VStreams.h"

#include <algorithm>

void VMemoryStream::AppendBytes(const void* data, size_t size) {
  if (!data || size == 0) return;
  size_t need = m_data.size() + size;
  if (need > m_data.capacity() && m_blockSize > 0) {
    // Grow in whole blocks (at least doubling) so many small writes stay cheap.
    size_t block = (size_t)m_blockSize;
    size_t cap = (need + block - 1) / block * block;
    m_data.reserve(std::max(cap, m_data.capacity() * 2));
  }
  const uint8_t* p = static_cast<const uint8_t*>(data);
  m_data.insert(m_data.end(), p, p + size);
}

VMemoryInStream::VMemoryInStream(VMemoryStream* stream) : m_stream(stream) {
  if (stream) m_name = stream->GetName();
  AddRef();
}

VMemoryInStream::VMemoryInStream(const void* data, size_t size, const char* name)
    : m_data(static_cast<const uint8_t*>(data)), m_size(data ? size : 0), m_name(name) {
  AddRef();
}

void VMemoryInStream::Close() {
  if (m_closed) return;
  m_closed = true;
  Release();
}

size_t VMemoryInStream::Read(void* buffer, size_t size) {
  // The buffer of a memory stream may move as it grows: look it up on every read.
  const uint8_t* data = m_stream ? m_stream->GetDataPtr() : m_data;
  size_t total = (size_t)GetSize();
  if (m_closed || !buffer || m_pos >= (int64_t)total) return 0;
  size_t n = std::min(size, total - (size_t)m_pos);
  memcpy(buffer, data + m_pos, n);
  m_pos += (int64_t)n;
  return n;
}

bool VMemoryInStream::SetPos(int64_t pos, int mode) {
  int64_t base = mode == 1 ? m_pos : mode == 2 ? GetSize() : 0;
  int64_t target = base + pos;
  if (target < 0 || target > GetSize()) return false;
  m_pos = target;
  return true;
}

int64_t VMemoryInStream::GetSize() { return m_stream ? (int64_t)m_stream->GetSize() : (int64_t)m_size; }

void VMemoryOutStream::Close() {
  if (m_closed) return;
  m_closed = true;
  Release();
}

size_t VMemoryOutStream::Write(const void* buffer, size_t size) {
  if (m_closed || !m_stream || !buffer) return 0;
  m_stream->AppendBytes(buffer, size);
  return size;
}
