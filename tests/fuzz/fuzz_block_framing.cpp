// Saved-block framing and the SerializableStream block over arbitrary bytes: no
// crash, no sanitizer report, no allocation beyond the bytes given, and a block that
// reads cleanly writes itself again in the same form.
// fuzz-sources: code/Managers/SaveGameBlockTags.cpp code/Managers/SerializableStream.cpp
#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"

#include "engine/base/VArchive.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool condition) {
  if (!condition) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SaveGameManagerProto* blocks = SaveGameManagerProto::GetInstance();

  // The tag checks, one after the other, as nested blocks would use them.
  {
    VMemoryInStream* in = new VMemoryInStream(data, size);
    {
      VArchive ar("<FuzzTags>", in);
      int64_t left = ar.GetRemaining();
      for (int i = 0; i < 64 && ar.IsOK() && left > 0; ++i) {
        const int result = (i & 1) ? blocks->CheckArchiveEndTag(ar) : blocks->CheckArchiveStartTag(ar);
        Require(result == 0 || result == 1);
        const int64_t now = ar.GetRemaining();
        Require(now < left || !ar.IsOK());
        left = now;
      }
    }
    in->Close();
  }

  // Stream blocks back to back, each into the same manager.
  VSmartPtr<SerializableStream> stream = new SerializableStream("<FuzzStream>");
  VMemoryInStream* in = new VMemoryInStream(data, size);
  {
    VArchive ar("<FuzzStream>", in);
    for (int i = 0; i < 16 && ar.IsOK() && ar.GetRemaining() > 0; ++i) {
      ar >> stream.GetPtr();
      Require(strlen(stream->GetName()) < (size_t)SerializableStream::NameBufferSize);
      if (VMemoryStream* file = stream->GetMemoryStream()) Require((size_t)file->GetSize() <= size);
    }
  }
  in->Close();

  // Whatever was read writes out as one block that reads back to the same state.
  VSmartPtr<VMemoryStream> bytes = new VMemoryStream("<FuzzOut>");
  VMemoryOutStream* out = new VMemoryOutStream(bytes);
  {
    VArchive ar("<FuzzOut>", out);
    ar << stream.GetPtr();
  }
  out->Close();
  VSmartPtr<SerializableStream> copy = new SerializableStream("<Copy>");
  VMemoryInStream* back = new VMemoryInStream(bytes);
  {
    VArchive ar("<FuzzBack>", back);
    ar >> copy.GetPtr();
    Require(ar.IsOK() && ar.GetRemaining() == 0);
  }
  back->Close();
  Require(strcmp(copy->GetName(), stream->GetName()) == 0);
  const int original = stream->GetMemoryStream() ? stream->GetMemoryStream()->GetSize() : 0;
  const int copied = copy->GetMemoryStream() ? copy->GetMemoryStream()->GetSize() : 0;
  Require(original == copied);
  if (original > 0)
    Require(memcmp(stream->GetMemoryStream()->GetDataPtr(), copy->GetMemoryStream()->GetDataPtr(), (size_t)original) == 0);
  return 0;
}
