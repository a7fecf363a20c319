// SerializableStream: its one in-memory file and its saved block.
#include "support/ArchiveRoundTrip.h"

#include "Managers/SaveGameManager.h"
#include "Managers/SerializableStream.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using archive_test::ByteWriter;
using archive_test::Bytes;
using archive_test::ReadArchive;

std::string ReadAll(IVFileStreamManager& manager) {
  IVFileInStream* in = manager.Open("ignored");
  if (!in) return "<none>";
  std::string text((size_t)in->GetSize(), '\0');
  text.resize(in->Read(text.data(), text.size()));
  in->Close();
  return text;
}

void WriteFile(IVFileStreamManager& manager, const char* name, const std::string& text) {
  IVFileOutStream* out = manager.Create(name);
  ASSERT_NE(out, nullptr);
  out->Write(text.data(), text.size());
  out->Close();
}

class SerializableStreamTest : public ::testing::Test {
 protected:
  void TearDown() override { SaveGameManagerProto::CleanInstance(); }
};

TEST_F(SerializableStreamTest, HoldsOneFileWhateverTheName) {
  VSmartPtr<SerializableStream> stream = new SerializableStream("<ShipStream>");
  EXPECT_STREQ(stream->GetName(), "<ShipStream>");
  EXPECT_EQ(stream->Open("anything"), nullptr);
  EXPECT_FALSE(stream->Exists("anything"));
  EXPECT_FALSE(stream->SetDataDirectory(0, "/tmp"));
  EXPECT_EQ(stream->GetNumDataDirectories(), 0);

  WriteFile(*stream, "first.bin", "one");
  VSmartPtr<VMemoryStream> first = stream->GetMemoryStream();
  EXPECT_STREQ(first->GetName(), "first.bin");
  EXPECT_EQ(ReadAll(*stream), "one");

  // A second file replaces the first, which loses the manager's reference.
  WriteFile(*stream, "second.bin", "two");
  EXPECT_EQ(first->GetRefCount(), 1);
  EXPECT_EQ(ReadAll(*stream), "two");

  // An engine archive written into it and read back, as ships keep their configuration.
  IVFileOutStream* out = stream->Create("config");
  {
    VArchive ar("<ShipArchive>", out, stream);
    ar << 42 << "hull";
    ar.Close();
  }
  out->Close();
  IVFileInStream* in = stream->Open("config");
  {
    VArchive ar("<ShipArchive>", in, stream);
    int value = 0;
    VString text;
    ar >> value >> text;
    EXPECT_EQ(value, 42);
    EXPECT_EQ(text, "hull");
  }
  in->Close();
}

TEST_F(SerializableStreamTest, BlockBytesAndRoundTrip) {
  SerializableStream original("<ShipStream>");
  WriteFile(original, "cfg", "abc");
  SerializableStream fresh("other");
  Bytes written;
  EXPECT_TRUE(archive_test::RoundTrip(
      original, fresh, [](SerializableStream& s, VArchive& ar) { ar << s; },
      [](SerializableStream& s, VArchive& ar) { ar >> &s; }, &written));
  EXPECT_EQ(written, ByteWriter().Str("ARCH").U8(1).Str("<ShipStream>").I32(3).Raw("abc").Str("EOA").Get());
  EXPECT_STREQ(fresh.GetName(), "<ShipStream>");
  // The file read back is named after the block's name.
  EXPECT_STREQ(fresh.GetMemoryStream()->GetName(), "<ShipStream>");
  EXPECT_EQ(ReadAll(fresh), "abc");

  // Without a file the block stores size 0, and reading it keeps the reader's file.
  SerializableStream empty("<Empty>");
  SerializableStream holder("holder");
  WriteFile(holder, "kept", "kept data");
  written = archive_test::SaveBytes([&](VArchive& ar) { empty.SerializeX(ar); });
  EXPECT_TRUE(archive_test::LoadBytes(written, [&](VArchive& ar) { holder.SerializeX(ar); }));
  EXPECT_EQ(written, ByteWriter().Str("ARCH").U8(1).Str("<Empty>").I32(0).Str("EOA").Get());
  EXPECT_STREQ(holder.GetName(), "<Empty>");
  EXPECT_EQ(ReadAll(holder), "kept data");
}

TEST_F(SerializableStreamTest, HostileBlocksFailCleanly) {
  const std::string longName(400, 'n');
  struct Case {
    const char* what;
    Bytes bytes;
    int64_t left;      // bytes left unread; -1: the archive fails
    const char* name;  // afterwards
    const char* data;
  } cases[] = {
      {"wrong start tag", ByteWriter().Str("ARCX").U8(1).Str("x").I32(1).Raw("d").Str("EOA"), -1, "old", "old data"},
      {"newer version", ByteWriter().Str("ARCH").U8(2).Str("x").I32(1).Raw("d").Str("EOA"), -1, "old", "old data"},
      {"wrong end tag", ByteWriter().Str("ARCH").U8(1).Str("x").I32(1).Raw("d").Str("EOX"), -1, "old", "old data"},
      {"negative size", ByteWriter().Str("ARCH").U8(1).Str("neg").I32(-5).Str("EOA"), 0, "neg", "old data"},
      {"size beyond the data", ByteWriter().Str("ARCH").U8(1).Str("big").I32(0x7FFFFFFF).Raw("abc"), -1, "old",
       "old data"},
      {"name count beyond the data", ByteWriter().Str("ARCH").U8(1).I32(0x7FFFFFF0).Raw("abc"), -1, "old",
       "old data"},
      {"truncated after the name", ByteWriter().Str("ARCH").U8(1).Str("cut").U8(1), -1, "old", "old data"},
      {"version 0 reads no field", ByteWriter().Str("ARCH").U8(0).Str("EOA"), 0, "old", "old data"},
      // A long name keeps its first 259 characters; the block stays aligned.
      {"long name", ByteWriter().Str("ARCH").U8(1).Str(longName).I32(2).Raw("ok").Str("EOA"), 0, nullptr, "ok"},
  };
  for (const Case& c : cases) {
    SerializableStream stream("old");
    WriteFile(stream, "old", "old data");
    ReadArchive ar(c.bytes);
    *ar >> stream;
    EXPECT_EQ(ar->IsOK(), c.left >= 0) << c.what;
    if (c.left >= 0) {
      EXPECT_EQ(ar->GetRemaining(), c.left) << c.what;
    }
    EXPECT_EQ(std::string(stream.GetName()), c.name ? c.name : longName.substr(0, 259)) << c.what;
    EXPECT_EQ(ReadAll(stream), c.data) << c.what;
  }
}

}  // namespace
