// A relay in front of the real server whose data is held a set time each way.
#include "support/slow_link.h"

#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <deque>

#include "support/ipv4.h"

namespace txads_test {

namespace {

using Clock = std::chrono::steady_clock;

void no_delay(int fd) {
  int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

}  // namespace

// One direction of a relayed connection: a reader queues each chunk with the
// time it is due, a writer sends the chunks in queue order once due.
struct Direction {
  int from = -1;
  int to = -1;
  bool to_server = false;
  std::mutex mutex;
  std::condition_variable ready;
  std::deque<std::pair<Clock::time_point, std::string>> queue;
  bool ended = false;
  std::thread reader, writer;
};

struct SlowLink::Connection {
  int client = -1;
  int server = -1;
  std::atomic<bool> server_spoke{true};
  Direction up, down;

  ~Connection() {
    shutdown(client, SHUT_RDWR);
    shutdown(server, SHUT_RDWR);
    for (Direction* d : {&up, &down}) {
      if (d->reader.joinable()) d->reader.join();
      if (d->writer.joinable()) d->writer.join();
    }
    close(client);
    close(server);
  }
};

namespace {

void read_chunks(SlowLink::Connection& c, Direction& d, const std::atomic<int64_t>& delay_ms,
                 std::atomic<uint64_t>& bytes, std::atomic<uint64_t>& round_trips) {
  std::string buffer(65536, '\0');
  for (;;) {
    const ssize_t n = recv(d.from, buffer.data(), buffer.size(), 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    bytes += static_cast<uint64_t>(n);
    if (d.to_server) {
      if (c.server_spoke.exchange(false)) ++round_trips;
    } else {
      c.server_spoke = true;
    }
    const auto due = Clock::now() + std::chrono::milliseconds(delay_ms.load());
    std::lock_guard lock(d.mutex);
    d.queue.emplace_back(due, buffer.substr(0, static_cast<size_t>(n)));
    d.ready.notify_one();
  }
  std::lock_guard lock(d.mutex);
  d.ended = true;
  d.ready.notify_one();
}

void write_chunks(Direction& d) {
  for (;;) {
    std::pair<Clock::time_point, std::string> chunk;
    {
      std::unique_lock lock(d.mutex);
      d.ready.wait(lock, [&] { return !d.queue.empty() || d.ended; });
      if (d.queue.empty()) break;
      chunk = std::move(d.queue.front());
      d.queue.pop_front();
    }
    std::this_thread::sleep_until(chunk.first);
    size_t sent = 0;
    while (sent < chunk.second.size()) {
      const ssize_t n =
          send(d.to, chunk.second.data() + sent, chunk.second.size() - sent, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        // The receiving side is gone: stop reading the sending side too.
        shutdown(d.from, SHUT_RDWR);
        shutdown(d.to, SHUT_RDWR);
        return;
      }
      sent += static_cast<size_t>(n);
    }
  }
  shutdown(d.to, SHUT_WR);
}

}  // namespace

SlowLink::SlowLink(const std::string& listen_address, int listen_port, std::string target_address,
                   int target_port)
    : target_address_(std::move(target_address)), target_port_(target_port) {
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1;
  if (listen_fd_ >= 0) setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a = ipv4(listen_address, listen_port);
  socklen_t length = sizeof a;
  if (listen_fd_ < 0 || bind(listen_fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      listen(listen_fd_, 16) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
    if (listen_fd_ >= 0) close(listen_fd_);
    listen_fd_ = -1;
    return;
  }
  port_ = ntohs(a.sin_port);
  acceptor_ = std::thread([this] { accept_loop(); });
}

SlowLink::~SlowLink() {
  stopping_ = true;
  if (listen_fd_ >= 0) shutdown(listen_fd_, SHUT_RDWR);
  if (acceptor_.joinable()) acceptor_.join();
  if (listen_fd_ >= 0) close(listen_fd_);
  std::lock_guard lock(mutex_);
  live_.clear();
}

LinkCounts SlowLink::counts() const {
  return {to_server_.load(), to_client_.load(), round_trips_.load(), connections_.load()};
}

void SlowLink::accept_loop() {
  for (;;) {
    const int client = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) {
      if (!stopping_ && errno == EINTR) continue;
      return;
    }
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in target = ipv4(target_address_, target_port_);
    if (server < 0 ||
        connect(server, reinterpret_cast<const sockaddr*>(&target), sizeof target) != 0) {
      if (server >= 0) close(server);
      close(client);
      continue;
    }
    no_delay(client);
    no_delay(server);
    ++connections_;
    auto c = std::make_unique<Connection>();
    c->client = client;
    c->server = server;
    c->up.from = client;
    c->up.to = server;
    c->up.to_server = true;
    c->down.from = server;
    c->down.to = client;
    Connection& r = *c;
    r.up.reader =
        std::thread([&r, this] { read_chunks(r, r.up, delay_ms_, to_server_, round_trips_); });
    r.up.writer = std::thread([&r] { write_chunks(r.up); });
    r.down.reader =
        std::thread([&r, this] { read_chunks(r, r.down, delay_ms_, to_client_, round_trips_); });
    r.down.writer = std::thread([&r] { write_chunks(r.down); });
    std::lock_guard lock(mutex_);
    live_.push_back(std::move(c));
  }
}

}  // namespace txads_test
