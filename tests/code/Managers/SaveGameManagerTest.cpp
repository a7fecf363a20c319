// SaveGameManagerProto: the documents folder and the saved-block tag checks.
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"
#include "support/ScopedEnv.h"

#include "Managers/SaveGameManager.h"
#include "engine/Vision.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;
using archive_test::LoadBytes;
using archive_test::ReadArchive;
using archive_test::SaveBytes;

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

// One archive string with the given count (which may disagree with the text).
Bytes Tag(const std::string& text, int count) {
  ByteWriter w;
  w.I32(count).Raw(text);
  return w;
}

TEST(SaveGameManager, BlockTagsMatchAsCStringsAndConsumeTheirBytes) {
  struct Case {
    std::string text;
    int count;
    int start, end;
    int64_t consumed;  // -1: the archive fails
  } cases[] = {
      {"ARCH", 4, 1, 0, 8},
      {"EOA", 3, 0, 1, 7},
      {"arch", 4, 0, 0, 8},
      {"ARCHX", 5, 0, 0, 9},
      {"ARC", 3, 0, 0, 7},
      {"EOA", 2, 0, 0, 6},
      {"", 0, 0, 0, 4},
      // A negative count is a null string: nothing after the count is read.
      {"ARCH", -1, 0, 0, 4},
      // The comparison stops at a zero byte inside the text.
      {std::string("ARCH\0xyz", 8), 8, 1, 0, 12},
      {std::string("EOA\0", 4), 4, 0, 1, 8},
      {std::string(300, 'A'), 300, 0, 0, 304},
      // Counts beyond the bytes that remain fail cleanly, without allocating.
      {"ARCH", 6, 0, 0, -1},
      {"ARCH", 0x7FFFFFFF, 0, 0, -1},
  };
  SaveGameManagerProto* manager = SaveGameManagerProto::GetInstance();
  for (const Case& c : cases) {
    for (int which = 0; which < 2; ++which) {
      Bytes bytes = Tag(c.text, c.count);
      bytes.push_back(0x5A);  // the next field of the archive
      ReadArchive ar(bytes);
      const int result = which == 0 ? manager->CheckArchiveStartTag(*ar) : manager->CheckArchiveEndTag(*ar);
      EXPECT_EQ(result, which == 0 ? c.start : c.end) << c.text << " " << c.count;
      if (c.consumed < 0) {
        EXPECT_FALSE(ar->IsOK()) << c.text << " " << c.count;
      } else {
        EXPECT_TRUE(ar->IsOK()) << c.text << " " << c.count;
        EXPECT_EQ((int64_t)bytes.size() - ar->GetRemaining(), c.consumed) << c.text << " " << c.count;
      }
    }
  }
  // Too few bytes for the count itself.
  for (size_t n = 0; n < 4; ++n) {
    ReadArchive ar(Bytes(n, 0));
    EXPECT_EQ(manager->CheckArchiveStartTag(*ar), 0) << n;
  }
  SaveGameManagerProto::CleanInstance();
}

// A block owner as every SerializeX is written: version 1 wrote a, version 2 added
// b, version 3 added c.
struct VersionedRecord {
  char version = 3;
  int a = 0;
  float b = 0;
  VString c;
  bool endMatched = false;

  void SerializeX(VArchive& ar) {
    if (ar.IsSaving()) {
      SaveGameManagerProto::BeginBlock(ar, version);
      ar << a;
      if (version >= 2) ar << b;
      if (version >= 3) ar << c;
      SaveGameManagerProto::EndBlock(ar);
      return;
    }
    char stored = 0;
    if (!SaveGameManagerProto::ReadBlockStart(ar, stored)) return;
    if (stored >= 1) ar >> a;
    if (stored >= 2) ar >> b;
    if (stored >= 3) ar >> c;
    endMatched = SaveGameManagerProto::ReadBlockEnd(ar);
  }
};

TEST(SaveGameManager, BlocksAreReadFieldByVersion) {
  // Version 1 with one int 5: the framing byte for byte.
  VersionedRecord v1;
  v1.version = 1;
  v1.a = 5;
  const Bytes bytes = SaveBytes([&](VArchive& ar) { v1.SerializeX(ar); });
  EXPECT_EQ(bytes, (Bytes{0x04, 0, 0, 0, 'A', 'R', 'C', 'H', 0x01, 0x05, 0, 0, 0, 0x03, 0, 0, 0, 'E', 'O', 'A'}));

  // A newer reader takes the version-1 field and keeps its own later ones.
  VersionedRecord reader;
  reader.b = 2.5f;
  reader.c = "kept";
  EXPECT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { reader.SerializeX(ar); }));
  EXPECT_EQ(reader.a, 5);
  EXPECT_EQ(reader.b, 2.5f);
  EXPECT_EQ(reader.c, "kept");
  EXPECT_TRUE(reader.endMatched);

  // A block of a newer version than the reader knows is read with its newest fields;
  // the fields it does not know are left, and the end tag then does not match.
  Bytes newer = ByteWriter().Str("ARCH").U8(4).I32(7).F32(1.5f).Str("new").I32(99).Str("EOA");
  VersionedRecord fresh;
  ReadArchive ar(newer);
  fresh.SerializeX(*ar);
  EXPECT_EQ(fresh.a, 7);
  EXPECT_EQ(fresh.b, 1.5f);
  EXPECT_EQ(fresh.c, "new");
  EXPECT_FALSE(fresh.endMatched);

  // A block that does not start with "ARCH" leaves the object as it was, and a
  // negative version reads no field.
  for (const Bytes& bad : {ByteWriter().Str("ARCX").U8(1).I32(7).Str("EOA").Get(),
                           ByteWriter().Str("ARCH").U8(0x80).I32(7).Str("EOA").Get()}) {
    VersionedRecord untouched;
    untouched.a = 1;
    ReadArchive in(bad);
    untouched.SerializeX(*in);
    EXPECT_EQ(untouched.a, 1);
    EXPECT_FALSE(untouched.endMatched);
  }
}

TEST(SaveGameManager, BlockStartGivesTheVersionOnlyAfterArch) {
  char version = 9;
  {
    ReadArchive ar(ByteWriter().Str("EOA").U8(3).Get());
    EXPECT_FALSE(SaveGameManagerProto::ReadBlockStart(*ar, version));
    EXPECT_EQ(version, 0);
    EXPECT_EQ(ar->GetRemaining(), 1);  // the version byte is left unread
  }
  {
    // The tag matches but the archive ends before the version.
    ReadArchive ar(ByteWriter().Str("ARCH").Get());
    version = 9;
    EXPECT_TRUE(SaveGameManagerProto::ReadBlockStart(*ar, version));
    EXPECT_EQ(version, 0);
    EXPECT_FALSE(ar->IsOK());
  }
}

}  // namespace
