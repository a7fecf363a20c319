// A sound file known to the sound manager: its name, load flags and the format
// read from the file's header (libsndfile), and the instances made from it.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"
#include "engine/base/VisMath.h"

#include <cstdint>
#include <string>

class VSoundObject;

// Load flags of a resource. Others are kept with no meaning here.
enum VSoundResourceFlags_e {
  VSOUNDRES_3D = 0x100,      // positional
  VSOUNDRES_STREAM = 0x200,  // streamed (music)
  VSOUNDRES_EFFECT = 0x800,  // effect or unit sound
};

class VBASE_IMPEXP VSoundResource : public VRefCounter {
 public:
  VSoundResource(const char* file, int flags, int64_t frames, int sampleRate, int channels);
  ~VSoundResource() override;

  const char* GetFileName() const { return m_sFile.AsChar(); }
  // The file found on disk (empty for a resource made by hand).
  const std::string& GetFilePath() const { return m_sPath; }
  int GetResourceFlags() const { return m_iFlags; }
  bool Is3D() const { return (m_iFlags & VSOUNDRES_3D) != 0; }
  // The null back end decodes the header while loading, so a resource is loaded at
  // once; a back end that loads in the background clears and sets it.
  bool IsLoaded() const { return m_bLoaded; }
  void SetLoaded(bool loaded) { m_bLoaded = loaded; }

  int64_t GetFrameCount() const { return m_iFrames; }
  int GetSampleRate() const { return m_iSampleRate; }
  int GetChannels() const { return m_iChannels; }
  // Frames / sample rate, in seconds.
  float GetLength() const { return m_fLength; }

  // A new instance at the position, playing at once and listed by the manager;
  // null while the resource is not loaded or the sound engine is not running.
  VSoundObject* CreateInstance(const VisVector_cl& position, int instanceFlags = 0, int priority = 128);

 private:
  friend class VSoundManager;
  VString m_sFile;
  std::string m_sPath;  // the file found on disk
  int m_iFlags;
  int64_t m_iFrames;
  int m_iSampleRate;
  int m_iChannels;
  float m_fLength;
  bool m_bLoaded = true;
};
