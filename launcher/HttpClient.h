// One HTTP request and its response: headers, body bytes, decoded text and the
// values taken from the headers. Used by the launcher's update check.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class HttpClient {
 public:
  // The client's own last-error codes; other failures keep libcurl's result code.
  enum Error {
    ErrorNoUrl = 3,          // the request URL is empty
    ErrorUnfinishedPage = 13,  // a GET answered "<html>" without "</html>"
    ErrorInvalidVerb = 87,   // neither GET nor POST
  };
  // Called with the percentage received, when the length is announced.
  typedef std::function<void(double)> ProgressProc;

  explicit HttpClient(const std::wstring& url, ProgressProc progress = nullptr);
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  // Sends the request ("GET" or "POST", any case) with up to three attempts.
  // True when a response was received and read.
  bool SendRequest(const std::wstring& verb = L"GET");

  // Header lines, each ended by CR LF. A name that occurs twice is joined with "; ".
  // Content-Length is always derived from the data to send.
  void SetAdditionalRequestHeaders(const std::wstring& headers) { m_additionalHeaders = headers; }
  void SetAdditionalRequestCookies(const std::wstring& cookies) { m_additionalCookies = cookies; }
  // The client keeps its own copy of the bytes.
  void SetAdditionalDataToSend(const void* data, size_t size);
  void SetProxy(const std::wstring& proxy) { m_proxy = proxy; }
  void SetProxyUsername(const std::wstring& name) { m_proxyUsername = name; }
  void SetProxyPassword(const std::wstring& password) { m_proxyPassword = password; }
  void SetUserAgent(const std::wstring& agent) { m_userAgent = agent; }
  // Kept for callers that ask for it; certificates are checked for HTTPS either way.
  void SetRequireValidSslCertificates(bool require) { m_requireValidCertificate = require; }
  bool GetRequireValidSslCertificates() const { return m_requireValidCertificate; }
  // With force set, the given charset is used instead of the response's.
  void SetForceCharset(bool force, const std::wstring& charset = std::wstring());
  // Milliseconds; 0 means no limit. Name resolution counts towards connecting.
  void SetTimeouts(unsigned resolve, unsigned connect, unsigned send, unsigned receive);
  // Bounds the whole request, all attempts together (milliseconds, 0: unbounded).
  void SetTotalTimeout(unsigned milliseconds) { m_totalTimeout = milliseconds; }
  void SetProgressCallback(ProgressProc progress) { m_progress = std::move(progress); }

  const std::wstring& GetRequestUrl() const { return m_url; }
  const std::wstring& GetRequestHost() const { return m_requestHost; }
  const std::wstring& GetResponseText() const { return m_responseText; }
  const std::wstring& GetResponseHeader() const { return m_responseHeader; }
  const std::wstring& GetResponseCharset() const { return m_responseCharset; }
  const std::wstring& GetResponseCookies() const { return m_responseCookies; }
  const std::wstring& GetResponseStatusCode() const { return m_statusCode; }
  unsigned GetResponseContentLength() const { return m_responseContentLength; }
  const unsigned char* GetRawResponseContent() const { return m_body.data(); }
  size_t GetRawResponseReceivedContentLength() const { return m_body.size(); }
  unsigned long GetLastError() const { return m_lastError; }

 private:
  bool Attempt(const std::string& verb, const std::string& url, bool loopback, long timeoutMs);
  void ClearResponse();
  void ExtractHeaderFields();
  void DecodeBody();
  bool AppendBody(const char* data, size_t size);
  std::vector<std::string> BuildHeaderLines() const;

  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);

  void* m_session = nullptr;  // the libcurl handle, kept so connections are reused
  bool m_requireValidCertificate = false;
  std::wstring m_url;
  std::wstring m_requestHost;
  std::wstring m_userAgent = L"WinHttpClient";
  std::wstring m_additionalHeaders;
  std::wstring m_additionalCookies;
  std::vector<unsigned char> m_dataToSend;
  std::wstring m_proxy, m_proxyUsername, m_proxyPassword;
  bool m_forceCharset = false;
  unsigned m_resolveTimeout = 0, m_connectTimeout = 60000, m_sendTimeout = 30000, m_receiveTimeout = 30000;
  unsigned m_totalTimeout = 0;
  ProgressProc m_progress;

  std::string m_rawHeader;
  std::vector<unsigned char> m_body;
  bool m_bodyGrowthFailed = false;
  std::wstring m_responseHeader;
  std::wstring m_responseText;
  std::wstring m_responseCharset;
  std::wstring m_responseCookies;
  std::wstring m_statusCode;
  unsigned m_responseContentLength = 0;
  unsigned long m_lastError = 0;
};
