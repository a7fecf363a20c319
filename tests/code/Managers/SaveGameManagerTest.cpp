// SaveGameManagerProto: the documents folder and the saved-block tag checks.
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SaveGameManager, DocumentFolderComesFromTheEnvironment) {
  char out[V_DOCUMENT_FOLDER_SIZE];
  {
    ScopedEnv docs("ENGINE_DOCUMENTS_DIR", "/tmp/brinemark docs");
    EXPECT_EQ(SaveGameManagerProto::GetInstance()->GetMyDocumentFolder(out), 1);
    EXPECT_STREQ(out, "/tmp/brinemark docs");
  }
  {
    ScopedEnv docs("ENGINE_DOCUMENTS_DIR", std::string(5000, 'a').c_str());
    LogCapture log;
    EXPECT_EQ(SaveGameManagerProto::GetInstance()->GetMyDocumentFolder(out), 0);
    EXPECT_TRUE(log.Contains("GetMyDocumentFolder: Insufficient buffer"));
  }
  SaveGameManagerProto::CleanInstance();
}

// One archive string, written with the given count (a negative count reads as empty).
VMemoryStream* Tag(const char* text, int count) {
  VMemoryStream* stream = new VMemoryStream("tag");
  stream->AppendBytes(&count, 4);
  if (count > 0) stream->AppendBytes(text, count);
  return stream;
}

TEST(SaveGameManager, BlockTagsMustMatchExactly) {
  struct Case {
    const char* text;
    int count;
    int start, end;
  } cases[] = {
      {"ARCH", 4, 1, 0}, {"EOA", 3, 0, 1},   {"arch", 4, 0, 0}, {"ARCHX", 5, 0, 0},
      {"ARC", 3, 0, 0},  {"", -1, 0, 0},     {"EOA", 2, 0, 0},
  };
  SaveGameManagerProto* manager = SaveGameManagerProto::GetInstance();
  for (const Case& c : cases) {
    for (int which = 0; which < 2; ++which) {
      VSmartPtr<VMemoryStream> stream = Tag(c.text, c.count);
      VMemoryInStream* in = new VMemoryInStream(stream);
      {
        VArchive ar("tag", in);
        const int result = which == 0 ? manager->CheckArchiveStartTag(ar) : manager->CheckArchiveEndTag(ar);
        EXPECT_EQ(result, which == 0 ? c.start : c.end) << c.text << " " << c.count;
      }
      in->Close();
    }
  }
  // A stream that ends before the tag does not pass either.
  VMemoryInStream* empty = new VMemoryInStream("", 0);
  {
    VArchive ar("empty", empty);
    EXPECT_EQ(manager->CheckArchiveStartTag(ar), 0);
  }
  empty->Close();
  SaveGameManagerProto::CleanInstance();
}

}  // namespace
