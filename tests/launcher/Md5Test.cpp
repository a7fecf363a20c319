// MD5 of memory and of files.
#include "Md5.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

TEST(Md5Test, KnownDigests) {
  struct Case {
    std::string text, hex;
  };
  const Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      {std::string("a\0b", 3), "70350f6027bce3713f6b76473084309b"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.hex, Md5Hex(c.text.data(), c.text.size())) << c.text;
}

TEST(Md5Test, FilesAndUnreadablePaths) {
  char dir[] = "/tmp/md5testXXXXXX";
  ASSERT_NE(nullptr, mkdtemp(dir));
  std::string path = std::string(dir) + "/data.bin";
  // Larger than one read, so the digest has to run over several chunks.
  std::string bytes;
  for (int i = 0; i < 200000; ++i) bytes += (char)(i * 7 + (i >> 8));
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);

  EXPECT_EQ(Md5Hex(bytes), FileMd5Hex(path));
  EXPECT_EQ(32u, FileMd5Hex(path).size());
  EXPECT_EQ("-1", FileMd5Hex(path + ".missing"));
  EXPECT_EQ("-1", FileMd5Hex(dir));  // a folder opens but cannot be read
  EXPECT_EQ("-1", FileMd5Hex(""));

  unlink(path.c_str());
  rmdir(dir);
}

}  // namespace
