// OpenAL Soft playing the sound manager's instances.
#include "engine/sound/VOpenALBackend.h"

#include "engine/base/VisError.h"
#include "engine/sound/VSoundFile.h"
#include "engine/sound/VSoundObject.h"
#include "engine/sound/VSoundResource.h"

#include <AL/al.h>
#include <AL/alc.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// Decodes up to 'frames' frames as mono or stereo 16-bit samples (files with more
// channels keep their first two); returns the frames decoded.
int64_t Decode(VSoundFile& file, int64_t frames, std::vector<int16_t>& out) {
  const int channels = file.GetChannels();
  const int kept = channels >= 2 ? 2 : 1;
  std::vector<int16_t> raw((size_t)(frames * channels));
  const int64_t got = file.Read(raw.data(), frames);
  out.resize((size_t)(got * kept));
  for (int64_t f = 0; f < got; ++f)
    for (int c = 0; c < kept; ++c) out[(size_t)(f * kept + c)] = raw[(size_t)(f * channels + c)];
  return got;
}

ALenum FormatOf(int channels) { return channels >= 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16; }

}  // namespace

std::unique_ptr<VOpenALBackend> VOpenALBackend::Open() {
  ALCdevice* device = alcOpenDevice(nullptr);
  if (!device) {
    Vision::Error.Warning("Sound: OpenAL Soft opened no device, nothing is heard");
    return nullptr;
  }
  ALCcontext* context = alcCreateContext(device, nullptr);
  if (!context || !alcMakeContextCurrent(context)) {
    Vision::Error.Warning("Sound: OpenAL Soft made no context on \"%s\", nothing is heard",
                          alcGetString(device, ALC_DEVICE_SPECIFIER));
    if (context) alcDestroyContext(context);
    alcCloseDevice(device);
    return nullptr;
  }
  // Distance fades are the sound objects' own (measured from the listener); OpenAL
  // only pans.
  alDistanceModel(AL_NONE);
  Vision::Error.SystemMessage("Sound: OpenAL Soft on \"%s\"", alcGetString(device, ALC_DEVICE_SPECIFIER));
  return std::unique_ptr<VOpenALBackend>(new VOpenALBackend(device, context));
}

VOpenALBackend::VOpenALBackend(ALCdevice* device, ALCcontext* context) : m_pDevice(device), m_pContext(context) {}

VOpenALBackend::~VOpenALBackend() {
  for (auto& [obj, v] : m_voices) DeleteVoice(v);
  m_voices.clear();
  for (auto& [res, buffer] : m_buffers)
    if (buffer) alDeleteBuffers(1, &buffer);
  m_buffers.clear();
  alcMakeContextCurrent(nullptr);
  alcDestroyContext(m_pContext);
  alcCloseDevice(m_pDevice);
}

bool VOpenALBackend::IsStreamed(const VSoundResource* res) {
  return (res->GetResourceFlags() & VSOUNDRES_STREAM) != 0 || res->GetLength() > kStreamAboveSeconds;
}

unsigned VOpenALBackend::GetSource(const VSoundObject* obj) const {
  auto it = m_voices.find(obj);
  return it == m_voices.end() ? 0 : it->second.source;
}

void VOpenALBackend::Sync(const VisVector_cl& listenerPos, const VisMatrix3x3_cl& listenerRot, float masterVolume,
                          const std::vector<VSoundObject*>& live) {
  ++m_iFrame;
  const VisVector_cl at = listenerRot.GetColumn(0);
  const VisVector_cl up = listenerRot.GetColumn(2);
  const ALfloat orientation[6] = {at.x, at.y, at.z, up.x, up.y, up.z};
  alListener3f(AL_POSITION, listenerPos.x, listenerPos.y, listenerPos.z);
  alListenerfv(AL_ORIENTATION, orientation);
  alListenerf(AL_GAIN, masterVolume);

  for (VSoundObject* obj : live) {
    auto [it, made] = m_voices.try_emplace(obj);
    Voice& v = it->second;
    v.frame = m_iFrame;
    if (made && !MakeVoice(obj, v)) continue;
    if (v.source) Update(obj, v);
  }
  // Instances that left the live list fall silent.
  for (auto it = m_voices.begin(); it != m_voices.end();) {
    if (it->second.frame == m_iFrame) {
      ++it;
      continue;
    }
    DeleteVoice(it->second);
    it = m_voices.erase(it);
  }
}

void VOpenALBackend::Forget(VSoundObject* obj) {
  auto it = m_voices.find(obj);
  if (it == m_voices.end()) return;
  DeleteVoice(it->second);
  m_voices.erase(it);
}

void VOpenALBackend::Forget(VSoundResource* res) {
  auto it = m_buffers.find(res);
  if (it == m_buffers.end()) return;
  if (it->second) alDeleteBuffers(1, &it->second);
  m_buffers.erase(it);
}

unsigned VOpenALBackend::BufferOf(VSoundResource* res) {
  auto it = m_buffers.find(res);
  if (it != m_buffers.end()) return it->second;
  ALuint buffer = 0;
  VSoundFile file;
  if (file.Open(res->GetFilePath().c_str())) {
    std::vector<int16_t> samples;
    const int64_t frames = Decode(file, file.GetFrameCount(), samples);
    alGetError();
    alGenBuffers(1, &buffer);
    if (alGetError() == AL_NO_ERROR) {
      alBufferData(buffer, FormatOf(file.GetChannels()), samples.data(),
                   (ALsizei)(samples.size() * sizeof(int16_t)), file.GetSampleRate());
      if (alGetError() != AL_NO_ERROR || frames <= 0) {
        alDeleteBuffers(1, &buffer);
        buffer = 0;
      }
    } else {
      buffer = 0;
    }
  }
  if (!buffer) Vision::Error.Warning("Sound: %s cannot be played", res->GetFileName());
  m_buffers[res] = buffer;
  return buffer;
}

bool VOpenALBackend::MakeVoice(VSoundObject* obj, Voice& v) {
  VSoundResource* res = obj->GetResource();
  if (!res) return false;
  v.streamed = IsStreamed(res);
  if (v.streamed) {
    v.file = std::make_unique<VSoundFile>();
    if (!v.file->Open(res->GetFilePath().c_str())) {
      v.file.reset();
      return false;
    }
    v.format = FormatOf(v.file->GetChannels());
    v.sampleRate = v.file->GetSampleRate();
  } else if (!BufferOf(res)) {
    return false;
  }

  alGetError();
  alGenSources(1, &v.source);
  if (alGetError() != AL_NO_ERROR) {
    v.source = 0;
    if (!m_bWarnedNoSource) Vision::Error.Warning("Sound: OpenAL Soft has no source left, some sounds are not heard");
    m_bWarnedNoSource = true;
    return false;
  }
  if (v.streamed) {
    alGenBuffers(kStreamBuffers, v.buffers);
    if (alGetError() != AL_NO_ERROR) {
      alDeleteSources(1, &v.source);
      v.source = 0;
      for (unsigned& b : v.buffers) b = 0;
      return false;
    }
  } else {
    alSourcei(v.source, AL_BUFFER, (ALint)BufferOf(res));
  }
  return true;
}

void VOpenALBackend::DeleteVoice(Voice& v) {
  if (v.source) {
    alSourceStop(v.source);
    alSourcei(v.source, AL_BUFFER, 0);
    alDeleteSources(1, &v.source);
  }
  if (v.streamed && v.buffers[0]) alDeleteBuffers(kStreamBuffers, v.buffers);
  v.source = 0;
  for (unsigned& b : v.buffers) b = 0;
  v.file.reset();
}

void VOpenALBackend::Update(VSoundObject* obj, Voice& v) {
  const ALuint s = v.source;
  if (obj->Is3D()) {
    const VisVector_cl& p = obj->GetPosition();
    alSourcei(s, AL_SOURCE_RELATIVE, AL_FALSE);
    alSource3f(s, AL_POSITION, p.x, p.y, p.z);
    const bool cone = obj->GetConeInside() >= 0.0f && obj->GetConeOutside() >= 0.0f;
    const VisVector_cl d = obj->GetDirection();
    alSource3f(s, AL_DIRECTION, cone ? d.x : 0.0f, cone ? d.y : 0.0f, cone ? d.z : 0.0f);
    alSourcef(s, AL_CONE_INNER_ANGLE, cone ? obj->GetConeInside() : 360.0f);
    alSourcef(s, AL_CONE_OUTER_ANGLE, cone ? obj->GetConeOutside() : 360.0f);
  } else {
    // Beside the listener, whichever way it turns.
    alSourcei(s, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(s, AL_POSITION, 0.0f, 0.0f, 0.0f);
  }
  alSourcef(s, AL_GAIN, obj->GetVolume() * obj->GetDistanceFade());
  alSourcef(s, AL_PITCH, obj->GetPitch());
  // A stream loops by reading its file again.
  alSourcei(s, AL_LOOPING, !v.streamed && obj->IsLooped() ? AL_TRUE : AL_FALSE);

  if (!obj->IsPlaying() || obj->IsDisposed()) {
    if (v.state != State::Stopped) {
      alSourceStop(s);
      v.state = State::Stopped;
    }
    return;
  }
  if (v.state == State::Stopped || obj->GetSeekCount() != v.seekCount) StartAt(obj, v);
  v.seekCount = obj->GetSeekCount();
  if (obj->IsPaused() && v.state == State::Playing) {
    alSourcePause(s);
    v.state = State::Paused;
  } else if (!obj->IsPaused() && v.state == State::Paused) {
    alSourcePlay(s);
    v.state = State::Playing;
  }
  if (v.streamed && v.state == State::Playing) RefillStream(obj, v);
}

void VOpenALBackend::StartAt(VSoundObject* obj, Voice& v) {
  const ALuint s = v.source;
  const float seconds = obj->GetPlayPosition();
  alSourceStop(s);
  if (v.streamed) {
    // Stopped, every queued buffer can be taken off and filled again.
    alSourcei(s, AL_BUFFER, 0);
    v.file->Seek((int64_t)std::llround((double)seconds * v.sampleRate));
    for (ALuint b : v.buffers) {
      if (!FillStreamBuffer(v, b, obj->IsLooped())) break;
      alSourceQueueBuffers(s, 1, &b);
    }
  } else {
    // An offset given to a stopped source applies when it plays.
    alSourcef(s, AL_SEC_OFFSET, seconds);
  }
  alSourcePlay(s);
  v.state = State::Playing;
}

bool VOpenALBackend::FillStreamBuffer(Voice& v, unsigned buffer, bool looped) {
  const int64_t want = v.sampleRate / 4 > 0 ? v.sampleRate / 4 : 1;  // a quarter second per buffer
  std::vector<int16_t> samples, more;
  int64_t got = Decode(*v.file, want, samples);
  // A looped stream goes on from its start; an empty file ends it.
  while (looped && got < want && v.file->GetFrameCount() > 0) {
    v.file->Seek(0);
    const int64_t n = Decode(*v.file, want - got, more);
    if (n <= 0) break;
    samples.insert(samples.end(), more.begin(), more.end());
    got += n;
  }
  if (got <= 0) return false;
  alBufferData(buffer, v.format, samples.data(), (ALsizei)(samples.size() * sizeof(int16_t)), v.sampleRate);
  return true;
}

void VOpenALBackend::RefillStream(VSoundObject* obj, Voice& v) {
  const ALuint s = v.source;
  ALint processed = 0;
  alGetSourcei(s, AL_BUFFERS_PROCESSED, &processed);
  while (processed-- > 0) {
    ALuint b = 0;
    alSourceUnqueueBuffers(s, 1, &b);
    if (FillStreamBuffer(v, b, obj->IsLooped())) alSourceQueueBuffers(s, 1, &b);
  }
  // A stream that ran dry between two frames starts again once it has buffers.
  ALint state = 0, queued = 0;
  alGetSourcei(s, AL_SOURCE_STATE, &state);
  alGetSourcei(s, AL_BUFFERS_QUEUED, &queued);
  if (state == AL_STOPPED && queued > 0) alSourcePlay(s);
}
