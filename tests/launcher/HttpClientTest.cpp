// HttpClient against the loopback test server.
#include "HttpClient.h"

#include "support/LocalHttpServer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

class HttpClientTest : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(server.IsRunning()); }
  std::wstring Url(const std::string& path = "/page") const { return Wide(server.Url(path)); }
  LocalHttpServer server;
};

TEST_F(HttpClientTest, PostSendsBodyAndHeaders) {
  server.SetResponse(LocalHttpServer::Text("done"));
  HttpClient client(Url("/form.php"));
  const std::string body = "a=1&b=2";
  client.SetAdditionalDataToSend(body.data(), body.size());
  client.SetAdditionalRequestHeaders(
      L"Content-Length: 999\r\nX-One: a\r\nContent-Type: application/x-www-form-urlencoded\r\nx-one: b\r\n");
  client.SetAdditionalRequestCookies(L"session=42");
  ASSERT_TRUE(client.SendRequest(L"post"));
  EXPECT_EQ(0u, client.GetLastError());
  EXPECT_EQ(L"done", client.GetResponseText());
  EXPECT_EQ(L"200", client.GetResponseStatusCode());
  EXPECT_EQ(L"127.0.0.1", client.GetRequestHost());

  std::vector<LocalHttpServer::Request> requests = server.Requests();
  ASSERT_EQ(1u, requests.size());
  const LocalHttpServer::Request& r = requests[0];
  EXPECT_EQ("POST", r.method);
  EXPECT_EQ("/form.php", r.path);
  EXPECT_EQ(body, r.body);
  EXPECT_EQ("7", r.Header("Content-Length"));  // the real length, whatever the caller wrote
  EXPECT_EQ("application/x-www-form-urlencoded", r.Header("Content-Type"));
  EXPECT_EQ("a; b", r.Header("X-One"));
  EXPECT_EQ("session=42", r.Header("Cookie"));
  EXPECT_EQ("WinHttpClient", r.Header("User-Agent"));
}

TEST_F(HttpClientTest, RefusedRequestsReachNoServer) {
  struct Case {
    std::wstring url, verb;
    unsigned long error;
  };
  const Case cases[] = {
      {L"", L"GET", HttpClient::ErrorNoUrl},
      {Url(), L"PUT", HttpClient::ErrorInvalidVerb},
      {Url(), L"", HttpClient::ErrorInvalidVerb},
      {L"ftp://127.0.0.1/x", L"GET", CURLE_UNSUPPORTED_PROTOCOL},
      {L"not a url", L"GET", CURLE_URL_MALFORMAT},
      // The reserved top-level domain fails at once, without a name look-up.
      {L"http://update.brinemark.invalid/server_access.php", L"POST", CURLE_COULDNT_RESOLVE_HOST},
      {L"https://UPDATE.example.INVALID./x", L"GET", CURLE_COULDNT_RESOLVE_HOST},
  };
  for (const Case& c : cases) {
    HttpClient client(c.url);
    // Whatever went out would reach the test server through this proxy.
    client.SetProxy(Wide(server.Url("")));
    EXPECT_FALSE(client.SendRequest(c.verb));
    EXPECT_EQ(c.error, client.GetLastError()) << std::string(c.url.begin(), c.url.end());
  }
  EXPECT_EQ(0u, server.RequestCount());
}

TEST_F(HttpClientTest, UnfinishedHtmlPageIsRetriedOnlyForGet) {
  server.SetResponse(LocalHttpServer::Text("<html><body>cut off", "text/html"));
  HttpClient get(Url());
  EXPECT_FALSE(get.SendRequest(L"GET"));
  EXPECT_EQ((unsigned long)HttpClient::ErrorUnfinishedPage, get.GetLastError());
  EXPECT_EQ(3u, server.RequestCount());

  server.ClearRequests();
  HttpClient post(Url());
  EXPECT_TRUE(post.SendRequest(L"POST"));
  EXPECT_EQ(L"<html><body>cut off", post.GetResponseText());
  EXPECT_EQ(1u, server.RequestCount());

  server.ClearRequests();
  server.SetResponse(LocalHttpServer::Text("<html></html>", "text/html"));
  HttpClient whole(Url());
  EXPECT_TRUE(whole.SendRequest());
  EXPECT_EQ(1u, server.RequestCount());
}

TEST_F(HttpClientTest, DroppedConnectionIsRetriedThreeTimes) {
  LocalHttpServer::Response drop;
  drop.action = LocalHttpServer::Response::CloseWithoutAnswer;
  server.SetResponse(drop);
  HttpClient client(Url());
  EXPECT_FALSE(client.SendRequest());
  EXPECT_EQ((unsigned long)CURLE_GOT_NOTHING, client.GetLastError());
  EXPECT_EQ(3u, server.RequestCount());

  // A second attempt that succeeds ends the retries.
  server.ClearRequests();
  int calls = 0;
  server.SetHandler([&calls](const LocalHttpServer::Request&) {
    LocalHttpServer::Response r = LocalHttpServer::Text("second");
    if (++calls == 1) r.action = LocalHttpServer::Response::CloseWithoutAnswer;
    return r;
  });
  EXPECT_TRUE(client.SendRequest());
  EXPECT_EQ(L"second", client.GetResponseText());
  EXPECT_EQ(2u, server.RequestCount());
}

TEST_F(HttpClientTest, TotalTimeBoundsAllAttempts) {
  LocalHttpServer::Response silent;
  silent.action = LocalHttpServer::Response::NeverAnswer;
  server.SetResponse(silent);
  HttpClient client(Url());
  client.SetTotalTimeout(200);
  EXPECT_FALSE(client.SendRequest(L"POST"));
  EXPECT_EQ((unsigned long)CURLE_OPERATION_TIMEDOUT, client.GetLastError());
  // The first attempt used the whole budget: no second one was started.
  EXPECT_EQ(1u, server.RequestCount());
}

TEST_F(HttpClientTest, LargeBodyIsKeptWholeWithProgress) {
  std::string body;
  for (int i = 0; i < 50000; ++i) body += (char)('a' + i % 26);
  server.SetResponse(LocalHttpServer::Text(body));
  std::vector<double> progress;
  HttpClient client(Url(), [&progress](double percent) { progress.push_back(percent); });
  ASSERT_TRUE(client.SendRequest());
  EXPECT_EQ(50000u, client.GetResponseContentLength());
  ASSERT_EQ(body.size(), client.GetRawResponseReceivedContentLength());
  EXPECT_EQ(body, std::string(reinterpret_cast<const char*>(client.GetRawResponseContent()), body.size()));
  EXPECT_EQ(Wide(body), client.GetResponseText());
  ASSERT_GE(progress.size(), 2u);
  EXPECT_EQ(0.0, progress.front());
  EXPECT_EQ(100.0, progress.back());
  for (size_t i = 1; i < progress.size(); ++i) EXPECT_LE(progress[i - 1], progress[i]);
}

TEST_F(HttpClientTest, CharsetDecidesTheDecoding) {
  struct Case {
    const char* contentType;  // null: no Content-Type header
    std::string body;
    std::wstring charset, text;
  };
  const Case cases[] = {
      {"text/plain; charset=utf-8", "caf\xc3\xa9 \xe2\x82\xac", L"utf-8", L"caf\u00e9 \u20ac"},
      {"text/plain; charset=UTF-8", "caf\xc3\xa9", L"UTF-8", L"caf\u00e9"},
      // Not UTF-8 after all: the ANSI decoding keeps every byte.
      {"text/plain; charset=utf-8", "caf\xe9", L"utf-8", L"caf\u00e9"},
      {nullptr, "caf\xe9", L"", L"caf\u00e9"},
      {"text/html; charset=iso-8859-1;x", "\xe0 la", L"iso-8859-1", L"\u00e0 la"},
      {"text/plain; charset=utf-8", std::string("a\0b", 3), L"utf-8", std::wstring(L"a\0b", 3)},
  };
  for (const Case& c : cases) {
    LocalHttpServer::Response r;
    if (c.contentType) r.headers.emplace_back("Content-Type", c.contentType);
    r.body = c.body;
    server.SetResponse(r);
    HttpClient client(Url());
    ASSERT_TRUE(client.SendRequest());
    EXPECT_EQ(c.charset, client.GetResponseCharset());
    EXPECT_EQ(c.text, client.GetResponseText());
  }

  // A forced charset wins over the header's.
  LocalHttpServer::Response r = LocalHttpServer::Text("x", "text/plain; charset=utf-8");
  server.SetResponse(r);
  HttpClient forced(Url());
  forced.SetForceCharset(true, L"windows-1252");
  ASSERT_TRUE(forced.SendRequest());
  EXPECT_EQ(L"windows-1252", forced.GetResponseCharset());
}

TEST_F(HttpClientTest, HeaderFieldsAndCookies) {
  LocalHttpServer::Response r = LocalHttpServer::Text("missing", "text/plain");
  r.status = 404;
  r.reason = "Not Found";
  r.headers.emplace_back("Set-Cookie", "id=7; Path=/");
  r.headers.emplace_back("Set-Cookie", "  theme=dark");
  r.headers.emplace_back("Set-Cookie", "ID=7; path=/");  // the same cookie in other case
  server.SetResponse(r);
  HttpClient client(Url());
  // A 404 is still an answer.
  ASSERT_TRUE(client.SendRequest());
  EXPECT_EQ(L"404", client.GetResponseStatusCode());
  EXPECT_EQ(L"id=7; Path=/; theme=dark;", client.GetResponseCookies());
  EXPECT_EQ(7u, client.GetResponseContentLength());
  EXPECT_EQ(0u, client.GetResponseHeader().find(L"HTTP/1.1 404 Not Found\r\n"));
  EXPECT_NE(std::wstring::npos, client.GetResponseHeader().find(L"\r\nSet-Cookie:   theme=dark\r\n"));
}

TEST_F(HttpClientTest, SecondRequestReusesTheSession) {
  server.SetResponse(LocalHttpServer::Text("ok"));
  HttpClient client(Url());
  ASSERT_TRUE(client.SendRequest());
  ASSERT_TRUE(client.SendRequest(L"POST"));
  std::vector<LocalHttpServer::Request> requests = server.Requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ(requests[0].connection, requests[1].connection);
  EXPECT_EQ("GET", requests[0].method);
  EXPECT_EQ("POST", requests[1].method);
  EXPECT_EQ("0", requests[1].Header("Content-Length"));
}

}  // namespace
