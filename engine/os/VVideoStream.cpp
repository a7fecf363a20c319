// Video files over libavformat/libavcodec/libswscale, decoded on a thread of their own.
#include "engine/os/VVideoStream.h"

#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/base/VisTimer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Frame times are compared with this much slack (float clock steps add up).
constexpr double kDueSlack = 1e-6;

struct DecodedFrame {
  AVFrame* frame = nullptr;
  double pts = 0.0;
  bool valid = false;
};

}  // namespace

struct VVideoStream::Impl {
  // Set by Open, read-only while the thread runs.
  AVFormatContext* input = nullptr;
  AVCodecContext* decoder = nullptr;
  int videoIndex = -1;
  bool hasAudio = false;
  double timeBase = 0.0;
  int64_t startPts = 0;
  double frameStep = 0.04;
  double duration = 0.0;
  VVideoFormat format;
  IVVideoSink* sink = nullptr;

  // Main thread only.
  int state = STOPPED;
  double basePosition = 0.0;   // position when the clock was last (re)based
  double runStart = 0.0;       // engine time at that moment
  long volume = 0;
  bool decodedFromStart = true;  // the next thread start needs no seek

  // Decoder thread only.
  SwsContext* scaler = nullptr;
  AVPacket* packet = nullptr;
  DecodedFrame current, next;
  std::vector<uint8_t> topDown, bottomUp;
  int topDownStride = 0;
  bool draining = false, ended = false;

  // Shared, under the mutex.
  std::mutex mutex;
  std::condition_variable wake, done;
  double target = 0.0;
  unsigned generation = 0;
  double seekTo = 0.0;
  bool quit = false;
  double reached = -1.0;
  unsigned reachedGeneration = 0;
  bool reachedEnd = false;

  std::thread thread;
  std::atomic<int> delivered{0};

  ~Impl() {
    StopThread();
    Close();
  }

  double Position() const {
    double p = basePosition;
    if (state == RUNNING) p += std::max(0.0, Vision::Timer.GetTimeD() - runStart);
    return std::clamp(p, 0.0, duration);
  }

  void Close() {
    if (decoder) avcodec_free_context(&decoder);
    if (input) avformat_close_input(&input);
    videoIndex = -1;
    hasAudio = false;
    sink = nullptr;
  }

  void StartThread() {
    if (thread.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      quit = false;
      target = Position();
      if (!decodedFromStart) {
        ++generation;
        seekTo = target;
      }
      reached = -1.0;
      reachedEnd = false;
    }
    decodedFromStart = false;
    thread = std::thread([this] { Loop(); });
  }

  void StopThread() {
    if (!thread.joinable()) return;
    {
      std::lock_guard<std::mutex> lock(mutex);
      quit = true;
    }
    wake.notify_all();
    thread.join();
    FreeThreadState();
  }

  void FreeThreadState() {
    av_frame_free(&current.frame);
    av_frame_free(&next.frame);
    current.valid = next.valid = false;
    av_packet_free(&packet);
    sws_freeContext(scaler);
    scaler = nullptr;
  }

  // Publishes the position the decoder should reach.
  void PublishTarget() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      target = Position();
    }
    wake.notify_all();
  }

  // --- decoder thread ---

  void Seek(double seconds) {
    const int64_t ts = startPts + (int64_t)(seconds / timeBase);
    av_seek_frame(input, videoIndex, ts, AVSEEK_FLAG_BACKWARD);
    avcodec_flush_buffers(decoder);
    current.valid = next.valid = false;
    draining = ended = false;
  }

  // The next frame in decoding order; false at the end of the file (or on an error,
  // which ends the video the same way).
  bool DecodeNext(DecodedFrame& out) {
    out.valid = false;
    if (ended) return false;
    for (;;) {
      const int got = avcodec_receive_frame(decoder, out.frame);
      if (got == 0) {
        int64_t pts = out.frame->best_effort_timestamp;
        if (pts == AV_NOPTS_VALUE) pts = out.frame->pts;
        out.pts = pts == AV_NOPTS_VALUE ? (current.valid ? current.pts + frameStep : 0.0)
                                        : (double)(pts - startPts) * timeBase;
        out.valid = true;
        return true;
      }
      if (got != AVERROR(EAGAIN) || draining) break;
      const int read = av_read_frame(input, packet);
      if (read < 0) {
        draining = true;
        avcodec_send_packet(decoder, nullptr);
        continue;
      }
      if (packet->stream_index == videoIndex) avcodec_send_packet(decoder, packet);
      av_packet_unref(packet);
    }
    ended = true;
    return false;
  }

  void Deliver(const AVFrame* frame) {
    const int w = format.width, h = format.height;
    scaler = sws_getCachedContext(scaler, frame->width, frame->height, (AVPixelFormat)frame->format, w, h,
                                  AV_PIX_FMT_BGR24, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler) return;
    uint8_t* dst[4] = {topDown.data(), nullptr, nullptr, nullptr};
    int dstStride[4] = {topDownStride, 0, 0, 0};
    sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    // The sink takes bitmap order: the picture's lowest row first.
    for (int y = 0; y < h; ++y)
      std::memcpy(&bottomUp[(size_t)(h - 1 - y) * format.pitch], &topDown[(size_t)y * topDownStride], (size_t)w * 3);
    sink->DoRenderSample(bottomUp.data(), bottomUp.size());
    delivered.fetch_add(1, std::memory_order_relaxed);
  }

  void Loop() {
    if (!current.frame) current.frame = av_frame_alloc();
    if (!next.frame) next.frame = av_frame_alloc();
    if (!packet) packet = av_packet_alloc();
    topDownStride = FFALIGN(format.width * 3, 64);
    topDown.assign((size_t)topDownStride * format.height + 64, 0);
    bottomUp.assign((size_t)format.pitch * format.height, 0);
    unsigned seen = 0;
    bool first = true;
    for (;;) {
      double goal = 0.0;
      bool seek = false;
      double seekPosition = 0.0;
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (quit) break;
        if (first || generation != seen) {
          seek = !first || generation != 0;
          seen = generation;
          seekPosition = seekTo;
          first = false;
        }
        goal = target;
      }
      if (seek) Seek(seekPosition);

      if (!current.valid) {
        if (DecodeNext(current)) continue;
      } else if (current.pts <= goal + kDueSlack) {
        // Only the newest frame due by now is shown; a later one that is due too replaces it.
        if (DecodeNext(next) && next.pts <= goal + kDueSlack) {
          std::swap(current, next);
          continue;
        }
        Deliver(current.frame);
        std::swap(current, next);
        continue;
      }

      // Caught up: everything due by the goal is handed over.
      std::unique_lock<std::mutex> lock(mutex);
      if (quit || generation != seen) continue;
      reached = goal;
      reachedGeneration = seen;
      reachedEnd = !current.valid && ended;
      done.notify_all();
      wake.wait(lock, [&] { return quit || generation != seen || target != goal; });
    }
  }
};

VVideoStream::VVideoStream() : m_impl(std::make_unique<Impl>()) {}

VVideoStream::~VVideoStream() = default;

bool VVideoStream::Open(const char* path) {
  Impl& d = *m_impl;
  d.StopThread();
  d.Close();
  std::string file;
  if (!path || !VFileHelper::FindCaseInsensitive(VFileHelper::NormalizePath(path), file)) return false;
  if (avformat_open_input(&d.input, file.c_str(), nullptr, nullptr) < 0) return false;
  const AVCodec* codec = nullptr;
  if (avformat_find_stream_info(d.input, nullptr) < 0 ||
      (d.videoIndex = av_find_best_stream(d.input, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)) < 0 || !codec) {
    d.Close();
    return false;
  }
  const AVStream* stream = d.input->streams[d.videoIndex];
  d.decoder = avcodec_alloc_context3(codec);
  if (!d.decoder || avcodec_parameters_to_context(d.decoder, stream->codecpar) < 0 ||
      avcodec_open2(d.decoder, codec, nullptr) < 0 || d.decoder->width <= 0 || d.decoder->height <= 0) {
    d.Close();
    return false;
  }
  d.hasAudio = av_find_best_stream(d.input, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) >= 0;
  d.timeBase = av_q2d(stream->time_base);
  d.startPts = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
  const AVRational rate = av_guess_frame_rate(d.input, const_cast<AVStream*>(stream), nullptr);
  d.frameStep = rate.num > 0 && rate.den > 0 ? av_q2d(av_inv_q(rate)) : 0.04;
  if (d.input->duration > 0)
    d.duration = (double)d.input->duration / AV_TIME_BASE;
  else if (stream->duration > 0)
    d.duration = (double)stream->duration * d.timeBase;
  else
    d.duration = 0.0;

  d.format = VVideoFormat();
  d.format.width = d.decoder->width;
  d.format.height = d.decoder->height;
  d.format.pitch = (d.format.width * 3 + 3) & ~3;
  d.state = STOPPED;
  d.basePosition = 0.0;
  d.decodedFromStart = true;
  d.delivered = 0;
  {
    std::lock_guard<std::mutex> lock(d.mutex);
    d.generation = 0;
    d.seekTo = 0.0;
    d.target = 0.0;
  }
  return true;
}

bool VVideoStream::IsOpen() const { return m_impl->decoder != nullptr; }
bool VVideoStream::HasAudio() const { return m_impl->hasAudio; }
const VVideoFormat& VVideoStream::GetFormat() const { return m_impl->format; }

bool VVideoStream::Connect(IVVideoSink* sink) {
  Impl& d = *m_impl;
  if (!IsOpen() || !sink || d.thread.joinable()) return false;
  if (!sink->CheckMediaType(d.format)) return false;
  sink->SetMediaType(d.format);
  d.sink = sink;
  return true;
}

bool VVideoStream::Run() {
  Impl& d = *m_impl;
  if (!IsOpen() || !d.sink) return false;
  if (d.state != RUNNING) {
    d.basePosition = d.Position();
    d.runStart = Vision::Timer.GetTimeD();
    d.state = RUNNING;
  }
  d.StartThread();
  d.PublishTarget();
  return true;
}

bool VVideoStream::Pause() {
  Impl& d = *m_impl;
  if (!IsOpen() || !d.sink) return false;
  d.basePosition = d.Position();
  d.state = PAUSED;
  d.PublishTarget();
  return true;
}

bool VVideoStream::Stop() {
  Impl& d = *m_impl;
  if (!IsOpen()) return false;
  d.basePosition = d.Position();
  d.state = STOPPED;
  // The sink may go once the stream is stopped: no frame arrives after this.
  d.StopThread();
  return true;
}

int VVideoStream::GetState() const { return m_impl->state; }
double VVideoStream::GetDuration() const { return m_impl->duration; }
double VVideoStream::GetCurrentPosition() const { return m_impl->Position(); }

bool VVideoStream::SetCurrentPosition(double seconds) {
  Impl& d = *m_impl;
  if (!IsOpen()) return false;
  d.basePosition = std::clamp(seconds, 0.0, d.duration);
  d.runStart = Vision::Timer.GetTimeD();
  if (d.thread.joinable()) {
    {
      std::lock_guard<std::mutex> lock(d.mutex);
      ++d.generation;
      d.seekTo = d.basePosition;
      d.target = d.basePosition;
    }
    d.wake.notify_all();
  } else {
    d.decodedFromStart = d.basePosition == 0.0 && d.decodedFromStart;
    if (d.basePosition != 0.0) d.decodedFromStart = false;
  }
  return true;
}

void VVideoStream::SetVolume(long volume) { m_impl->volume = std::clamp(volume, -10000L, 0L); }
long VVideoStream::GetVolume() const { return m_impl->volume; }

bool VVideoStream::WaitForDueFrames(int timeoutMs) {
  Impl& d = *m_impl;
  if (!d.thread.joinable()) return true;
  d.PublishTarget();
  std::unique_lock<std::mutex> lock(d.mutex);
  const double goal = d.target;
  return d.done.wait_for(lock, std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 0), [&] {
    return d.reachedGeneration == d.generation && (d.reachedEnd || d.reached >= goal);
  });
}

int VVideoStream::GetDeliveredFrameCount() const { return m_impl->delivered.load(std::memory_order_relaxed); }
