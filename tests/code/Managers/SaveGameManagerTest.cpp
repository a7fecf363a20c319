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
// b, version 3 added c; a nested record follows from version 3.
struct VersionedRecord {
  char version = 3;
  int a = 0;
  float b = 0;
  VString c;

  bool SerializeX(VArchive& ar) {
    if (ar.IsSaving()) {
      SaveGameManagerProto::BeginBlock(ar, version);
      ar << a;
      if (version >= 2) ar << b;
      if (version >= 3) ar << c;
      SaveGameManagerProto::EndBlock(ar);
      return true;
    }
    SavedBlockReader block(ar, "VersionedRecord", 3);
    if (!block.IsOpen()) return false;
    VersionedRecord r(*this);
    if (block.Has(1)) ar >> r.a;
    if (block.Has(2)) ar >> r.b;
    if (block.Has(3)) ar >> r.c;
    if (!block.End()) return false;
    *this = r;
    return true;
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
  bool whole = false;
  EXPECT_TRUE(LoadBytes(bytes, [&](VArchive& ar) { whole = reader.SerializeX(ar); }));
  EXPECT_TRUE(whole);
  EXPECT_EQ(reader.a, 5);
  EXPECT_EQ(reader.b, 2.5f);
  EXPECT_EQ(reader.c, "kept");
}

TEST(SaveGameManager, ABadBlockFailsTheArchiveAndChangesNothing) {
  struct Case {
    const char* what;
    Bytes bytes;
    const char* logged;  // null: nothing new is logged
  } cases[] = {
      {"newer version", ByteWriter().Str("ARCH").U8(4).I32(7).F32(1.5f).Str("new").I32(99).Str("EOA"),
       "VersionedRecord: the saved block has version 4, this game reads versions up to 3"},
      {"negative version", ByteWriter().Str("ARCH").U8(0x80).I32(7).Str("EOA"), "has version -128"},
      {"wrong start tag", ByteWriter().Str("ARCX").U8(1).I32(7).Str("EOA"), "does not start with ARCH"},
      {"wrong end tag", ByteWriter().Str("ARCH").U8(1).I32(7).Str("EOB"), "(version 1) does not end with EOA"},
      {"extra field before the end tag", ByteWriter().Str("ARCH").U8(1).I32(7).I32(8).Str("EOA"),
       "does not end with EOA"},
      {"no version", ByteWriter().Str("ARCH"), "ends before its version"},
      {"cut short", ByteWriter().Str("ARCH").U8(2).I32(7).U8(0), nullptr},
  };
  for (const Case& c : cases) {
    VersionedRecord record;
    record.a = 1;
    record.b = 2.0f;
    record.c = "old";
    LogCapture log;
    ReadArchive ar(c.bytes);
    EXPECT_FALSE(record.SerializeX(*ar)) << c.what;
    EXPECT_FALSE(ar->IsOK()) << c.what;
    EXPECT_EQ(record.a, 1) << c.what;
    EXPECT_EQ(record.b, 2.0f) << c.what;
    EXPECT_EQ(record.c, "old") << c.what;
    if (c.logged) {
      EXPECT_EQ(log.Matching("VersionedRecord").size(), 1u) << c.what;
      EXPECT_TRUE(log.Contains(c.logged)) << c.what;
    } else {
      EXPECT_TRUE(log.Matching("VersionedRecord").empty()) << c.what;
    }
  }
}

TEST(SaveGameManager, NestedBlocksStopAtTheFirstFailure) {
  // Two records back to back inside an outer block; the first one's end tag is bad.
  const Bytes bytes = ByteWriter()
                          .Str("ARCH").U8(1)
                          .Str("ARCH").U8(1).I32(7).Str("EOX")
                          .Str("ARCH").U8(1).I32(8).Str("EOA")
                          .Str("EOA");
  ReadArchive ar(bytes);
  LogCapture log;
  VersionedRecord first, second;
  SavedBlockReader outer(*ar, "Outer", 1);
  ASSERT_TRUE(outer.IsOpen());
  EXPECT_FALSE(first.SerializeX(*ar));
  // An archive that has failed opens no further block and logs nothing more.
  EXPECT_FALSE(second.SerializeX(*ar));
  EXPECT_FALSE(outer.End());
  EXPECT_EQ(first.a, 0);
  EXPECT_EQ(second.a, 0);
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(log.Contains("VersionedRecord: the saved block (version 1) does not end with EOA"));
}

}  // namespace
