#include "engine/base/DynArray.h"
#include "engine/base/VArchive.h"
#include "engine/base/VRefCounter.h"
#include "engine/base/VStreams.h"

#include <gtest/gtest.h>

namespace {
struct Counted : VRefCounter {
  int* deletions;
  explicit Counted(int* d) : deletions(d) {}
  ~Counted() override { ++*deletions; }
};

// A resource that goes back to a pool instead of being deleted.
struct Pooled : VRefCounter {
  bool* returned;
  explicit Pooled(bool* r) : returned(r) {}
  void DeleteThis() override { *returned = true; }
};
}  // namespace

TEST(DynArray, IndexAccessGrowsWithNullSlotsAndValidSizeEndsAtTheLastEntry) {
  int a = 1, b = 2;
  DynArray_cl<int*> arr(4);
  EXPECT_EQ(arr.GetSize(), 4u);
  EXPECT_EQ(arr.GetValidSize(), 0u);
  arr[10] = &a;
  EXPECT_EQ(arr.GetSize(), 11u);
  EXPECT_EQ(arr[5], nullptr);
  EXPECT_EQ(arr.GetValidSize(), 11u);
  // Get never grows.
  EXPECT_EQ(arr.Get(500), nullptr);
  EXPECT_EQ(arr.GetSize(), 11u);
  // Inserts fill the first free slot.
  EXPECT_EQ(arr.Insert(&b), 0u);
  EXPECT_EQ(arr.Insert(&b), 1u);
  arr[10] = nullptr;
  EXPECT_EQ(arr.GetValidSize(), 2u);
  arr.Resize(1);
  EXPECT_EQ(arr.GetSize(), 1u);
  EXPECT_EQ(arr.Insert(&a), 1u);
}

TEST(DynArray, DefaultValueMarksFreeSlots) {
  DynArray_cl<float> rep(3, -1.0f);
  EXPECT_EQ(rep[7], -1.0f);
  rep[2] = 0.0f;
  EXPECT_EQ(rep.GetValidSize(), 3u);
  EXPECT_EQ(rep.GetFreePos(), 0u);
}

TEST(VPList, AppendFindRemoveAndTruncate) {
  int a = 0, b = 0, c = 0;
  VPList<int> list;
  list.Reserve(16);
  EXPECT_GE(list.GetCapacity(), 16);
  list.Append(&a);
  list.Append(&c);
  list.Insert(&b, 1);
  EXPECT_EQ(list.GetLength(), 3);
  EXPECT_EQ(list.Find(&b), 1);
  EXPECT_TRUE(list.Remove(&a));
  EXPECT_FALSE(list.Remove(&a));
  EXPECT_EQ(list.Get(0), &b);
  list.Truncate(5);
  EXPECT_EQ(list.GetLength(), 2);
  list.Truncate(1);
  EXPECT_EQ(list.GetLength(), 1);
}

TEST(VRefCounter, DeletedWhenTheLastReferenceGoes) {
  int deletions = 0;
  Counted* obj = new Counted(&deletions);
  {
    VSmartPtr<Counted> p1 = obj;
    VSmartPtr<Counted> p2 = p1;
    EXPECT_EQ(obj->GetRefCount(), 2);
    VSmartPtr<Counted> p3(std::move(p2));
    EXPECT_EQ(p2.GetPtr(), nullptr);
    EXPECT_EQ(obj->GetRefCount(), 2);
    p1 = p1;  // self-assignment keeps the object
    p1 = obj;
    EXPECT_EQ(obj->GetRefCount(), 2);
    EXPECT_EQ(deletions, 0);
    p1 = nullptr;
    EXPECT_EQ(obj->GetRefCount(), 1);
  }
  EXPECT_EQ(deletions, 1);

  // A copy of a counted object starts with no references of its own.
  int copies = 0;
  Counted original(&copies);
  original.AddRef();
  Counted* copy = new Counted(original);
  EXPECT_EQ(copy->GetRefCount(), 0);
  copy->AddRef();
  copy->Release();
  EXPECT_EQ(copies, 1);
}

TEST(VRefCounter, ReleaseGoesThroughDeleteThis) {
  bool returned = false;
  Pooled p(&returned);
  p.AddRef();
  p.Release();
  EXPECT_TRUE(returned);
}

TEST(VMemoryStream, InStreamSeesBytesAppendedLaterAndSeeksWithinBounds) {
  VSmartPtr<VMemoryStream> mem = new VMemoryStream("<ShipArchive>", 4);
  VMemoryOutStream* out = new VMemoryOutStream(mem);
  VMemoryInStream* in = new VMemoryInStream(mem);
  EXPECT_STREQ(in->GetFileName(), "<ShipArchive>");
  EXPECT_EQ(out->Write("abc", 3), 3u);
  char buf[8] = {};
  EXPECT_EQ(in->Read(buf, 8), 3u);
  // The buffer grows (and moves) past its first block.
  std::string more(100, 'x');
  out->Write(more.data(), more.size());
  EXPECT_EQ(in->GetSize(), 103);
  EXPECT_EQ(in->Read(buf, 2), 2u);
  EXPECT_EQ(buf[0], 'x');
  EXPECT_TRUE(in->SetPos(-1, 2));
  EXPECT_EQ(in->GetPos(), 102);
  EXPECT_FALSE(in->SetPos(1, 2));
  EXPECT_FALSE(in->SetPos(-200, 1));
  EXPECT_EQ(in->GetPos(), 102);
  EXPECT_TRUE(in->SetPos(1, 1));
  EXPECT_TRUE(in->IsEOF());
  EXPECT_EQ(in->Read(buf, 1), 0u);
  in->Close();
  out->Close();
  EXPECT_EQ(mem->GetRefCount(), 1);
}

TEST(VMemoryStream, InStreamOverCallerBytes) {
  const char data[] = "hello";
  VMemoryInStream* in = new VMemoryInStream(data, 5, "<mem>");
  char buf[8] = {};
  EXPECT_EQ(in->Read(buf, 3), 3u);
  EXPECT_EQ(in->Read(buf, 8), 2u);
  EXPECT_EQ(std::string(buf, 2), "lo");
  in->Close();
  VMemoryInStream* none = new VMemoryInStream(nullptr, 10);
  EXPECT_EQ(none->GetSize(), 0);
  EXPECT_EQ(none->Read(buf, 1), 0u);
  none->Close();
}

// The pattern of the game's stream users: close the archive, then the stream.
TEST(VMemoryStream, CloseGivesUpTheCreatorsReferenceOnce) {
  VSmartPtr<VMemoryStream> mem = new VMemoryStream("<TownArchive>");
  VMemoryOutStream* out = new VMemoryOutStream(mem);
  EXPECT_EQ(out->GetRefCount(), 1);
  {
    VArchive ar("<TownArchive>", out);
    ar << 7;
    out->Close();
    out->Close();  // a second Close must not take the archive's reference
    EXPECT_EQ(out->GetRefCount(), 1);
    EXPECT_EQ(out->Write("x", 1), 0u);  // closed: writes nothing
  }  // the archive's reference was the last one
  EXPECT_EQ(mem->GetSize(), 4);
  EXPECT_EQ(mem->GetRefCount(), 1);
}
