// The bounded connection to the print server.
#include "platform/cups/CupsServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace zentavo::cups {
namespace {

constexpr double kGaveUpSeconds = 0.05;

std::string SecondsText(double seconds) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, seconds);
  return ec == std::errc() ? std::string(buffer, end) : std::string("?");
}

// Why the server's first address takes no connection. libcups reports every
// failed connect as "Host is down"; a scheduler that is not running says
// "No such file or directory" or "Connection refused".
std::string ConnectFailure(int waitMs) {
  const std::string port = std::to_string(ippPort());
  http_addrlist_t* list = httpAddrGetList(cupsServer(), AF_UNSPEC, port.c_str());
  if (list == nullptr) return cupsLastErrorString();  // the name does not resolve
  int error = 0;
  const int fd = ::socket(httpAddrFamily(&list->addr), SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    error = errno;
  } else {
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&list->addr), httpAddrLength(&list->addr)) != 0) {
      error = errno;
      if (error == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        socklen_t size = sizeof error;
        error = ::poll(&p, 1, waitMs) == 1 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 ? error
                                                                                                          : ETIMEDOUT;
      }
    }
    ::close(fd);
  }
  httpAddrFreeList(list);
  // It takes connections again: the one libcups tried failed all the same.
  return error != 0 ? std::strerror(error) : cupsLastErrorString();
}

}  // namespace

double AnswerSecondsFrom(const char* value) {
  if (value == nullptr || *value == '\0') return kDefaultAnswerSeconds;
  double seconds = 0;
  const char* end = value + std::strlen(value);
  auto [stop, ec] = std::from_chars(value, end, seconds);
  if (ec != std::errc() || stop != end || !std::isfinite(seconds) || seconds <= 0) return kDefaultAnswerSeconds;
  // A day is as long as anyone waits for a label; beyond it the milliseconds
  // libcups counts in would overflow.
  return std::min(seconds, 86400.0);
}

std::string ServerName() {
  const char* server = cupsServer();
  if (server == nullptr || *server == '\0') server = "localhost";
  if (server[0] == '/') return server;
  return std::string(server) + ":" + std::to_string(ippPort());
}

CupsServer::CupsServer() : name_(ServerName()), answerSeconds_(AnswerSecondsFrom(std::getenv(kTimeoutVariable))) {}

CupsServer::~CupsServer() { Drop(); }

void CupsServer::Drop() {
  if (http_ != nullptr) httpClose(http_);
  http_ = nullptr;
}

int CupsServer::OnTimeout(http_t* http, void* self) {
  // Give up at the first expiry. The bound is for the whole call, not for each
  // wait in it: the rest of this connection's reads and writes fail at once,
  // and a request libcups still sends on it (one call can be several) waits
  // only a moment.
  static_cast<CupsServer*>(self)->timedOut_ = true;
  ::shutdown(httpGetFd(http), SHUT_RDWR);
  httpSetTimeout(http, kGaveUpSeconds, &CupsServer::OnTimeout, self);
  return 0;
}

int CupsServer::ConnectMs() const {
  return std::max(1, static_cast<int>(std::min(answerSeconds_, kMaxConnectSeconds) * 1000));
}

void CupsServer::Fail(std::string message) {
  Drop();  // the next request connects afresh
  problem_ = message;
  throw ServerFailure(message);
}

void CupsServer::GiveUp() {
  gaveUp_ = "The print server " + name_ + " did not answer within " + SecondsText(answerSeconds_) + " s";
  Fail(gaveUp_);
}

http_t* CupsServer::Connection() {
  if (!gaveUp_.empty()) Fail(gaveUp_);
  // A wait that ran out in a call nobody checked (libcups asks the server
  // inside calls that report nothing) is the server not answering all the same.
  if (timedOut_) GiveUp();
  problem_.clear();
  if (http_ == nullptr) {
    http_ = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, ConnectMs(), nullptr);
    if (http_ == nullptr) Fail("Cannot reach the print server " + name_ + ": " + ConnectFailure(ConnectMs()));
    httpSetTimeout(http_, answerSeconds_, &CupsServer::OnTimeout, this);
  }
  return http_;
}

void CupsServer::ThrowIfFailed() {
  if (timedOut_) GiveUp();
  const ipp_status_t status = cupsLastError();
  // libcups says "service unavailable" when it could not (re)connect; an
  // internal error with a socket error behind it is a connection that broke.
  const int socketError = http_ != nullptr ? httpError(http_) : 0;
  if (status == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ||
      (status == IPP_STATUS_ERROR_INTERNAL && socketError != 0)) {
    // EHOSTDOWN is libcups's word for any reconnect that failed, EINVAL for
    // a connection it had already closed: the server itself says more.
    const bool vague = socketError == 0 || socketError == EHOSTDOWN || socketError == EINVAL;
    const std::string reason = vague ? ConnectFailure(ConnectMs()) : std::strerror(socketError);
    Fail("Cannot reach the print server " + name_ + ": " + reason);
  }
}

ipp_status_t CupsServer::FinishDocument(const std::string& queue) {
  const std::string resource = "/printers/" + queue;
  ipp_t* response = cupsGetResponse(Connection(), resource.c_str());
  if (response == nullptr) {
    ThrowIfFailed();
    const int socketError = http_ != nullptr ? httpError(http_) : 0;
    Fail("The print server " + name_ + " gave no answer to the document" +
         (socketError != 0 ? std::string(": ") + std::strerror(socketError) : std::string()));
  }
  const ipp_status_t status = ippGetStatusCode(response);
  ippDelete(response);
  return status;
}

}  // namespace zentavo::cups
