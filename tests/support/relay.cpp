// One thread accepts; one thread per connection copies bytes both ways with
// poll, so that stop() can end all of them within a poll period.
#include "support/relay.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

#include "support/domain.h"
#include "support/ipv4.h"

namespace {

constexpr int kPollMs = 50;

// Reads exactly `size` bytes: false at the end of the stream or on an error.
bool read_exactly(int fd, char* into, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = read(fd, into + done, size - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes all `size` bytes: false on an error.
bool write_exactly(int fd, const char* from, size_t size) {
  for (size_t done = 0; done < size;) {
    const ssize_t n = write(fd, from + done, size - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// One frame of a sealed connection's security layer (a 4-byte length, then
// that many bytes) into `buffer`: its size, or 0 when it does not come whole
// or does not fit.
template <size_t kSize>
ssize_t read_frame(int fd, char (&buffer)[kSize]) {
  if (!read_exactly(fd, buffer, 4)) return 0;
  const auto* length = reinterpret_cast<const unsigned char*>(buffer);
  const size_t size = size_t{length[0]} << 24 | size_t{length[1]} << 16 | size_t{length[2]} << 8 |
                      size_t{length[3]};
  if (size > kSize - 4 || !read_exactly(fd, buffer + 4, size)) return 0;
  return static_cast<ssize_t>(size + 4);
}

}  // namespace

Relay::Relay(std::string target_host, int target_port)
    : target_host_(target_host.empty() ? txads_test::first_controller_address()
                                       : std::move(target_host)),
      target_port_(target_port) {
  start();
}

Relay::~Relay() {
  stop();
}

void Relay::start() {
  stop();
  stopping_ = false;
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a = txads_test::ipv4("127.0.0.1", port_);
  if (bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(listener_, 16) != 0)
    throw std::runtime_error("relay cannot listen");
  socklen_t length = sizeof a;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &length);
  port_ = ntohs(a.sin_port);
  acceptor_ = std::thread([this, l = listener_] { serve(l); });
}

void Relay::stop(bool reset) {
  if (listener_ < 0) return;
  resetting_ = reset;
  stopping_ = true;
  acceptor_.join();
  close(listener_);
  listener_ = -1;
  std::vector<std::thread> pumps;
  {
    std::lock_guard lock(mutex_);
    pumps.swap(pumps_);
  }
  for (std::thread& t : pumps) t.join();
  std::lock_guard lock(mutex_);
  for (int s : sockets_) {
    if (reset) {
      const linger now{1, 0};  // close with a reset, as a crashed server's host does
      setsockopt(s, SOL_SOCKET, SO_LINGER, &now, sizeof now);
    }
    close(s);
  }
  sockets_.clear();
}

void Relay::serve(int listener) {
  while (!stopping_) {
    pollfd wait{listener, POLLIN, 0};
    if (poll(&wait, 1, kPollMs) != 1) continue;
    const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    const int server = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = txads_test::ipv4(target_host_, target_port_);
    if (connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      close(server);
      close(client);
      continue;
    }
    std::lock_guard lock(mutex_);
    sockets_.push_back(client);
    sockets_.push_back(server);
    pumps_.emplace_back([this, client, server] { pump(client, server); });
  }
}

void Relay::pump(int a, int b) {
  char buffer[65536 + 4];  // a whole frame of the security layer
  bool answering = false;  // the server has begun answering the client's latest bytes
  while (!stopping_) {
    if (frozen_) {
      poll(nullptr, 0, kPollMs);
      continue;
    }
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    if (poll(fds, 2, kPollMs) <= 0) continue;
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      // An answer's first frame alone, when the rest is to be held.
      const bool first_of_answer = i == 1 && !answering && pause_ms_ > 0;
      const ssize_t n =
          first_of_answer ? read_frame(fds[i].fd, buffer) : read(fds[i].fd, buffer, sizeof buffer);
      if (n <= 0) {
        shutdown(a, SHUT_RDWR);
        shutdown(b, SHUT_RDWR);
        return;
      }
      const int to = i == 0 ? b : a;
      const size_t size = static_cast<size_t>(n);
      const size_t pause_at = first_of_answer && inside_frame_ ? size / 2 : size;
      if (!write_exactly(to, buffer, pause_at)) return;
      if (first_of_answer) poll(nullptr, 0, static_cast<int>(pause_ms_.load()));
      if (!write_exactly(to, buffer + pause_at, size - pause_at)) return;
      answering = i == 1;
    }
  }
  if (resetting_) return;  // stop() resets the sockets
  shutdown(a, SHUT_RDWR);
  shutdown(b, SHUT_RDWR);
}
