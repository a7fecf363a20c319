// An engine texture: reference counted and known by the file it came from.
// Pixels are not kept: nothing headless reads them.
#pragma once

#include "engine/base/VRefCounter.h"
#include "engine/base/VString.h"

class VBASE_IMPEXP VTextureObject : public VRefCounter {
 public:
  explicit VTextureObject(const char* file) : m_sFilename(file) {}
  const char* GetFilename() const { return m_sFilename.AsChar(); }

 private:
  VString m_sFilename;
};
