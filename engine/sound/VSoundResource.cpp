// Sound resources: the format of a loaded file and the instances made from it.
#include "engine/sound/VSoundResource.h"

#include "engine/sound/VSoundManager.h"

VSoundResource::VSoundResource(const char* file, int flags, int64_t frames, int sampleRate, int channels)
    : m_sFile(file),
      m_iFlags(flags),
      m_iFrames(frames),
      m_iSampleRate(sampleRate),
      m_iChannels(channels),
      m_fLength(sampleRate > 0 ? (float)((double)frames / (double)sampleRate) : 0.0f) {}

VSoundResource::~VSoundResource() { VSoundManager::ForgetResource(this); }

VSoundObject* VSoundResource::CreateInstance(const VisVector_cl& position, int instanceFlags, int priority) {
  VSoundManager& manager = VSoundManager::GlobalManager();
  if (!m_bLoaded || !manager.IsInitialized()) return nullptr;
  VSoundObject* obj = new VSoundObject(this, instanceFlags, priority);
  obj->SetPosition(position);
  manager.AddInstance(obj);
  return obj;
}
