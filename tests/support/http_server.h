#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace qmtest {

// A tiny HTTP/1.0 server on 127.0.0.1 for tests. Each request is answered
// by `route(path)`, which returns the whole response text; an empty answer
// closes the connection without a response. Stops and joins on destruction.
class HttpServer {
 public:
  explicit HttpServer(std::function<std::string(const std::string& path)> route) : route_(std::move(route)) {
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    listen_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    int len = sizeof(addr);
    getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len);
    port_ = ntohs(addr.sin_port);
    listen(listen_, 16);
    thread_ = std::thread([this] { Serve(); });
  }
  ~HttpServer() {
    stop_ = true;
    closesocket(listen_);
    thread_.join();
    WSACleanup();
  }
  int port() const { return port_; }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  std::wstring WUrl(const std::string& path) const {
    std::string u = Url(path);
    return std::wstring(u.begin(), u.end());
  }
  int requests() const { return requests_.load(); }

  static std::string Page(const std::string& title, const std::string& body, int status = 200) {
    std::string html = "<html><head><title>" + title + "</title></head><body>" + body + "</body></html>";
    return "HTTP/1.0 " + std::to_string(status) + " X\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
           std::to_string(html.size()) + "\r\nConnection: close\r\n\r\n" + html;
  }
  static std::string Redirect(const std::string& location, int status = 302) {
    return "HTTP/1.0 " + std::to_string(status) + " Moved\r\nLocation: " + location +
           "\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
  }

 private:
  void Serve() {
    while (!stop_) {
      SOCKET s = accept(listen_, nullptr, nullptr);
      if (s == INVALID_SOCKET) continue;
      std::thread([this, s] { Answer(s); }).detach();
    }
  }
  void Answer(SOCKET s) {
    std::string request;
    char buf[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int got = recv(s, buf, sizeof(buf), 0);
      if (got <= 0) break;
      request.append(buf, got);
    }
    ++requests_;
    size_t sp1 = request.find(' '), sp2 = request.find(' ', sp1 + 1);
    std::string path = sp1 == std::string::npos ? "/" : request.substr(sp1 + 1, sp2 - sp1 - 1);
    std::string response = route_(path);
    size_t sent = 0;
    while (sent < response.size()) {
      int n = send(s, response.data() + sent, static_cast<int>(response.size() - sent), 0);
      if (n <= 0) break;
      sent += n;
    }
    shutdown(s, SD_BOTH);
    closesocket(s);
  }

  std::function<std::string(const std::string&)> route_;
  SOCKET listen_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> requests_{0};
  std::thread thread_;
};

}  // namespace qmtest
