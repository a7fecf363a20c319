// HTTPS certificates are checked even when the caller does not ask for it.
#include "HttpClient.h"

#include <arpa/inet.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

// A TLS listener with a freshly made self-signed certificate. It answers "ok" to
// any client that completes the handshake and counts those handshakes.
class SelfSignedTlsServer {
 public:
  SelfSignedTlsServer() {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    if (!key || !cert) return;
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -60);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("127.0.0.1"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    X509_sign(cert, key, EVP_sha256());
    m_ctx = SSL_CTX_new(TLS_server_method());
    bool ok = m_ctx && SSL_CTX_use_certificate(m_ctx, cert) == 1 && SSL_CTX_use_PrivateKey(m_ctx, key) == 1;
    X509_free(cert);
    EVP_PKEY_free(key);
    if (!ok) return;

    m_fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(addr);
    if (bind(m_fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(m_fd, 4) != 0 ||
        getsockname(m_fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
      return;
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
  }
  ~SelfSignedTlsServer() {
    if (m_fd >= 0) shutdown(m_fd, SHUT_RDWR);  // ends the blocking accept
    if (m_thread.joinable()) m_thread.join();
    if (m_fd >= 0) close(m_fd);
    if (m_ctx) SSL_CTX_free(m_ctx);
  }
  int Port() const { return m_port; }
  int Handshakes() const { return m_handshakes; }
  int Connections() const { return m_connections; }

 private:
  void Serve() {
    for (;;) {
      int client = accept(m_fd, nullptr, nullptr);
      if (client < 0) return;
      ++m_connections;
      SSL* ssl = SSL_new(m_ctx);
      SSL_set_fd(ssl, client);
      if (SSL_accept(ssl) == 1) {
        ++m_handshakes;
        char buffer[4096];
        SSL_read(ssl, buffer, sizeof(buffer));
        const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
        SSL_write(ssl, reply, sizeof(reply) - 1);
        SSL_shutdown(ssl);
      }
      SSL_free(ssl);
      close(client);
    }
  }

  SSL_CTX* m_ctx = nullptr;
  int m_fd = -1;
  int m_port = 0;
  std::thread m_thread;
  std::atomic<int> m_handshakes{0};
  std::atomic<int> m_connections{0};
};

TEST(HttpClientTlsTest, UnknownCertificateIsRefusedEvenWhenNotRequired) {
  SelfSignedTlsServer server;
  ASSERT_NE(0, server.Port());
  std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/server_access.php";
  HttpClient client(std::wstring(url.begin(), url.end()));
  client.SetRequireValidSslCertificates(false);
  EXPECT_FALSE(client.SendRequest(L"POST"));
  EXPECT_EQ((unsigned long)CURLE_PEER_FAILED_VERIFICATION, client.GetLastError());
  EXPECT_GE(server.Connections(), 1);
  EXPECT_EQ(0, server.Handshakes());
}

}  // namespace
