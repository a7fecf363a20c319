// The loopback test server: one thread accepts, one thread per connection serves
// keep-alive requests; a wake pipe ends every wait on Stop.
#include "support/LocalHttpServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const size_t kMaxHeaderBytes = 64 * 1024;
const size_t kMaxBodyBytes = 64 * 1024 * 1024;

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return std::string();
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += (size_t)n;
  }
  return true;
}

}  // namespace

std::string LocalHttpServer::Request::Header(const std::string& name) const {
  for (const auto& h : headers) {
    if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
  }
  return std::string();
}

bool LocalHttpServer::Request::HasHeader(const std::string& name) const {
  for (const auto& h : headers) {
    if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return true;
  }
  return false;
}

LocalHttpServer::LocalHttpServer() {
  if (pipe2(m_wake, O_CLOEXEC) != 0) return;
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return;
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t length = sizeof(addr);
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0) {
    close(fd);
    return;
  }
  m_port = ntohs(addr.sin_port);
  m_listen = fd;
  m_acceptThread = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer() {
  Stop();
  for (int& fd : m_wake) {
    if (fd >= 0) close(fd);
    fd = -1;
  }
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

void LocalHttpServer::SetResponse(const Response& response) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_response = response;
  m_handler = nullptr;
}

void LocalHttpServer::SetHandler(Handler handler) {
  std::lock_guard<std::mutex> guard(m_lock);
  m_handler = std::move(handler);
}

LocalHttpServer::Response LocalHttpServer::Text(const std::string& body, const std::string& contentType) {
  Response r;
  r.headers.emplace_back("Content-Type", contentType);
  r.body = body;
  return r;
}

std::vector<LocalHttpServer::Request> LocalHttpServer::Requests() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_requests;
}

size_t LocalHttpServer::RequestCount() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_requests.size();
}

void LocalHttpServer::ClearRequests() {
  std::lock_guard<std::mutex> guard(m_lock);
  m_requests.clear();
}

void LocalHttpServer::Stop() {
  if (m_stopping.exchange(true)) return;
  if (m_wake[1] >= 0) {
    char c = 1;
    while (write(m_wake[1], &c, 1) < 0 && errno == EINTR) {
    }
  }
  if (m_acceptThread.joinable()) m_acceptThread.join();
  std::vector<std::thread> connections;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    connections.swap(m_connections);
  }
  for (std::thread& t : connections) t.join();
  if (m_listen >= 0) close(m_listen);
  m_listen = -1;
}

bool LocalHttpServer::WaitReadable(int fd) const {
  for (;;) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
    int n = poll(fds, 2, -1);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 || fds[1].revents) return false;
    return fds[0].revents != 0;
  }
}

void LocalHttpServer::AcceptLoop() {
  int count = 0;
  while (WaitReadable(m_listen)) {
    int fd = accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    std::lock_guard<std::mutex> guard(m_lock);
    int connection = ++count;
    m_connections.emplace_back([this, fd, connection] { Serve(fd, connection); });
  }
}

LocalHttpServer::Response LocalHttpServer::Choose(const Request& request) {
  Handler handler;
  Response response;
  {
    std::lock_guard<std::mutex> guard(m_lock);
    m_requests.push_back(request);
    handler = m_handler;
    response = m_response;
  }
  return handler ? handler(request) : response;
}

void LocalHttpServer::Serve(int fd, int connection) {
  std::string buffer;
  auto fill = [&]() {
    if (!WaitReadable(fd)) return false;
    char chunk[16384];
    ssize_t n;
    do {
      n = recv(fd, chunk, sizeof(chunk), 0);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    buffer.append(chunk, (size_t)n);
    return true;
  };

  for (;;) {
    size_t headerEnd;
    while ((headerEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (buffer.size() > kMaxHeaderBytes || !fill()) {
        close(fd);
        return;
      }
    }

    Request request;
    request.connection = connection;
    std::string head = buffer.substr(0, headerEnd);
    buffer.erase(0, headerEnd + 4);
    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t s1 = requestLine.find(' ');
    size_t s2 = requestLine.rfind(' ');
    if (s1 == std::string::npos || s2 == s1) break;
    request.method = requestLine.substr(0, s1);
    request.target = requestLine.substr(s1 + 1, s2 - s1 - 1);
    request.version = requestLine.substr(s2 + 1);
    request.path = request.target.substr(0, request.target.find('?'));
    while (lineEnd != std::string::npos) {
      size_t start = lineEnd + 2;
      lineEnd = head.find("\r\n", start);
      std::string line = head.substr(start, lineEnd == std::string::npos ? std::string::npos : lineEnd - start);
      size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      request.headers.emplace_back(Trim(line.substr(0, colon)), Trim(line.substr(colon + 1)));
    }

    if (strcasecmp(request.Header("Expect").c_str(), "100-continue") == 0 &&
        !SendAll(fd, "HTTP/1.1 100 Continue\r\n\r\n")) {
      break;
    }
    std::string lengthText = request.Header("Content-Length");
    size_t length = lengthText.empty() ? 0 : (size_t)strtoull(lengthText.c_str(), nullptr, 10);
    if (length > kMaxBodyBytes) break;
    while (buffer.size() < length) {
      if (!fill()) {
        close(fd);
        return;
      }
    }
    request.body = buffer.substr(0, length);
    buffer.erase(0, length);

    Response response = Choose(request);
    if (response.action == Response::CloseWithoutAnswer) break;
    if (response.action == Response::NeverAnswer) {
      // Hold the connection until the client gives up or the server stops.
      while (fill()) {
      }
      break;
    }

    bool closeAfter = response.closeAfter || strcasecmp(request.Header("Connection").c_str(), "close") == 0;
    std::string out = "HTTP/1.1 " + std::to_string(response.status) + " " + response.reason + "\r\n";
    bool hasLength = false;
    for (const auto& h : response.headers) {
      out += h.first + ": " + h.second + "\r\n";
      hasLength = hasLength || strcasecmp(h.first.c_str(), "Content-Length") == 0;
    }
    if (!hasLength) out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    if (closeAfter) out += "Connection: close\r\n";
    out += "\r\n";
    out += response.body;
    if (!SendAll(fd, out) || closeAfter) break;
  }
  shutdown(fd, SHUT_RDWR);
  ::close(fd);
}
