// The update check and update.bin.
#include "UpdateCheck.h"

#include "HttpClient.h"
#include "Md5.h"
#include "Version.h"

#include "engine/base/VisFile.h"
#include "engine/os/VOs.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kDefaultServiceUrl[] = "http://update.brinemark.invalid/server_access.php";
const char kServicePath[] = "/server_access.php";
const char kLanguage[] = "en";
const char kDlc[] = "nodlc";
const char kDefaultKey[] = "q7vd0wm2xj5ht8nb3kc6fa1ly9ers4go";
const char kChecksumSalt[] = "71+k+58";
const int kProductNumber = 49330;
// The check runs before the window opens; it must never hold up the start for long.
const unsigned kTotalTimeoutMs = 3000;
const size_t kMaxLine = 1023;

// The key goes into the form unescaped, so only plain letters and digits are taken.
bool IsAcceptableKey(const std::string& key) {
  if (key.empty() || key.size() > 64) return false;
  for (char c : key) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return true;
}

// One line without its line end, at most kMaxLine characters (the rest is skipped).
bool ReadLine(FILE* file, std::string& out) {
  out.clear();
  int c;
  bool any = false;
  while ((c = fgetc(file)) != EOF) {
    any = true;
    if (c == '\n') break;
    if (out.size() < kMaxLine) out += (char)c;
  }
  if (!out.empty() && out.back() == '\r') out.pop_back();
  return any;
}

}  // namespace

UpdateCheck::UpdateCheck()
    : m_productNumber(kProductNumber), m_key(kDefaultKey), m_storeId(kDefaultKey), m_updateAvailable(false) {
  Load();
}

UpdateCheck::~UpdateCheck() = default;

std::string UpdateCheck::GetServiceUrl() {
  const char* env = getenv("BRINEMARK_UPDATE_URL");
  if (!env || !*env) return kDefaultServiceUrl;
  std::string url = env;
  size_t scheme = url.find("://");
  size_t pathStart = url.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (pathStart == std::string::npos) return url + kServicePath;
  if (url.compare(pathStart, std::string::npos, "/") == 0) return url.substr(0, pathStart) + kServicePath;
  return url;
}

std::string UpdateCheck::BuildRequestBody(const std::string& programPath) const {
  std::string binary = FileMd5Hex(programPath);
  std::string query = std::string("cmd=CheckForUpdates") + "&version=" + kBrinemarkVersion + "&language=" + kLanguage +
                      "&key=" + m_key + "&storeid=" + m_storeId + "&binary=" + binary + "&dlc=" + kDlc +
                      "&prod=" + std::to_string(m_productNumber);
  std::string checksum = Md5Hex(query + kChecksumSalt);
  return query + "&checksum=" + checksum;
}

void UpdateCheck::Run() {
  HttpClient client(VNarrowToWide(GetServiceUrl().c_str()));
  client.SetTotalTimeout(kTotalTimeoutMs);
  std::string body = BuildRequestBody(VGetModuleFileName());
  client.SetAdditionalDataToSend(body.data(), body.size());
  std::wstring headers = L"Content-Length: " + std::to_wstring(body.size()) +
                         L"\r\nContent-Type: application/x-www-form-urlencoded\r\n";
  client.SetAdditionalRequestHeaders(headers);
  if (client.SendRequest(L"POST")) ParseReply(client.GetResponseText());
  Save();
}

std::wstring UpdateCheck::GetField(const std::wstring& text, const std::wstring& name) {
  if (name.empty()) return std::wstring();
  size_t at = 0;
  for (;;) {
    at = text.find(name, at);
    if (at == std::wstring::npos) return std::wstring();
    if (at == 0 || text[at - 1] == L';') break;
    ++at;
  }
  size_t begin = at + name.size();
  size_t end = text.find(L';', begin);
  if (end == std::wstring::npos) return std::wstring();
  return text.substr(begin, end - begin);
}

void UpdateCheck::ParseReply(const std::wstring& reply) {
  std::wstring text = reply.substr(0, reply.find(L'}'));
  if (text.substr(0, text.find(L';')).find(L"Reply_CheckForUpdates") == std::wstring::npos) return;

  m_updateAvailable = false;
  if (GetField(text, L"reply=") == L"1") {
    m_updateAvailable = true;
    m_updateAddress = GetField(text, L"url=");
  }
  m_description = GetField(text, L"desc=");
  m_storeAddress = GetField(text, L"storeurl=");

  std::wstring key = GetField(text, L"updatekey=");
  if (!key.empty()) {
    std::string narrow = VWideToNarrow(key.c_str());
    if (IsAcceptableKey(narrow)) m_key = narrow;
  }
}

bool UpdateCheck::GetFolder(std::string& out) {
  char documents[V_DOCUMENT_FOLDER_SIZE];
  if (!VGetMyDocumentFolder(documents)) return false;
  const std::string folder = VPathHelper::CombineDirAndFile(documents, "Fenwold/Brinemark");
  // Found without regard to case, as the game finds it for its own files.
  return VFileHelper::MkDirRecursive(folder.c_str()) && VFileHelper::FindCaseInsensitive(folder, out);
}

bool UpdateCheck::Load() {
  std::string folder;
  if (!GetFolder(folder)) return false;
  FILE* file = fopen((folder + "/update.bin").c_str(), "r");
  if (!file) return false;
  std::string line;
  if (ReadLine(file, line)) {
    m_key = line;
    if (ReadLine(file, line)) m_storeId = line;
  }
  fclose(file);
  return true;
}

bool UpdateCheck::Save() {
  std::string folder;
  if (!GetFolder(folder)) return false;
  // Written beside the old file and renamed over it, so a failed write never
  // leaves a truncated update.bin behind.
  std::string path = folder + "/update.bin";
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  FILE* file = fdopen(fd, "w");
  if (!file) {
    close(fd);
    unlink(temp.c_str());
    return false;
  }
  bool ok = fprintf(file, "%s\n%s\n", m_key.c_str(), m_storeId.c_str()) >= 0;
  ok = fflush(file) == 0 && ok;
  ok = fsync(fileno(file)) == 0 && ok;
  ok = fclose(file) == 0 && ok;
  // mkstemp makes the file private; update.bin is an ordinary user file.
  if (ok) chmod(temp.c_str(), 0644);
  if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}
