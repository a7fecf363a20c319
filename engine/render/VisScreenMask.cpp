// Screen masks and their quad pass.
#include "engine/render/VisScreenMask.h"

#include "engine/render/VGLDevice.h"

#include <GL/glew.h>

#include <algorithm>

namespace {
// Every live mask, oldest first (main thread only).
std::vector<VisScreenMask_cl*>& LiveMasks() {
  static std::vector<VisScreenMask_cl*> masks;
  return masks;
}
}  // namespace

VisScreenMask_cl::VisScreenMask_cl() { LiveMasks().push_back(this); }

VisScreenMask_cl::~VisScreenMask_cl() {
  auto& masks = LiveMasks();
  masks.erase(std::remove(masks.begin(), masks.end(), this), masks.end());
}

std::vector<VisScreenMask_cl*> VisScreenMask_cl::GetVisibleMasks() {
  std::vector<VisScreenMask_cl*> out;
  for (VisScreenMask_cl* mask : LiveMasks())
    if (mask->m_bVisible && mask->m_spTexture) out.push_back(mask);
  std::stable_sort(out.begin(), out.end(),
                   [](const VisScreenMask_cl* a, const VisScreenMask_cl* b) { return a->m_iOrder < b->m_iOrder; });
  return out;
}

void VisScreenMask_cl::RenderAll() {
  VGLDevice& device = VGLDevice::GetInstance();
  if (!device.IsOpen()) return;
  const std::vector<VisScreenMask_cl*> masks = GetVisibleMasks();
  if (masks.empty()) return;
  glPushAttrib(GL_ALL_ATTRIB_BITS);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glOrtho(0.0, device.GetWidth(), device.GetHeight(), 0.0, -1.0, 1.0);
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glUseProgram(0);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glEnable(GL_TEXTURE_2D);
  glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  for (const VisScreenMask_cl* mask : masks) {
    const GLuint id = mask->m_spTexture->GetGLHandle();
    if (!id) continue;
    glBindTexture(GL_TEXTURE_2D, id);
    const GLint filter = mask->m_bFiltering ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    if (mask->m_eTransparency == VIS_TRANSP_ALPHA) {
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
      glDisable(GL_BLEND);
    }
    const float x0 = mask->m_fX, y0 = mask->m_fY, x1 = x0 + mask->m_fWidth, y1 = y0 + mask->m_fHeight;
    // The texture's first row is the top of the picture.
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f); glVertex2f(x0, y0);
    glTexCoord2f(1.0f, 0.0f); glVertex2f(x1, y0);
    glTexCoord2f(1.0f, 1.0f); glVertex2f(x1, y1);
    glTexCoord2f(0.0f, 1.0f); glVertex2f(x0, y1);
    glEnd();
  }
  glBindTexture(GL_TEXTURE_2D, 0);
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}
