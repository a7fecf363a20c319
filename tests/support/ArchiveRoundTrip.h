// Test helpers for saved blocks: write/read round trips through memory archives,
// and a builder for hand-made little-endian byte fixtures. Owners read their blocks
// through SavedBlockReader: a fixture with a wrong tag, a version newer than the
// owner knows or a damaged field leaves the archive failed and the object as it was
// (LoadBytes then reports the failure). SavedBlockOwnersTest checks every owner so.
#pragma once

#include "engine/base/VArchive.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace archive_test {

typedef std::vector<uint8_t> Bytes;

// A loading archive over a copy of the bytes; closes archive and stream when it goes.
class ReadArchive {
 public:
  explicit ReadArchive(Bytes bytes)
      : m_bytes(std::move(bytes)), m_in(new VMemoryInStream(m_bytes.data(), m_bytes.size())), m_ar("<TestArchive>", m_in) {}
  ~ReadArchive() {
    m_ar.Close();
    m_in->Close();
  }
  ReadArchive(const ReadArchive&) = delete;
  ReadArchive& operator=(const ReadArchive&) = delete;
  VArchive& operator*() { return m_ar; }
  VArchive* operator->() { return &m_ar; }

 private:
  Bytes m_bytes;
  VMemoryInStream* m_in;
  VArchive m_ar;
};

// The bytes that save(ar) writes into a fresh archive.
template <class Save>
Bytes SaveBytes(Save&& save) {
  VSmartPtr<VMemoryStream> mem = new VMemoryStream("<TestArchive>");
  VMemoryOutStream* out = new VMemoryOutStream(mem);
  {
    VArchive ar("<TestArchive>", out);
    save(ar);
    ar.Close();
  }
  out->Close();
  return mem->GetBuffer();
}

// Runs load(ar) over the bytes; fails unless the archive stays OK and every byte is read.
template <class Load>
::testing::AssertionResult LoadBytes(const Bytes& bytes, Load&& load) {
  ReadArchive ar(bytes);
  load(*ar);
  if (!ar->IsOK()) return ::testing::AssertionFailure() << "the archive failed while reading";
  if (ar->GetRemaining() != 0)
    return ::testing::AssertionFailure() << ar->GetRemaining() << " of " << bytes.size() << " bytes left unread";
  return ::testing::AssertionSuccess();
}

inline std::string Hex(const Bytes& b, size_t from = 0, size_t count = 32) {
  std::string s;
  char buf[4];
  for (size_t i = from; i < b.size() && i < from + count; ++i) {
    snprintf(buf, sizeof(buf), "%02x ", b[i]);
    s += buf;
  }
  return s;
}

// Writes 'original' with save, reads the bytes into 'fresh' with load (the whole
// stream must be consumed), writes 'fresh' again and requires the same bytes.
// The first bytes go to *written when given, for comparison with a fixture.
template <class T, class Save, class Load>
::testing::AssertionResult RoundTrip(T& original, T& fresh, Save&& save, Load&& load, Bytes* written = nullptr) {
  Bytes first = SaveBytes([&](VArchive& ar) { save(original, ar); });
  ::testing::AssertionResult read = LoadBytes(first, [&](VArchive& ar) { load(fresh, ar); });
  if (!read) return read;
  Bytes second = SaveBytes([&](VArchive& ar) { save(fresh, ar); });
  if (written) *written = first;
  if (first == second) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
  return ::testing::AssertionFailure() << "written again, the bytes differ at offset " << at << " (sizes "
                                       << first.size() << " and " << second.size() << "): first "
                                       << Hex(first, at, 16) << "| second " << Hex(second, at, 16);
}

// For classes whose Serialize(VArchive&) both writes and reads.
template <class T>
::testing::AssertionResult RoundTripSerialize(T& original, T& fresh, Bytes* written = nullptr) {
  auto io = [](T& obj, VArchive& ar) { obj.Serialize(ar); };
  return RoundTrip(original, fresh, io, io, written);
}

// Builder of byte fixtures in the archive's forms.
class ByteWriter {
 public:
  ByteWriter& U8(uint8_t v) { m_b.push_back(v); return *this; }
  ByteWriter& I32(int32_t v) { return U32((uint32_t)v); }
  ByteWriter& U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) m_b.push_back((uint8_t)(v >> (8 * i)));
    return *this;
  }
  ByteWriter& I64(int64_t v) {
    for (int i = 0; i < 8; ++i) m_b.push_back((uint8_t)((uint64_t)v >> (8 * i)));
    return *this;
  }
  ByteWriter& F32(float v) {
    uint32_t u;
    memcpy(&u, &v, 4);
    return U32(u);
  }
  // An archive string: int32 count, then the bytes without a terminator.
  ByteWriter& Str(const std::string& s) {
    I32((int32_t)s.size());
    m_b.insert(m_b.end(), s.begin(), s.end());
    return *this;
  }
  ByteWriter& Raw(const std::string& s) {
    m_b.insert(m_b.end(), s.begin(), s.end());
    return *this;
  }
  const Bytes& Get() const { return m_b; }
  operator const Bytes&() const { return m_b; }  // NOLINT

 private:
  Bytes m_b;
};

}  // namespace archive_test
