// The emulated system cursor: one per process, kept as plain state so the game's
// cursor handling can be read back without a window.
#include "engine/os/VOs.h"

#include <algorithm>
#include <mutex>

namespace {

struct CursorState {
  std::mutex lock;
  bool shown = true;
  void* image = nullptr;
  VPoint pos;
  bool clipped = false;
  VRect clip;
  int clientWidth = 1280;
  int clientHeight = 720;
};

CursorState& State() {
  static CursorState state;
  return state;
}

// Right and bottom are exclusive, as with a window rectangle.
VPoint ClampToClip(const CursorState& s, VPoint p) {
  if (!s.clipped) return p;
  p.x = std::max(s.clip.left, std::min(p.x, std::max(s.clip.left, s.clip.right - 1)));
  p.y = std::max(s.clip.top, std::min(p.y, std::max(s.clip.top, s.clip.bottom - 1)));
  return p;
}

}  // namespace

void VShowSystemCursor(bool show) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.shown = show;
}

bool VIsSystemCursorShown() {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.shown;
}

void VSetSystemCursorImage(void* image) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.image = image;
}

void* VGetSystemCursorImage() {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.image;
}

bool VGetCursorPos(VPoint& out) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  out = ClampToClip(s, s.pos);
  return true;
}

void VSetCursorPos(int x, int y) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.pos = ClampToClip(s, VPoint{x, y});
}

bool VScreenToClient(void*, VPoint&) { return true; }

bool VGetClientRect(void*, VRect& out) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  out = VRect{0, 0, s.clientWidth, s.clientHeight};
  return true;
}

bool VMapWindowPointsToScreen(void*, VRect&) { return true; }

void VClipCursor(const VRect* rect) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.clipped = rect != nullptr;
  if (!rect) return;
  s.clip = *rect;
  // A clip moves the cursor inside at once, so releasing it later does not jump back.
  s.pos = ClampToClip(s, s.pos);
}

bool VGetCursorClip(VRect& out) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  if (!s.clipped) return false;
  out = s.clip;
  return true;
}

void VSetClientSize(int width, int height) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.clientWidth = std::max(0, width);
  s.clientHeight = std::max(0, height);
}
