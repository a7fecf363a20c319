// Sound files read with libsndfile over the engine's file streams.
#include "engine/sound/VSoundFile.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"

#include <sndfile.h>

namespace {

sf_count_t StreamLength(void* user) { return (sf_count_t) static_cast<IVFileInStream*>(user)->GetSize(); }

sf_count_t StreamSeek(sf_count_t offset, int whence, void* user) {
  IVFileInStream* in = static_cast<IVFileInStream*>(user);
  const int mode = whence == SEEK_CUR ? 1 : (whence == SEEK_END ? 2 : 0);
  if (!in->SetPos(offset, mode)) return -1;
  return (sf_count_t)in->GetPos();
}

sf_count_t StreamRead(void* ptr, sf_count_t count, void* user) {
  if (count <= 0) return 0;
  return (sf_count_t) static_cast<IVFileInStream*>(user)->Read(ptr, (size_t)count);
}

sf_count_t StreamWrite(const void*, sf_count_t, void*) { return 0; }

sf_count_t StreamTell(void* user) { return (sf_count_t) static_cast<IVFileInStream*>(user)->GetPos(); }

}  // namespace

bool VSoundFile::Open(const char* file) {
  Close();
  m_pStream = Vision::File.Open(file);
  if (!m_pStream) return false;
  SF_VIRTUAL_IO io{StreamLength, StreamSeek, StreamRead, StreamWrite, StreamTell};
  SF_INFO info{};
  m_pFile = sf_open_virtual(&io, SFM_READ, &info, m_pStream);
  if (!m_pFile || info.samplerate <= 0 || info.channels <= 0 || info.frames < 0) {
    if (!m_pFile) Vision::Error.Warning("Sound file %s cannot be read: %s", file, sf_strerror(nullptr));
    Close();
    return false;
  }
  m_iFrames = (int64_t)info.frames;
  m_iSampleRate = info.samplerate;
  m_iChannels = info.channels;
  return true;
}

void VSoundFile::Close() {
  if (m_pFile) sf_close(m_pFile);
  m_pFile = nullptr;
  if (m_pStream) m_pStream->Close();
  m_pStream = nullptr;
  m_iFrames = 0;
  m_iSampleRate = 0;
  m_iChannels = 0;
}

int64_t VSoundFile::Read(int16_t* out, int64_t frames) {
  if (!m_pFile || frames <= 0) return 0;
  const sf_count_t got = sf_readf_short(m_pFile, out, (sf_count_t)frames);
  return got > 0 ? (int64_t)got : 0;
}

bool VSoundFile::Seek(int64_t frame) {
  if (!m_pFile) return false;
  if (frame < 0) frame = 0;
  if (frame > m_iFrames) frame = m_iFrames;
  return sf_seek(m_pFile, (sf_count_t)frame, SEEK_SET) >= 0;
}
