// The update check: the form, the reply, update.bin and the exchange with a server.
#include "Md5.h"
#include "UpdateCheck.h"

#include "engine/os/VOs.h"
#include "support/LocalHttpServer.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

const char kDefaultKey[] = "q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go";

class UpdateCheckTest : public testing::Test {
 protected:
  void SetUp() override {
    char dir[] = "/tmp/updatecheckXXXXXX";
    ASSERT_NE(nullptr, mkdtemp(dir));
    documents = dir;
    docsEnv = std::make_unique<ScopedEnv>("ENGINE_DOCUMENTS_DIR", dir);
    urlEnv = std::make_unique<ScopedEnv>("BRINEMARK_UPDATE_URL", nullptr);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(documents, ignored);
  }
  fs::path Folder() const { return documents / "Fenwold" / "Brinemark"; }
  fs::path UpdateBin() const { return Folder() / "update.bin"; }
  std::string ReadUpdateBin() const {
    std::ifstream in(UpdateBin(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  void WriteUpdateBin(const std::string& text) const {
    fs::create_directories(Folder());
    std::ofstream(UpdateBin(), std::ios::binary) << text;
  }

  fs::path documents;
  std::unique_ptr<ScopedEnv> docsEnv, urlEnv;
};

TEST_F(UpdateCheckTest, FormWithUnreadableProgramAndDefaultKey) {
  UpdateCheck check;
  std::string body = check.BuildRequestBody("/nonexistent/Brinemark");
  EXPECT_EQ(
      "cmd=CheckForUpdates&version=1,0,2,7542&language=en&key=q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go"
      "&storeid=q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go&binary=-1&dlc=nodlc&prod=49330"
      "&checksum=809c0f3bfb33ad02b193afa38c72c60d",
      body);
  EXPECT_EQ(201u, body.size());
}

TEST_F(UpdateCheckTest, FormCarriesTheProgramDigestAndItsChecksum) {
  WriteUpdateBin("K3y\nStore9\n");
  UpdateCheck check;
  std::string program = VGetModuleFileName();
  std::string body = check.BuildRequestBody(program);
  std::string digest = FileMd5Hex(program);
  ASSERT_EQ(32u, digest.size());
  std::string query = "cmd=CheckForUpdates&version=1,0,2,7542&language=en&key=K3y&storeid=Store9&binary=" + digest +
                      "&dlc=nodlc&prod=49330";
  EXPECT_EQ(query + "&checksum=" + Md5Hex(query + "71+k+58"), body);
}

TEST(UpdateCheckFieldTest, GetField) {
  struct Case {
    std::wstring text, name, value;
  };
  const Case cases[] = {
      {L"Reply_CheckForUpdates;reply=1;url=http://a;", L"url=", L"http://a"},
      {L"Reply_CheckForUpdates;reply=1;", L"reply=", L"1"},
      // A name inside a longer name is not that field.
      {L"Reply_CheckForUpdates;storeurl=http://store;url=http://update;", L"url=", L"http://update"},
      {L"Reply_CheckForUpdates;storeurl=http://store;", L"url=", L""},
      {L"Reply_CheckForUpdates;storeurl=http://store;", L"storeurl=", L"http://store"},
      {L"url=first;url=second;", L"url=", L"first"},
      {L"Reply_CheckForUpdates;desc=no end", L"desc=", L""},
      {L"Reply_CheckForUpdates;desc=;", L"desc=", L""},
      {L"Reply_CheckForUpdates;", L"desc=", L""},
      {L"", L"desc=", L""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.value, UpdateCheck::GetField(c.text, c.name)) << std::string(c.text.begin(), c.text.end());
  }
}

TEST_F(UpdateCheckTest, ReplyCases) {
  struct Case {
    std::wstring reply;
    bool update;
    std::wstring url, desc, storeUrl;
    std::string key;
  };
  const std::string key64(64, 'Z');
  const std::wstring key64w(64, L'Z');
  const Case cases[] = {
      {L"Reply_CheckForUpdates;reply=1;url=http://u;desc=New ships!;storeurl=http://s;updatekey=abc123;}", true,
       L"http://u", L"New ships!", L"http://s", "abc123"},
      // The update address is the url field, also after the store address.
      {L"Reply_CheckForUpdates;reply=1;storeurl=http://s;url=http://u;desc=d;}", true, L"http://u", L"d",
       L"http://s", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=1;storeurl=http://s;desc=d;}", true, L"", L"d", L"http://s", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=01;url=http://u;desc=d;}", false, L"", L"d", L"", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=1 ;url=http://u;desc=d;}", false, L"", L"d", L"", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=0;desc=Up to date;}", false, L"", L"Up to date", L"", kDefaultKey},
      // The last field lacks its ";" before the "}", and what follows "}" is not read.
      {L"Reply_CheckForUpdates;reply=1;url=http://u;desc=cut}desc=late;", true, L"http://u", L"", L"",
       kDefaultKey},
      {L"Reply_Other;Reply_CheckForUpdates;reply=1;url=http://u;}", false, L"", L"", L"", kDefaultKey},
      {L"garbage", false, L"", L"", L"", kDefaultKey},
      // Keys are taken only as 1 to 64 letters and digits.
      {L"Reply_CheckForUpdates;reply=0;updatekey=ab\u0100cd;}", false, L"", L"", L"", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=0;updatekey=x&prod=1;}", false, L"", L"", L"", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=0;updatekey=a b;}", false, L"", L"", L"", kDefaultKey},
      {L"Reply_CheckForUpdates;reply=0;updatekey=" + key64w + L"Z;}", false, L"", L"", L"",
       kDefaultKey},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.reply.begin(), c.reply.end()));
    UpdateCheck check;
    check.ParseReply(c.reply);
    EXPECT_EQ(c.update, check.IsUpdateAvailable());
    EXPECT_EQ(c.url, check.GetUpdateAddress());
    EXPECT_EQ(c.desc, check.GetDescription());
    EXPECT_EQ(c.storeUrl, check.GetStoreAddress());
    EXPECT_EQ(c.key, check.GetKey());
    EXPECT_EQ(kDefaultKey, check.GetStoreId());
  }
  UpdateCheck longest;
  longest.ParseReply(L"Reply_CheckForUpdates;reply=0;updatekey=" + key64w + L";}");
  EXPECT_EQ(key64, longest.GetKey());
}

TEST_F(UpdateCheckTest, UpdateBinIsCreatedAndReadBack) {
  {
    UpdateCheck first;  // no update.bin yet: the start values stay
    EXPECT_FALSE(first.Load());
    EXPECT_EQ(kDefaultKey, first.GetKey());
    EXPECT_TRUE(fs::is_directory(Folder()));
    first.ParseReply(L"Reply_CheckForUpdates;reply=0;updatekey=NewKey7;}");
    ASSERT_TRUE(first.Save());
  }
  EXPECT_EQ("NewKey7\n" + std::string(kDefaultKey) + "\n", ReadUpdateBin());
  // Only update.bin remains: the temporary file was renamed over it.
  EXPECT_EQ(1, std::distance(fs::directory_iterator(Folder()), fs::directory_iterator()));

  UpdateCheck second;
  EXPECT_EQ("NewKey7", second.GetKey());
  EXPECT_EQ(kDefaultKey, second.GetStoreId());
}

TEST_F(UpdateCheckTest, UpdateBinGoesIntoTheGameFolderInWhateverCaseItExists) {
  const fs::path existing = documents / "fenwold" / "BRINEMARK";
  fs::create_directories(existing);
  std::ofstream(existing / "update.bin") << "OldKey\nOldStore\n";
  UpdateCheck check;
  EXPECT_EQ("OldKey", check.GetKey());
  ASSERT_TRUE(check.Save());
  EXPECT_TRUE(fs::exists(existing / "update.bin"));
  EXPECT_FALSE(fs::exists(documents / "Fenwold")) << "no second folder beside the game's";
}

TEST_F(UpdateCheckTest, LoadStripsLineEnds) {
  struct Case {
    std::string file, key, storeId;
  };
  const Case cases[] = {
      {"k1\r\ns1\r\n", "k1", "s1"},
      {"k1\ns1", "k1", "s1"},
      {"onlykey\n", "onlykey", kDefaultKey},
      {"k1\ns1\nextra\n", "k1", "s1"},
      {"", kDefaultKey, kDefaultKey},
      {std::string(1500, 'k') + "\ns1\n", std::string(1023, 'k'), "s1"},
  };
  for (const Case& c : cases) {
    WriteUpdateBin(c.file);
    UpdateCheck check;
    EXPECT_EQ(c.key, check.GetKey());
    EXPECT_EQ(c.storeId, check.GetStoreId());
  }
}

TEST_F(UpdateCheckTest, UnusableDocumentsFolderFailsQuietly) {
  // A file where the folder should be.
  fs::path blocker = documents / "Fenwold";
  std::ofstream(blocker) << "x";
  UpdateCheck check;
  EXPECT_FALSE(check.Load());
  EXPECT_FALSE(check.Save());
  EXPECT_EQ(kDefaultKey, check.GetKey());

  ScopedEnv noDocs("ENGINE_DOCUMENTS_DIR", nullptr);
  ScopedEnv noXdg("XDG_DOCUMENTS_DIR", nullptr);
  ScopedEnv noHome("HOME", nullptr);
  EXPECT_FALSE(check.Save());
}

TEST_F(UpdateCheckTest, ServiceAddress) {
  struct Case {
    const char* env;
    std::string url;
  };
  const Case cases[] = {
      {nullptr, "http://update.brinemark.invalid/server_access.php"},
      {"", "http://update.brinemark.invalid/server_access.php"},
      {"http://127.0.0.1:8080", "http://127.0.0.1:8080/server_access.php"},
      {"http://127.0.0.1:8080/", "http://127.0.0.1:8080/server_access.php"},
      {"http://127.0.0.1:8080/other/check.php", "http://127.0.0.1:8080/other/check.php"},
  };
  for (const Case& c : cases) {
    ScopedEnv env("BRINEMARK_UPDATE_URL", c.env);
    EXPECT_EQ(c.url, UpdateCheck::GetServiceUrl());
  }
}

TEST_F(UpdateCheckTest, RunPostsTheFormAndTakesTheOffer) {
  LocalHttpServer server;
  ASSERT_TRUE(server.IsRunning());
  server.SetResponse(LocalHttpServer::Text(
      "Reply_CheckForUpdates;reply=1;storeurl=http://store;url=http://example.invalid/get;desc=Version 1.1;"
      "updatekey=Fresh1;}",
      "text/html; charset=utf-8"));
  ScopedEnv url("BRINEMARK_UPDATE_URL", server.Url("").c_str());

  UpdateCheck check;
  std::string expectedBody = check.BuildRequestBody(VGetModuleFileName());
  check.Run();

  std::vector<LocalHttpServer::Request> requests = server.Requests();
  ASSERT_EQ(1u, requests.size());
  const LocalHttpServer::Request& r = requests[0];
  EXPECT_EQ("POST", r.method);
  EXPECT_EQ("/server_access.php", r.target);
  EXPECT_EQ("application/x-www-form-urlencoded", r.Header("Content-Type"));
  EXPECT_EQ(std::to_string(expectedBody.size()), r.Header("Content-Length"));
  EXPECT_EQ(expectedBody, r.body);
  size_t binary = r.body.find("&binary=");
  ASSERT_NE(std::string::npos, binary);
  std::string digest = r.body.substr(binary + 8, r.body.find('&', binary + 1) - binary - 8);
  EXPECT_EQ(FileMd5Hex(VGetModuleFileName()), digest);
  EXPECT_EQ(std::string::npos, digest.find_first_not_of("0123456789abcdef"));
  EXPECT_EQ(32u, digest.size());

  EXPECT_TRUE(check.IsUpdateAvailable());
  EXPECT_EQ(L"http://example.invalid/get", check.GetUpdateAddress());
  EXPECT_EQ(L"Version 1.1", check.GetDescription());
  EXPECT_EQ(L"http://store", check.GetStoreAddress());
  EXPECT_EQ("Fresh1\n" + std::string(kDefaultKey) + "\n", ReadUpdateBin());
}

TEST_F(UpdateCheckTest, FailedCheckStillWritesUpdateBin) {
  // The built-in address lies under ".invalid": the request fails at once.
  UpdateCheck offline;
  offline.Run();
  EXPECT_FALSE(offline.IsUpdateAvailable());
  EXPECT_EQ(std::string(kDefaultKey) + "\n" + kDefaultKey + "\n", ReadUpdateBin());

  LocalHttpServer server;
  LocalHttpServer::Response drop;
  drop.action = LocalHttpServer::Response::CloseWithoutAnswer;
  server.SetResponse(drop);
  ScopedEnv url("BRINEMARK_UPDATE_URL", server.Url("/").c_str());
  fs::remove(UpdateBin());
  UpdateCheck dropped;
  dropped.Run();
  EXPECT_FALSE(dropped.IsUpdateAvailable());
  EXPECT_TRUE(fs::exists(UpdateBin()));
  EXPECT_EQ(3u, server.RequestCount());
}

}  // namespace
