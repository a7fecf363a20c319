// A std::streambuf over an engine file stream.
#include "util/FileInStreamBuf.h"

FileInStreamBuf::FileInStreamBuf(IVFileInStream* stream) : m_pStream(stream) { setg(m_buffer, m_buffer, m_buffer); }

FileInStreamBuf::~FileInStreamBuf() {
  if (m_pStream) m_pStream->Close();
}

FileInStreamBuf::int_type FileInStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  if (!m_pStream) return traits_type::eof();
  const size_t n = m_pStream->Read(m_buffer, sizeof(m_buffer));
  if (n == 0) return traits_type::eof();
  setg(m_buffer, m_buffer, m_buffer + n);
  return traits_type::to_int_type(*gptr());
}
