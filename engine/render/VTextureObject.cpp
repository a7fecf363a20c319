// Textures that keep their pixels, and their GL copies.
#include "engine/render/VTextureObject.h"

#include "engine/render/VGLDevice.h"

#include <GL/glew.h>

#include <cstring>

VTextureObject::~VTextureObject() { ReleaseDeviceHandle(); }

void VTextureObject::CreateInMemory(int width, int height, int format, int flags) {
  EnsureUnloaded();
  m_iWidth = width > 0 ? width : 0;
  m_iHeight = height > 0 ? height : 0;
  m_iFormat = format;
  m_iCreationFlags = flags;
  m_pixels.assign((size_t)m_iWidth * m_iHeight * 4, 0);
  if (m_pixels.empty() || !VGLDevice::GetInstance().IsOpen()) return;
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, m_iWidth, m_iHeight, 0, GL_BGRA, GL_UNSIGNED_BYTE, m_pixels.data());
  m_iGLHandle = id;
}

bool VTextureObject::UpdateRect(int level, int x, int y, int width, int height, int pitch, const void* data,
                                int lockFlags) {
  if (level != 0 || !data || m_pixels.empty() || x < 0 || y < 0 || width <= 0 || height <= 0 ||
      x + width > m_iWidth || y + height > m_iHeight || pitch < width * 4)
    return false;
  const uint8_t* src = static_cast<const uint8_t*>(data);
  for (int row = 0; row < height; ++row)
    std::memcpy(&m_pixels[((size_t)(y + row) * m_iWidth + x) * 4], src + (size_t)row * pitch, (size_t)width * 4);
  if (m_iGLHandle && VGLDevice::GetInstance().IsOpen()) {
    glBindTexture(GL_TEXTURE_2D, m_iGLHandle);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, m_iWidth);
    glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_BGRA, GL_UNSIGNED_BYTE,
                    &m_pixels[((size_t)y * m_iWidth + x) * 4]);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
  }
  return true;
}

void VTextureObject::ReleaseDeviceHandle() {
  if (!m_iGLHandle) return;
  // A closed window took its textures with it.
  if (VGLDevice::GetInstance().IsOpen()) {
    GLuint id = m_iGLHandle;
    glDeleteTextures(1, &id);
  }
  m_iGLHandle = 0;
}

void VTextureObject::EnsureUnloaded() {
  ReleaseDeviceHandle();
  m_pixels.clear();
  m_pixels.shrink_to_fit();
}
