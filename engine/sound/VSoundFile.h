// A sound file opened for reading with libsndfile through the engine's file
// streams (so sounds are found like every other data file): its format, and
// frames decoded to 16-bit samples from any position.
#pragma once

#include <cstdint>

class IVFileInStream;

class VSoundFile {
 public:
  VSoundFile() = default;
  ~VSoundFile() { Close(); }
  VSoundFile(const VSoundFile&) = delete;
  VSoundFile& operator=(const VSoundFile&) = delete;

  // False (and a warning naming the file) when the file is missing or no sound
  // file libsndfile reads.
  bool Open(const char* file);
  void Close();
  bool IsOpen() const { return m_pFile != nullptr; }

  int64_t GetFrameCount() const { return m_iFrames; }
  int GetSampleRate() const { return m_iSampleRate; }
  int GetChannels() const { return m_iChannels; }

  // Up to 'frames' frames of interleaved samples; fewer at the end of the file.
  int64_t Read(int16_t* out, int64_t frames);
  // To a frame (clamped to the file); false when the file cannot seek.
  bool Seek(int64_t frame);

 private:
  struct sf_private_tag* m_pFile = nullptr;
  IVFileInStream* m_pStream = nullptr;
  int64_t m_iFrames = 0;
  int m_iSampleRate = 0;
  int m_iChannels = 0;
};
