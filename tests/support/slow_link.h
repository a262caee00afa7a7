// A TCP relay on loopback that holds every chunk of data for a set time in
// each direction before passing it on, in order, to stand for a slow link to
// the directory server (user space, so it needs no kernel traffic shaping).
// Chunks sent one after another are held side by side, not one after the
// other, as on a real link. A test double for the delay only: every byte
// still goes to and from the real server. The benchmarks use it too.
// It counts the bytes it carries and the turn-arounds: a chunk from the client
// after the server last spoke on that connection (or the connection's first
// chunk) is one round trip.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace txads_test {

struct LinkCounts {
  uint64_t bytes_to_server = 0;
  uint64_t bytes_to_client = 0;
  uint64_t round_trips = 0;
  uint64_t connections = 0;
};

class SlowLink {
 public:
  // Listens on listen_address:listen_port (IPv4; port 0: the system chooses)
  // and relays every connection to target_address:target_port.
  SlowLink(const std::string& listen_address, int listen_port, std::string target_address,
           int target_port);
  ~SlowLink();
  SlowLink(const SlowLink&) = delete;
  SlowLink& operator=(const SlowLink&) = delete;

  bool listening() const { return listen_fd_ >= 0; }
  int port() const { return port_; }
  // The hold in each direction; applies to chunks read from now on.
  void set_delay(std::chrono::milliseconds one_way) { delay_ms_ = one_way.count(); }
  LinkCounts counts() const;

  struct Connection;

 private:
  void accept_loop();

  std::string target_address_;
  int target_port_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<int64_t> delay_ms_{0};
  std::atomic<bool> stopping_{false};
  std::atomic<uint64_t> to_server_{0}, to_client_{0}, round_trips_{0}, connections_{0};
  std::mutex mutex_;
  std::vector<std::unique_ptr<Connection>> live_;
  std::thread acceptor_;
};

}  // namespace txads_test
