// A small HTTP/1.1 server on 127.0.0.1 for tests: records every request and
// answers with a configured response (or closes, or never answers). Keep-alive
// connections are served; request bodies need a Content-Length (no chunked upload).
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class LocalHttpServer {
 public:
  struct Request {
    std::string method;   // "GET", "POST", ...
    std::string target;   // as sent: path and query
    std::string path;     // the target without its query
    std::string version;  // "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in order, as sent
    std::string body;
    int connection = 0;   // connections are numbered from 1 in accept order
    // The first header of that name (any case); empty when missing.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
  };

  struct Response {
    enum Action {
      Answer,              // send the status, headers and body
      CloseWithoutAnswer,  // drop the connection after reading the request
      NeverAnswer,         // keep the connection open, silent, until the client leaves
    };
    Action action = Answer;
    int status = 200;
    std::string reason = "OK";
    // Sent as given; Content-Length is added unless present here.
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    bool closeAfter = false;  // "Connection: close" and end the connection
  };
  typedef std::function<Response(const Request&)> Handler;

  // Binds an ephemeral port on 127.0.0.1 and starts serving at once.
  LocalHttpServer();
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  bool IsRunning() const { return m_listen >= 0; }
  int Port() const { return m_port; }
  // "http://127.0.0.1:<port>" followed by the path.
  std::string Url(const std::string& path = "/") const;

  // The same response for every request (default: 200 with an empty body).
  void SetResponse(const Response& response);
  // Or a function that chooses per request; it runs on the server's thread.
  void SetHandler(Handler handler);
  static Response Text(const std::string& body, const std::string& contentType = "text/plain");

  // Every request received so far (recorded before it is answered).
  std::vector<Request> Requests() const;
  size_t RequestCount() const;
  void ClearRequests();

  // Stops accepting, ends open connections and joins the threads (the destructor does it too).
  void Stop();

 private:
  void AcceptLoop();
  void Serve(int fd, int connection);
  bool WaitReadable(int fd) const;
  Response Choose(const Request& request);

  int m_listen = -1;
  int m_port = 0;
  int m_wake[2] = {-1, -1};  // written once on Stop; every wait also watches it
  std::atomic<bool> m_stopping{false};
  std::thread m_acceptThread;
  mutable std::mutex m_lock;
  std::vector<std::thread> m_connections;
  std::vector<Request> m_requests;
  Handler m_handler;
  Response m_response;
};
