// Reading a resource list and loading its files one per advance step.
#include "engine/core/VResourceSnapshot.h"

#include "engine/base/VStreams.h"
#include "engine/base/VisError.h"
#include "engine/base/VisFile.h"
#include "engine/core/VXmlRoot.h"

#include <tinyxml.h>

#include <string>

bool VResourceSnapshot::LoadSnapshot(IVFileInStream* in) {
  m_files.clear();
  m_loaded = m_missing = 0;
  m_elapsed = 0.0f;
  m_bRead = m_bScheduled = m_bFinished = false;
  if (!in) return false;

  std::string text;
  char buffer[4096];
  for (;;) {
    const size_t n = in->Read(buffer, sizeof(buffer));
    if (n == 0) break;
    text.append(buffer, n);
  }
  TiXmlDocument doc;
  std::string error;
  const TiXmlElement* root = VParseXmlRoot(doc, text.c_str(), "resources", error);
  if (!root) {
    Vision::Error.Warning("Resource list %s is not a <resources> list", in->GetFileName());
    return false;
  }
  for (const TiXmlElement* el = root->FirstChildElement("resource"); el; el = el->NextSiblingElement("resource")) {
    const char* file = el->Attribute("file");
    if (file && *file) m_files.push_back(file);
  }
  m_bRead = true;
  return true;
}

bool VResourceSnapshot::ScheduleSnapshot() {
  if (!m_bRead) return false;
  m_loaded = m_missing = 0;
  m_bFinished = false;
  m_bScheduled = true;
  return true;
}

void VResourceSnapshot::TickFunction(float dt) {
  if (!m_bScheduled || m_bFinished) return;
  m_elapsed += dt;
  if (m_loaded < (int)m_files.size()) {
    const char* file = m_files[m_loaded].AsChar();
    if (!Vision::File.PrecacheFile(file)) {
      Vision::Error.Warning("Resource %s not found", file);
      ++m_missing;
    }
    ++m_loaded;
  }
  if (m_loaded == (int)m_files.size()) {
    m_bFinished = true;
    OnSnapshotFinished();
  }
}

float VResourceSnapshot::GetProgress() const {
  if (!m_bScheduled) return -1.0f;
  if (m_files.empty()) return m_bFinished ? 1.0f : 0.0f;
  return (float)m_loaded / (float)m_files.size();
}
