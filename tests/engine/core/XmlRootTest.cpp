// The engine's XML readers refuse text that does not parse or has the wrong root
// element, each with its own log line.
#include "engine/Vision.h"
#include "engine/core/VDynamicMesh.h"
#include "engine/core/VisAnimSequenceSet.h"
#include "engine/core/VisParticleEffectFile.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

namespace {

TEST(XmlRoot, ReadersRefuseBrokenTextAndForeignRootsWithTheirOwnLines) {
  auto particles = [](const char* text) { return VisParticleEffectFile_cl("fx.xml").LoadFromXml(text); };
  auto animation = [](const char* text) { return VisAnimSequenceSet_cl("walk.anim").LoadFromXml(text); };
  auto model = [](const char* text) { return VDynamicMesh("hull.model").LoadFromXml(text); };
  struct Case {
    std::function<bool(const char*)> read;
    const char* text;
    const char* logged;
  } cases[] = {
      {particles, "<effect/>", "Particle effect fx.xml: the root element is not <particles>"},
      {particles, "<particles>", "Particle effect fx.xml: line "},
      {particles, nullptr, "Particle effect fx.xml: line "},
      {animation, "<sequence/>", "Animation walk.anim: the root element is neither <animation> nor <model>"},
      {animation, "<animation><sequence></animation>", "Animation walk.anim: line "},
      {model, "<animation/>", "Model hull.model: the root element is not <model>"},
      {model, "<model", "Model hull.model: XML error: "},
  };
  for (const Case& c : cases) {
    LogCapture log;
    EXPECT_FALSE(c.read(c.text)) << (c.text ? c.text : "(null)");
    EXPECT_TRUE(log.Contains(c.logged)) << (c.text ? c.text : "(null)") << " -> "
                                         << (log.Lines().empty() ? "(nothing)" : log.Lines().back());
  }
  // A text ending inside a UTF-8 character, in a buffer of exactly its size: the
  // sanitizer build sees any read past it.
  for (const char* ending : {"\xea", "\xf0\x9f", "ab\xc3"}) {
    const std::string text = std::string("<particles>") + ending;
    std::unique_ptr<char[]> exact(new char[text.size() + 1]);
    memcpy(exact.get(), text.c_str(), text.size() + 1);
    LogCapture log;
    EXPECT_FALSE(particles(exact.get())) << text;
  }
  // Both roots an animation file may have are read.
  for (const char* text : {"<animation/>", "<model/>"}) EXPECT_TRUE(animation(text)) << text;
}

}  // namespace
