// The back end a player hears: OpenAL Soft. 3D instances are sources placed on
// their objects and panned against the listener (the main camera: forward = local
// x, up = local z); 2D instances and music sit at the listener. Long sounds
// (music, voices) stream from their files through a few queued buffers refilled
// each frame; short effects are decoded once per resource into one buffer.
#pragma once

#include "engine/sound/VSoundBackend.h"

#include <memory>
#include <unordered_map>

class VSoundFile;

class VOpenALBackend : public VSoundBackend {
 public:
  // Sounds that stream: flagged VSOUNDRES_STREAM, or longer than this.
  static constexpr float kStreamAboveSeconds = 4.0f;
  static constexpr int kStreamBuffers = 4;
  // Opens the default device (ALSOFT_CONF chooses it); null, with one warning in
  // the log, when OpenAL Soft cannot open one.
  static std::unique_ptr<VOpenALBackend> Open();
  ~VOpenALBackend() override;

  const char* GetName() const override { return "openal"; }
  void Sync(const VisVector_cl& listenerPos, const VisMatrix3x3_cl& listenerRot, float masterVolume,
            const std::vector<VSoundObject*>& live) override;
  void Forget(VSoundObject* obj) override;
  void Forget(VSoundResource* res) override;

  static bool IsStreamed(const VSoundResource* res);
  // The OpenAL source playing the instance (0 when it has none).
  unsigned GetSource(const VSoundObject* obj) const;

 private:
  enum class State { Stopped, Playing, Paused };
  struct Voice {
    unsigned source = 0;
    bool streamed = false;
    State state = State::Stopped;
    unsigned seekCount = 0;
    unsigned frame = 0;  // the last Sync that saw the instance live
    std::unique_ptr<VSoundFile> file;
    unsigned buffers[kStreamBuffers] = {};
    int format = 0;
    int sampleRate = 0;
  };

  VOpenALBackend(struct ALCdevice_struct* device, struct ALCcontext_struct* context);
  bool MakeVoice(VSoundObject* obj, Voice& v);
  void DeleteVoice(Voice& v);
  void Update(VSoundObject* obj, Voice& v);
  void StartAt(VSoundObject* obj, Voice& v);
  // Decodes the next piece of a stream into the buffer (from the start again when
  // looped); false at the end of the file.
  bool FillStreamBuffer(Voice& v, unsigned buffer, bool looped);
  void RefillStream(VSoundObject* obj, Voice& v);
  unsigned BufferOf(VSoundResource* res);

  struct ALCdevice_struct* m_pDevice;
  struct ALCcontext_struct* m_pContext;
  unsigned m_iFrame = 0;
  bool m_bWarnedNoSource = false;
  std::unordered_map<const VSoundObject*, Voice> m_voices;
  std::unordered_map<const VSoundResource*, unsigned> m_buffers;  // 0: could not be decoded
};
