// HttpClient on libcurl: one easy handle per client (the session), three attempts
// bounded by an optional total time, and a body buffer that doubles as it fills.
// Proxies come from an explicit SetProxy or libcurl's usual environment variables;
// there is no desktop proxy configuration to fall back to.
#include "HttpClient.h"

#include "engine/os/VOs.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cwctype>
#include <mutex>
#include <new>

namespace {

const size_t kInitialBodyBuffer = 10240;
const int kAttempts = 3;
// With less time than this left another attempt could only time out.
const long kMinAttemptMs = 50;

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string Lower(std::string s) {
  for (char& c : s) c = (char)tolower((unsigned char)c);
  return s;
}

bool EqualNoCase(const std::string& a, const std::string& b) { return Lower(a) == Lower(b); }

std::string Trim(const std::string& s, const char* blanks = " \t") {
  size_t b = s.find_first_not_of(blanks);
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(blanks);
  return s.substr(b, e - b + 1);
}

struct UrlParts {
  std::string scheme, host;
};

bool SplitUrl(const std::string& url, UrlParts& parts) {
  CURLU* h = curl_url();
  if (!h) return false;
  bool ok = curl_url_set(h, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
  char* scheme = nullptr;
  char* host = nullptr;
  char* path = nullptr;
  ok = ok && curl_url_get(h, CURLUPART_SCHEME, &scheme, 0) == CURLUE_OK;
  ok = ok && curl_url_get(h, CURLUPART_HOST, &host, 0) == CURLUE_OK;
  ok = ok && curl_url_get(h, CURLUPART_PATH, &path, 0) == CURLUE_OK;
  if (ok) {
    parts.scheme = Lower(scheme);
    parts.host = host;
    // The same limits as the request's fixed-size host and path fields.
    ok = parts.host.size() <= 260 && strlen(path) <= 1300;
  }
  curl_free(scheme);
  curl_free(host);
  curl_free(path);
  curl_url_cleanup(h);
  return ok;
}

// No name under the reserved ".invalid" domain can ever resolve.
bool IsReservedInvalidHost(std::string host) {
  host = Lower(host);
  if (!host.empty() && host.back() == '.') host.pop_back();
  const std::string suffix = ".invalid";
  return host == "invalid" ||
         (host.size() > suffix.size() && host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0);
}

bool IsLoopbackHost(const std::string& host) {
  std::string h = Lower(host);
  return h == "localhost" || h.rfind("127.", 0) == 0 || h == "[::1]" || h == "::1";
}

// The body as wide text; zero bytes are kept as characters.
std::wstring DecodeBytes(const std::vector<unsigned char>& bytes, bool utf8) {
  std::wstring out;
  size_t start = 0;
  while (start <= bytes.size()) {
    size_t end = start;
    while (end < bytes.size() && bytes[end] != 0) ++end;
    std::string piece(bytes.begin() + (long)start, bytes.begin() + (long)end);
    out += utf8 ? VUTF8ToWide(piece.c_str()) : VNarrowToWide(piece.c_str());
    if (end == bytes.size()) break;
    out += L'\0';
    start = end + 1;
  }
  return out;
}

}  // namespace

HttpClient::HttpClient(const std::wstring& url, ProgressProc progress) : m_url(url), m_progress(std::move(progress)) {}

HttpClient::~HttpClient() {
  if (m_session) curl_easy_cleanup(static_cast<CURL*>(m_session));
}

void HttpClient::SetAdditionalDataToSend(const void* data, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (!bytes) size = 0;
  m_dataToSend.assign(bytes, bytes + size);
}

void HttpClient::SetForceCharset(bool force, const std::wstring& charset) {
  m_forceCharset = force;
  if (force) m_responseCharset = charset;
}

void HttpClient::SetTimeouts(unsigned resolve, unsigned connect, unsigned send, unsigned receive) {
  m_resolveTimeout = resolve;
  m_connectTimeout = connect;
  m_sendTimeout = send;
  m_receiveTimeout = receive;
}

bool HttpClient::SendRequest(const std::wstring& verbText) {
  m_lastError = 0;
  if (m_url.empty()) {
    m_lastError = ErrorNoUrl;
    return false;
  }
  std::string verb = VWideToUTF8(verbText.c_str());
  for (char& c : verb) c = (char)toupper((unsigned char)c);
  if (verb != "GET" && verb != "POST") {
    m_lastError = ErrorInvalidVerb;
    return false;
  }

  if (!m_session) {
    GlobalInit();
    m_session = curl_easy_init();
    if (!m_session) {
      m_lastError = CURLE_FAILED_INIT;
      return false;
    }
  }

  std::string url = VWideToUTF8(m_url.c_str());
  UrlParts parts;
  if (!SplitUrl(url, parts)) {
    m_lastError = CURLE_URL_MALFORMAT;
    return false;
  }
  if (parts.scheme != "http" && parts.scheme != "https") {
    m_lastError = CURLE_UNSUPPORTED_PROTOCOL;
    return false;
  }
  m_requestHost = VNarrowToWide(parts.host.c_str());
  if (IsReservedInvalidHost(parts.host)) {
    m_lastError = CURLE_COULDNT_RESOLVE_HOST;
    return false;
  }
  bool loopback = IsLoopbackHost(parts.host);

  const auto start = std::chrono::steady_clock::now();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    long timeoutMs = 0;
    if (m_totalTimeout) {
      long elapsed = (long)std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - start).count();
      timeoutMs = (long)m_totalTimeout - elapsed;
      if (timeoutMs <= 0 || (attempt > 0 && timeoutMs < kMinAttemptMs)) break;
    }
    if (Attempt(verb, url, loopback, timeoutMs)) return true;
    if (m_bodyGrowthFailed) break;
  }
  return false;
}

void HttpClient::ClearResponse() {
  m_rawHeader.clear();
  m_responseHeader.clear();
  m_responseText.clear();
  if (!m_forceCharset) m_responseCharset.clear();
  m_responseCookies.clear();
  m_statusCode.clear();
  m_responseContentLength = 0;
  m_body.clear();
  m_body.shrink_to_fit();
  m_bodyGrowthFailed = false;
}

std::vector<std::string> HttpClient::BuildHeaderLines() const {
  std::vector<std::pair<std::string, std::string>> headers;
  auto add = [&headers](const std::string& name, const std::string& value) {
    for (auto& h : headers) {
      if (EqualNoCase(h.first, name)) {
        h.second += "; " + value;
        return;
      }
    }
    headers.emplace_back(name, value);
  };

  std::string block = VWideToUTF8(m_additionalHeaders.c_str());
  size_t pos = 0;
  while (pos < block.size()) {
    size_t end = block.find('\n', pos);
    if (end == std::string::npos) end = block.size();
    std::string line = block.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    std::string name = Trim(line.substr(0, colon));
    // libcurl sends the length of the data itself; a second, different one would break the request.
    if (name.empty() || EqualNoCase(name, "Content-Length")) continue;
    add(name, Trim(line.substr(colon + 1)));
  }
  if (!m_additionalCookies.empty()) add("Cookie", VWideToUTF8(m_additionalCookies.c_str()));

  std::vector<std::string> lines;
  for (const auto& h : headers) lines.push_back(h.first + ": " + h.second);
  // The update service answers at once; waiting for "100 Continue" only costs time.
  lines.push_back("Expect:");
  return lines;
}

bool HttpClient::Attempt(const std::string& verb, const std::string& url, bool loopback, long timeoutMs) {
  CURL* c = static_cast<CURL*>(m_session);
  // Reset keeps the open connections, so a second request reuses the session.
  curl_easy_reset(c);
  ClearResponse();

  std::string agent = VWideToUTF8(m_userAgent.c_str());
  std::string proxy = VWideToUTF8(m_proxy.c_str());
  std::string proxyUser = VWideToUTF8(m_proxyUsername.c_str());
  std::string proxyPassword = VWideToUTF8(m_proxyPassword.c_str());

  curl_easy_setopt(c, CURLOPT_URL, url.c_str());
  curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (loopback) curl_easy_setopt(c, CURLOPT_NOPROXY, "*");
  if (!proxy.empty()) {
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    if (!proxyUser.empty()) curl_easy_setopt(c, CURLOPT_PROXYUSERNAME, proxyUser.c_str());
    if (!proxyUser.empty() && !proxyPassword.empty()) {
      curl_easy_setopt(c, CURLOPT_PROXYPASSWORD, proxyPassword.c_str());
    }
  }
  // libcurl's connect time includes name resolution.
  if (m_connectTimeout) curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, (long)m_connectTimeout + m_resolveTimeout);
  // A send or receive that stalls for its time-out (under 1 byte/s) ends the attempt.
  unsigned stall = std::max(m_sendTimeout, m_receiveTimeout);
  if (stall) {
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME, (long)((stall + 999) / 1000));
  }
  if (timeoutMs > 0) curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, timeoutMs);

  if (verb == "POST") {
    curl_easy_setopt(c, CURLOPT_POST, 1L);
  } else if (!m_dataToSend.empty()) {
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "GET");
  } else {
    curl_easy_setopt(c, CURLOPT_HTTPGET, 1L);
  }
  if (verb == "POST" || !m_dataToSend.empty()) {
    static const char kNothing[] = "";
    const char* data = m_dataToSend.empty() ? kNothing : reinterpret_cast<const char*>(m_dataToSend.data());
    curl_easy_setopt(c, CURLOPT_POSTFIELDS, data);
    curl_easy_setopt(c, CURLOPT_POSTFIELDSIZE_LARGE, (curl_off_t)m_dataToSend.size());
  }

  curl_slist* headerList = nullptr;
  for (const std::string& line : BuildHeaderLines()) {
    if (curl_slist* next = curl_slist_append(headerList, line.c_str())) headerList = next;
  }
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headerList);
  curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, &HttpClient::OnHeader);
  curl_easy_setopt(c, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, &HttpClient::OnBody);
  curl_easy_setopt(c, CURLOPT_WRITEDATA, this);

  CURLcode result = curl_easy_perform(c);
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(headerList);
  if (result != CURLE_OK) {
    m_lastError = (unsigned long)result;
    return false;
  }

  long status = 0;
  curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &status);
  m_statusCode = std::to_wstring(status);
  m_responseHeader = VNarrowToWide(m_rawHeader.c_str());
  if (m_progress && m_responseContentLength) m_progress(m_body.size() * 100.0 / m_responseContentLength);
  DecodeBody();

  if (verb == "GET" && m_responseText.find(L"<html>") != std::wstring::npos &&
      m_responseText.find(L"</html>") == std::wstring::npos) {
    m_lastError = ErrorUnfinishedPage;
    return false;
  }
  return true;
}

size_t HttpClient::OnHeader(char* data, size_t size, size_t count, void* self) {
  HttpClient* client = static_cast<HttpClient*>(self);
  std::string line(data, size * count);
  // Each response (an interim "100 Continue" too) starts a new header block.
  if (line.rfind("HTTP/", 0) == 0) client->m_rawHeader.clear();
  client->m_rawHeader += line;
  if (line == "\r\n" || line == "\n") client->ExtractHeaderFields();
  return size * count;
}

size_t HttpClient::OnBody(char* data, size_t size, size_t count, void* self) {
  HttpClient* client = static_cast<HttpClient*>(self);
  size_t n = size * count;
  if (client->m_progress && client->m_responseContentLength) {
    client->m_progress(client->m_body.size() * 100.0 / client->m_responseContentLength);
  }
  // Returning less than given makes libcurl abort the transfer.
  return client->AppendBody(data, n) ? n : 0;
}

bool HttpClient::AppendBody(const char* data, size_t size) {
  size_t needed = m_body.size() + size;
  if (needed > m_body.capacity()) {
    size_t capacity = std::max(m_body.capacity(), kInitialBodyBuffer);
    while (capacity < needed) {
      if (capacity > SIZE_MAX / 2) {
        m_bodyGrowthFailed = true;
        return false;
      }
      capacity *= 2;
    }
    try {
      m_body.reserve(capacity);
    } catch (const std::bad_alloc&) {
      m_bodyGrowthFailed = true;  // the bytes so far stay as they were
      return false;
    } catch (const std::length_error&) {
      m_bodyGrowthFailed = true;
      return false;
    }
  }
  m_body.insert(m_body.end(), data, data + size);
  return true;
}

void HttpClient::ExtractHeaderFields() {
  const std::string& h = m_rawHeader;

  if (!m_forceCharset) {
    m_responseCharset.clear();
    size_t at = h.find("charset=");
    if (at != std::string::npos) {
      size_t b = at + 8, e = b;
      while (e < h.size() && (isalnum((unsigned char)h[e]) || h[e] == '-' || h[e] == '_')) ++e;
      m_responseCharset = VNarrowToWide(h.substr(b, e - b).c_str());
    }
  }

  m_responseContentLength = 0;
  size_t at = h.find("Content-Length: ");
  if (at != std::string::npos) {
    unsigned long long length = 0;
    for (size_t i = at + 16; i < h.size() && isdigit((unsigned char)h[i]); ++i) {
      length = std::min<unsigned long long>(length * 10 + (unsigned)(h[i] - '0'), UINT_MAX);
    }
    m_responseContentLength = (unsigned)length;
  }

  // Cookie texts end at their line's end; the carriage return is not part of them.
  std::vector<std::string> cookies;
  for (size_t pos = h.find("Set-Cookie:"); pos != std::string::npos; pos = h.find("Set-Cookie:", pos)) {
    pos += 11;
    while (pos < h.size() && (h[pos] == ' ' || h[pos] == '\t')) ++pos;
    size_t end = h.find('\n', pos);
    if (end == std::string::npos) end = h.size();
    std::string text = h.substr(pos, end - pos);
    if (!text.empty() && text.back() == '\r') text.pop_back();
    bool seen = false;
    for (const std::string& c : cookies) seen = seen || EqualNoCase(c, text);
    if (!seen) cookies.push_back(text);
  }
  std::string joined;
  for (size_t i = 0; i < cookies.size(); ++i) joined += (i ? "; " : "") + cookies[i];
  joined = Trim(joined);
  if (!joined.empty() && joined.back() != ';') joined += ';';
  m_responseCookies = VNarrowToWide(joined.c_str());
}

void HttpClient::DecodeBody() {
  std::wstring prefix = m_responseCharset.substr(0, 5);
  for (wchar_t& ch : prefix) ch = (wchar_t)std::towlower((wint_t)ch);
  bool utf8 = prefix == L"utf-8" && VIsValidUTF8(reinterpret_cast<const char*>(m_body.data()), m_body.size());
  m_responseText = DecodeBytes(m_body, utf8);
}
