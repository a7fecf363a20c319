// Polls the X server's current cursor image through XFixes.
#include "e2e/CursorWatcher.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>

CursorWatcher::CursorWatcher(const std::string& display) {
  Display* x = XOpenDisplay(display.c_str());
  m_pDisplay = x;
  int event = 0, error = 0;
  if (!x || !XFixesQueryExtension(x, &event, &error)) return;
  m_bWatching = true;
  m_thread = std::thread([this, x] {
    while (!m_bStop) {
      if (XFixesCursorImage* image = XFixesGetCursorImage(x)) {
        Image seen{image->width, image->height,
                   std::vector<unsigned long>(image->pixels, image->pixels + image->width * image->height)};
        XFree(image);
        if (m_images.empty() || m_images.back().argb != seen.argb) m_images.push_back(std::move(seen));
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
}

CursorWatcher::~CursorWatcher() {
  Stop();
  if (m_pDisplay) XCloseDisplay(static_cast<Display*>(m_pDisplay));
}

void CursorWatcher::Stop() {
  m_bStop = true;
  if (m_thread.joinable()) m_thread.join();
}

bool CursorWatcher::Showed(const VImage& picture) const {
  for (const Image& image : m_images) {
    if (image.width != picture.width || image.height != picture.height) continue;
    bool same = true;
    for (size_t i = 0; i < image.argb.size() && same; ++i) {
      const unsigned char* p = &picture.rgba[i * 4];
      if (p[3] != 255) continue;
      const unsigned long want = 0xFF000000ul | (unsigned long)p[0] << 16 | (unsigned long)p[1] << 8 | p[2];
      same = (image.argb[i] & 0xFFFFFFFFul) == want;
    }
    if (same) return true;
  }
  return false;
}
