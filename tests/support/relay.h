// A TCP relay in front of the real domain controller, for the faults the
// shared test controller must not be put through: going away while other
// test runs use it, hanging, or answering slowly (a slow link: slow_link.h). Stopping the relay
// closes every connection through it and refuses new ones, as a stopped server does; starting it
// again on the same port brings the controller back. A test double for those faults only: every
// byte still goes to and from the real server.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class Relay {
 public:
  // An empty target host is the test domain's first controller
  // ($TXADS_TESTDOMAIN_DC1_ADDRESS, 127.0.0.11 without it).
  explicit Relay(std::string target_host = "", int target_port = 389);
  ~Relay();
  int port() const { return port_; }
  void start();
  // Closes every connection (with a reset instead of an orderly close when
  // `reset`) and refuses new ones until start().
  void stop(bool reset = false);
  // While frozen, connections are accepted but nothing is passed on: a
  // server that hangs.
  void freeze(bool frozen) { frozen_ = frozen; }
  // The server's first frame after the client's latest request is passed on
  // at once and the rest after `pause`: of requests sent together, the first
  // is answered at once and the others late, by a server that is slow, not
  // hung. The connections must be sealed, so that the server sends its
  // answers in frames of the security layer. Zero ends the pauses.
  void pause_answers(std::chrono::milliseconds pause) { pause_ms_ = pause.count(); }
  // With `inside`, the pause comes in the middle of that first frame instead,
  // after its first half: a server that stops halfway through an answer.
  void pause_inside_frames(bool inside) { inside_frame_ = inside; }

 private:
  void serve(int listener);
  void pump(int a, int b);

  std::string target_host_;
  int target_port_;
  int port_ = 0;
  int listener_ = -1;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> frozen_{false};
  std::atomic<bool> resetting_{false};
  std::atomic<long> pause_ms_{0};
  std::atomic<bool> inside_frame_{false};
  std::thread acceptor_;
  std::mutex mutex_;
  std::vector<std::thread> pumps_;
  std::vector<int> sockets_;
};
