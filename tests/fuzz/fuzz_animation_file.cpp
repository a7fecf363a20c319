// The animation-file reader over arbitrary text: no crash, no sanitizer report; the
// sequences of a file it accepts keep the shape the format promises, and a set it
// refuses is empty.
// fuzz-libs: engine
#include "FuzzChecks.h"

#include <cstdint>
#include <string>

using fuzz_checks::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  VSmartPtr<VisAnimSequenceSet_cl> set = new VisAnimSequenceSet_cl("fuzz.anim");
  if (!set->LoadFromXml(text.c_str())) {
    Require(set->GetSequenceCount() == 0);
    return 0;
  }
  fuzz_checks::CheckSequenceSet(set);
  return 0;
}
