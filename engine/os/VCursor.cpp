// The system cursor: one per process, kept as plain state so the game's cursor
// handling can be read back without a window. With a window the state also drives
// the real pointer: moves warp it, a clip confines it to the window and the rectangle.
#include "engine/os/VOs.h"

#include <SDL2/SDL.h>

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
  SDL_Window* window = nullptr;
  bool windowClipped = false;  // what the window was last told
  VRect windowClip;
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

bool SameRect(const VRect& a, const VRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

SDL_Rect ToSdl(const VRect& r) {
  return SDL_Rect{r.left, r.top, std::max(0, r.right - r.left), std::max(0, r.bottom - r.top)};
}

// Moves the real pointer. The window's rectangle also holds off warps (under X), so
// it is lifted for the move. Called with the lock held.
void WarpPointer(CursorState& s, VPoint p) {
  if (!s.window) return;
  if (s.windowClipped) SDL_SetWindowMouseRect(s.window, nullptr);
  SDL_WarpMouseInWindow(s.window, p.x, p.y);
  if (s.windowClipped) {
    const SDL_Rect r = ToSdl(s.windowClip);
    SDL_SetWindowMouseRect(s.window, &r);
  }
}

// The window's pointer confinement follows the clip state; the window is told only
// of changes (the GUI sets its clip every frame). Called with the lock held.
void ApplyClipToWindow(CursorState& s) {
  if (!s.window) return;
  if (s.clipped == s.windowClipped && (!s.clipped || SameRect(s.clip, s.windowClip))) return;
  s.windowClipped = s.clipped;
  s.windowClip = s.clip;
  if (s.clipped) {
    const SDL_Rect r = ToSdl(s.clip);
    SDL_SetWindowMouseRect(s.window, &r);
    SDL_SetWindowGrab(s.window, SDL_TRUE);
  } else {
    SDL_SetWindowMouseRect(s.window, nullptr);
    SDL_SetWindowGrab(s.window, SDL_FALSE);
  }
}

}  // namespace

void VSetCursorWindow(void* window) {
  CursorState& s = State();
  std::lock_guard<std::mutex> guard(s.lock);
  s.window = static_cast<SDL_Window*>(window);
  s.windowClipped = false;
  ApplyClipToWindow(s);
}

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
  WarpPointer(s, s.pos);
}

void VTrackCursorPos(int x, int y) {
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
  if (rect) {
    s.clip = *rect;
    // A clip moves the cursor inside at once, so releasing it later does not jump back.
    const VPoint inside = ClampToClip(s, s.pos);
    const bool moved = inside.x != s.pos.x || inside.y != s.pos.y;
    s.pos = inside;
    ApplyClipToWindow(s);
    if (moved) WarpPointer(s, inside);
    return;
  }
  ApplyClipToWindow(s);
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
