// The documents folder and its fixed-size buffer form.
#include "engine/base/VisError.h"
#include "engine/os/VOs.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FolderCase {
  const char* engineDir;
  const char* xdgDir;
  const char* home;
  const char* expected;  // null: not found
};

TEST(VDocumentsTest, FolderChoiceInOrder) {
  const FolderCase cases[] = {
      {"/tmp/docs", "/xdg/docs", "/home/u", "/tmp/docs"},
      {"/tmp/docs/", nullptr, nullptr, "/tmp/docs"},
      {nullptr, "/xdg/docs", "/home/u", "/xdg/docs"},
      {"", "", "/home/u", "/home/u/Documents"},
      {nullptr, nullptr, "/home/u", "/home/u/Documents"},
      {nullptr, nullptr, nullptr, nullptr},
      {nullptr, nullptr, "", nullptr},
  };
  for (const FolderCase& c : cases) {
    SCOPED_TRACE(c.expected ? c.expected : "(none)");
    ScopedEnv a("ENGINE_DOCUMENTS_DIR", c.engineDir);
    ScopedEnv b("XDG_DOCUMENTS_DIR", c.xdgDir);
    ScopedEnv h("HOME", c.home);
    std::string folder = "unchanged";
    char buffer[V_DOCUMENT_FOLDER_SIZE];
    if (c.expected) {
      EXPECT_TRUE(VGetDocumentsFolder(folder));
      EXPECT_EQ(c.expected, folder);
      EXPECT_EQ(1, VGetMyDocumentFolder(buffer));
      EXPECT_STREQ(c.expected, buffer);
    } else {
      EXPECT_FALSE(VGetDocumentsFolder(folder));
      EXPECT_EQ(0, VGetMyDocumentFolder(buffer));
    }
  }
}

TEST(VDocumentsTest, BufferFormRejectsNullAndTooLongFolders) {
  std::vector<std::string> lines;
  Vision::Error.SetLogListener([&](const std::string& line) { lines.push_back(line); });
  char buffer[V_DOCUMENT_FOLDER_SIZE];

  EXPECT_EQ(0, VGetMyDocumentFolder(nullptr));

  // 4095 bytes and the terminator fit exactly; one more does not.
  std::string fits = "/" + std::string(V_DOCUMENT_FOLDER_SIZE - 2, 'a');
  {
    ScopedEnv env("ENGINE_DOCUMENTS_DIR", fits.c_str());
    EXPECT_EQ(1, VGetMyDocumentFolder(buffer));
    EXPECT_EQ(fits, buffer);
  }
  std::string tooLong = fits + "b";
  {
    ScopedEnv env("ENGINE_DOCUMENTS_DIR", tooLong.c_str());
    buffer[0] = 'x';
    EXPECT_EQ(0, VGetMyDocumentFolder(buffer));
  }
  Vision::Error.SetLogListener(nullptr);
  EXPECT_EQ((std::vector<std::string>{"GetMyDocumentFolder: Invalid parameter",
                                      "GetMyDocumentFolder: Insufficient buffer"}),
            lines);
}

}  // namespace
