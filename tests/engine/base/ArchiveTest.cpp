#include "engine/base/VArchive.h"

#include "engine/base/VisMath.h"
#include "support/ArchiveRoundTrip.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using archive_test::Bytes;
using archive_test::ByteWriter;

namespace {

// A saved object with a name, a number and a reference to another object.
class ArchiveTestNode : public VTypedObject {
  V_DECLARE_DYNCREATE(ArchiveTestNode)
 public:
  VString m_name;
  int m_value = 0;
  VTypedObject* m_link = nullptr;
  void Serialize(VArchive& ar) override {
    if (ar.IsSaving()) {
      ar << m_name << m_value;
      ar.WriteObject(m_link);
    } else {
      ar >> m_name >> m_value;
      m_link = ar.ReadObject();
    }
  }
};
V_IMPLEMENT_DYNCREATE(ArchiveTestNode, VTypedObject)

class ArchiveTestLeaf : public ArchiveTestNode {
  V_DECLARE_DYNCREATE(ArchiveTestLeaf)
};
V_IMPLEMENT_DYNCREATE(ArchiveTestLeaf, ArchiveTestNode)

class ArchiveTestOther : public VTypedObject {
  V_DECLARE_DYNCREATE(ArchiveTestOther)
};
V_IMPLEMENT_DYNCREATE(ArchiveTestOther, VTypedObject)

// Registered but not creatable: must never come out of a file.
class ArchiveTestAbstract : public VTypedObject {
  V_DECLARE_DYNAMIC(ArchiveTestAbstract)
};
V_IMPLEMENT_DYNAMIC(ArchiveTestAbstract, VTypedObject)

// Deletes what a read created.
void DeleteLoaded(VArchive& ar) {
  for (VTypedObject* o : ar.GetLoadedObjects()) delete o;
}

}  // namespace

TEST(VArchive, PrimitivesHaveTheirLittleEndianForms) {
  struct Case { const char* what; std::function<void(VArchive&)> write; Bytes bytes; };
  const Case cases[] = {
      {"char", [](VArchive& ar) { ar << (char)-2; }, {0xfe}},
      {"bool", [](VArchive& ar) { ar << true << false; }, {1, 0}},
      {"int", [](VArchive& ar) { ar << (int)-2; }, {0xfe, 0xff, 0xff, 0xff}},
      {"uint", [](VArchive& ar) { ar << 0x01020304u; }, {4, 3, 2, 1}},
      {"int64", [](VArchive& ar) { ar << (int64_t)0x0102030405060708; }, {8, 7, 6, 5, 4, 3, 2, 1}},
      {"float", [](VArchive& ar) { ar << 1.0f; }, {0, 0, 0x80, 0x3f}},
      {"double", [](VArchive& ar) { ar << 2.0; }, {0, 0, 0, 0, 0, 0, 0, 0x40}},
      {"string", [](VArchive& ar) { ar << "ab"; }, ByteWriter().I32(2).Raw("ab")},
      {"VString", [](VArchive& ar) { ar << VString("xyz"); }, ByteWriter().I32(3).Raw("xyz")},
      {"empty VString", [](VArchive& ar) { ar << VString(); }, ByteWriter().I32(0)},
      {"null text", [](VArchive& ar) { ar << (const char*)nullptr; }, ByteWriter().I32(-1)},
      {"vector", [](VArchive& ar) { ar << VisVector_cl(1, 2, 3, 4); },
       ByteWriter().F32(1).F32(2).F32(3).F32(4)},
  };
  for (const Case& c : cases) EXPECT_EQ(archive_test::SaveBytes(c.write), c.bytes) << c.what;
}

TEST(VArchive, PrimitivesReadBackAndConsumeTheStream) {
  Bytes b = archive_test::SaveBytes([](VArchive& ar) {
    ar << (char)-16 << true << -123456 << 4000000000u << (int64_t)-9007199254740993 << (uint64_t)~0ull << 0.1f
       << 1e300 << "Cannon" << VisVector_cl(1.5f, -2, 3, 0.25f);
  });
  char c = 0;
  bool flag = false;
  int i = 0;
  unsigned u = 0;
  int64_t l = 0;
  uint64_t ul = 0;
  float f = 0;
  double d = 0;
  VString s;
  VisVector_cl v;
  ASSERT_TRUE(archive_test::LoadBytes(b, [&](VArchive& ar) { ar >> c >> flag >> i >> u >> l >> ul >> f >> d >> s >> v; }));
  // The version byte compares as signed.
  EXPECT_LT(c, 0);
  EXPECT_EQ(c, -16);
  EXPECT_TRUE(flag);
  EXPECT_EQ(i, -123456);
  EXPECT_EQ(u, 4000000000u);
  EXPECT_EQ(l, -9007199254740993);
  EXPECT_EQ(ul, ~0ull);
  EXPECT_EQ(f, 0.1f);
  EXPECT_EQ(d, 1e300);
  EXPECT_EQ(s, "Cannon");
  // w carries data too (damage marks store four values).
  EXPECT_EQ(v.x, 1.5f);
  EXPECT_EQ(v.y, -2.0f);
  EXPECT_EQ(v.z, 3.0f);
  EXPECT_EQ(v.w, 0.25f);
}

TEST(VArchive, NegativeStringCountReadsAsEmptyAndStaysOk) {
  Bytes b = ByteWriter().I32(-1).I32(-77).Str("after");
  VString a("old"), c("old"), after;
  ASSERT_TRUE(archive_test::LoadBytes(b, [&](VArchive& ar) { ar >> a >> c >> after; }));
  EXPECT_TRUE(a.IsEmpty());
  EXPECT_TRUE(c.IsEmpty());
  EXPECT_EQ(after, "after");
}

TEST(VArchive, ReadsPastTheEndGiveZerosAndFailForGood) {
  Bytes b = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  archive_test::ReadArchive ar(b);
  int first = 0, second = 7;
  float f = 3;
  VString s("old");
  bool flag = true;
  *ar >> first >> second;
  EXPECT_EQ(first, 0x04030201);
  EXPECT_EQ(second, 0);  // two bytes left: no half-filled value
  EXPECT_FALSE(ar->IsOK());
  *ar >> f >> s >> flag;
  EXPECT_EQ(f, 0.0f);
  EXPECT_TRUE(s.IsEmpty());
  EXPECT_FALSE(flag);
  EXPECT_EQ(ar->ReadObject(), nullptr);
}

TEST(VArchive, RawReadReturnsTheBytesReadAndZeroFillsTheRest) {
  Bytes b = {9, 8, 7};
  archive_test::ReadArchive ar(b);
  uint8_t buf[4] = {0xaa, 0xaa, 0xaa, 0xaa};
  EXPECT_EQ(ar->Read(buf, 2, "s"), 2u);
  EXPECT_TRUE(ar->IsOK());
  EXPECT_EQ(ar->GetRemaining(), 1);
  memset(buf, 0xaa, sizeof(buf));
  EXPECT_EQ(ar->Read(buf, 4, "i"), 1u);
  EXPECT_EQ(buf[0], 7);
  EXPECT_EQ(buf[1], 0);
  EXPECT_EQ(buf[3], 0);
  EXPECT_FALSE(ar->IsOK());
}

TEST(VArchive, StringCountBeyondTheRemainingBytesFailsWithoutAllocating) {
  for (int32_t count : {5, 0x7fffffff}) {
    Bytes b = ByteWriter().I32(count).Raw("abcd");
    archive_test::ReadArchive ar(b);
    VString s("old");
    *ar >> s;
    EXPECT_FALSE(ar->IsOK()) << count;
    EXPECT_TRUE(s.IsEmpty()) << count;

    archive_test::ReadArchive ar2(b);
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(ar2->ReadStringBinary(buf, sizeof(buf)), -1) << count;
    EXPECT_STREQ(buf, "");
    EXPECT_FALSE(ar2->IsOK());
  }
}

TEST(VArchive, ReadStringBinaryTruncatesToTheBufferAndSkipsTheRest) {
  Bytes b = ByteWriter().Str("Frigate").I32(-1).Str("next");
  archive_test::ReadArchive ar(b);
  char buf[4];
  EXPECT_EQ(ar->ReadStringBinary(buf, sizeof(buf)), 7);
  EXPECT_STREQ(buf, "Fri");
  EXPECT_EQ(ar->ReadStringBinary(buf, sizeof(buf)), -1);
  EXPECT_STREQ(buf, "");
  VString next;
  *ar >> next;
  EXPECT_EQ(next, "next");
  EXPECT_TRUE(ar->IsOK());
}

TEST(VArchive, ArchiveVersionValidity) {
  const int current = Vision::GetArchiveVersion();
  EXPECT_GE(current, 1);
  for (int v = 1; v <= current; ++v) EXPECT_TRUE(Vision::IsValidArchive(v)) << v;
  for (int v : {0, -1, current + 1, 0x7fffffff}) EXPECT_FALSE(Vision::IsValidArchive(v)) << v;
}

TEST(VArchive, ObjectReferencesHaveTheirForms) {
  ArchiveTestNode node;
  node.m_name = "n";
  node.m_value = 5;
  Bytes b = archive_test::SaveBytes([&](VArchive& ar) {
    ar.WriteObject(nullptr);
    ar << &node;
    ar << &node;
  });
  Bytes expected = ByteWriter()
                       .I32(-1)
                       .I32(-2).Str("ArchiveTestNode").Str("n").I32(5).I32(-1)
                       .I32(0);
  EXPECT_EQ(b, expected);
}

TEST(VArchive, ObjectReferencesKeepIdentityThroughCycles) {
  // a -> b -> a, a second reference to b, and a node that links to itself.
  ArchiveTestNode a, self;
  ArchiveTestLeaf b;
  a.m_name = "a";
  b.m_name = "b";
  a.m_link = &b;
  b.m_link = &a;
  self.m_link = &self;
  auto save = [&](VArchive& ar) { ar << &a << &b << &self; };
  Bytes bytes = archive_test::SaveBytes(save);

  archive_test::ReadArchive ar(bytes);
  ArchiveTestNode *ra = nullptr, *rb = nullptr, *rself = nullptr;
  *ar >> ra >> rb >> rself;
  ASSERT_TRUE(ar->IsOK());
  EXPECT_EQ(ar->GetRemaining(), 0);
  ASSERT_TRUE(ra && rb && rself);
  EXPECT_EQ(ra->m_name, "a");
  EXPECT_EQ(ra->m_link, rb);
  EXPECT_EQ(rb->m_link, ra);
  EXPECT_TRUE(rb->IsExactType(V_RUNTIME_CLASS(ArchiveTestLeaf)));
  EXPECT_EQ(rself->m_link, rself);
  EXPECT_EQ(ar->GetLoadedObjects().size(), 3u);

  // Written again, the copies give the same bytes.
  EXPECT_EQ(archive_test::SaveBytes([&](VArchive& w) { w << ra << rb << rself; }), bytes);
  DeleteLoaded(*ar);
}

TEST(VArchive, ObjectOfAnotherTypeThanExpectedReadsAsNullWithAWarning) {
  ArchiveTestOther other;
  Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar << &other; });
  LogCapture log;
  archive_test::ReadArchive ar(bytes);
  ArchiveTestNode* node = reinterpret_cast<ArchiveTestNode*>(1);
  *ar >> node;
  EXPECT_EQ(node, nullptr);
  EXPECT_TRUE(log.Contains("ArchiveTestOther"));
  EXPECT_TRUE(ar->GetLoadedObjects().empty());
  // Its data could not be skipped: nothing after it can be trusted.
  EXPECT_FALSE(ar->IsOK());
}

TEST(VArchive, LaterReferenceOfAnotherTypeReadsAsNullAndTheArchiveGoesOn) {
  ArchiveTestOther other;
  Bytes bytes = archive_test::SaveBytes([&](VArchive& ar) { ar << &other << &other << 42; });
  LogCapture log;
  archive_test::ReadArchive ar(bytes);
  ArchiveTestOther* first = nullptr;
  ArchiveTestNode* second = nullptr;
  int tail = 0;
  *ar >> first >> second >> tail;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(second, nullptr);
  EXPECT_TRUE(log.Contains("expected"));
  EXPECT_EQ(tail, 42);
  EXPECT_TRUE(ar->IsOK());
  DeleteLoaded(*ar);
}

TEST(VArchive, OnlyRegisteredCreatableClassesComeOutOfAFile) {
  struct Case { const char* what; Bytes bytes; };
  const Case cases[] = {
      {"unknown class", ByteWriter().I32(-2).Str("NoSuchClass")},
      {"class that cannot be created", ByteWriter().I32(-2).Str("ArchiveTestAbstract")},
      {"null class name", ByteWriter().I32(-2).I32(-1)},
      {"index never seen", ByteWriter().I32(0)},
      {"unknown tag", ByteWriter().I32(-5)},
      {"class name beyond the file", ByteWriter().I32(-2).I32(1000)},
  };
  for (const Case& c : cases) {
    LogCapture log;
    archive_test::ReadArchive ar(c.bytes);
    EXPECT_EQ(ar->ReadObject(), nullptr) << c.what;
    EXPECT_FALSE(ar->IsOK()) << c.what;
    EXPECT_TRUE(ar->GetLoadedObjects().empty()) << c.what;
  }
}

TEST(VArchive, ClassNamesInAFileMatchWithoutRegardToCase) {
  Bytes bytes = ByteWriter().I32(-2).Str("archivetestnode").Str("x").I32(1).I32(-1);
  VTypedObject* obj = nullptr;
  ASSERT_TRUE(archive_test::LoadBytes(bytes, [&](VArchive& ar) {
    obj = ar.ReadObject(V_RUNTIME_CLASS(ArchiveTestNode));
  }));
  ASSERT_NE(obj, nullptr);
  EXPECT_TRUE(obj->IsExactType(V_RUNTIME_CLASS(ArchiveTestNode)));
  delete obj;
}

TEST(VArchive, DeeplyNestedObjectsInAHostileFileStopAtTheLimit) {
  ByteWriter w;
  for (int i = 0; i < VArchive::MaxObjectDepth + 10; ++i) w.I32(-2).Str("ArchiveTestNode").Str("").I32(i);
  w.I32(-1);
  archive_test::ReadArchive ar(w.Get());
  ar->ReadObject();
  EXPECT_FALSE(ar->IsOK());
  EXPECT_EQ((int)ar->GetLoadedObjects().size(), VArchive::MaxObjectDepth);
  DeleteLoaded(*ar);
}

TEST(VArchive, WritingToAClosedOrMissingStreamFails) {
  VArchive none("<None>", (IVFileOutStream*)nullptr);
  none << 1;
  EXPECT_FALSE(none.IsOK());

  VSmartPtr<VMemoryStream> mem = new VMemoryStream("<Closed>");
  VMemoryOutStream* out = new VMemoryOutStream(mem);
  VArchive ar("<Closed>", out);
  ar << 1;
  ar.Close();
  out->Close();
  EXPECT_TRUE(ar.IsOK());
  ar << 2;
  EXPECT_FALSE(ar.IsOK());
  EXPECT_EQ(mem->GetSize(), 4);
}
