#include "directory/socket_layer.h"

#include <lber.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <new>
#include <utility>

#include "directory/call_budget.h"
#include "directory/client_config.h"

namespace txads::directory {
namespace {

// Private options of the layer's control entry: the SASL security layer
// above passes options it does not know on to the layer below.
constexpr int kBytesHeard = 0x7478;
constexpr int kRequestAbandoned = 0x7479;
constexpr int kSetWriteWait = 0x747a;

struct Counts {
  ber_socket_t fd = -1;  // the connection's socket, given at set-up
  uint64_t received = 0;
  // Bytes up to here were waiting before the latest request went out, after
  // a request was abandoned: answers to it, not to a later request.
  uint64_t stale_until = 0;
  bool abandoned = false;  // a request was abandoned since the latest was sent
  long write_wait_ms = milliseconds_of({kDefaultOperationTimeoutSeconds, 0});
};

template <const Sockbuf_IO& kOriginal>
int set_up(Sockbuf_IO_Desc* layer, void* fd) {
  if (kOriginal.sbi_setup != nullptr && kOriginal.sbi_setup(layer, fd) < 0) return -1;
  auto* counts = new (std::nothrow) Counts;
  if (counts == nullptr) return -1;
  counts->fd = *static_cast<const ber_socket_t*>(fd);
  layer->sbiod_pvt = counts;
  return 0;
}

int drop_counts(Sockbuf_IO_Desc* layer) {
  delete static_cast<Counts*>(layer->sbiod_pvt);
  layer->sbiod_pvt = nullptr;
  return 0;
}

// Whether `fd` has room to send before `wait_ms` (cut to the call's time
// left) have passed.
bool room_within(int fd, long wait_ms) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(bounded_milliseconds(wait_ms));
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd room{fd, POLLOUT, 0};
    const int ready = poll(&room, 1, static_cast<int>(std::clamp<long>(left, 0, INT_MAX)));
    if (ready != 0 && !(ready < 0 && errno == EINTR)) return ready > 0;
    if (left <= 0) return false;
  }
}

// Sends what fits without waiting: a server that stops reading fills the
// socket's buffers, and a blocking send would then hold the thread for good.
// The security layer above hands a partial send back to libldap as
// EWOULDBLOCK, and libldap sends the rest as room comes, within the waits
// for the answer. While nothing fits at all, the layer waits for room itself,
// for up to the operation timeout (within the call's time); none by then is
// ETIMEDOUT, which libldap takes for a lost connection. The first send after
// an abandon (the next request) notes the bytes waiting unread, which answer
// requests sent before it.
ber_slen_t send_without_signal(Sockbuf_IO_Desc* layer, void* data, ber_len_t size) {
  auto& counts = *static_cast<Counts*>(layer->sbiod_pvt);
  if (counts.abandoned) {
    int waiting = 0;
    if (ioctl(counts.fd, FIONREAD, &waiting) == 0 && waiting > 0)
      counts.stale_until = counts.received + static_cast<uint64_t>(waiting);
    counts.abandoned = false;
  }
  for (;;) {
    const ber_slen_t sent = send(counts.fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return sent;
    if (!room_within(counts.fd, counts.write_wait_ms)) {
      errno = ETIMEDOUT;
      return -1;
    }
  }
}

// Reads what has come, without waiting: libldap reads the rest of a
// security-layer frame as soon as its first bytes are in, and a blocking read
// would hold the thread, past every timeout, for a server that stopped
// halfway through a frame. Nothing there yet gives EWOULDBLOCK, and libldap
// waits for more within its timeout.
ber_slen_t read_counted(Sockbuf_IO_Desc* layer, void* data, ber_len_t size) {
  auto& counts = *static_cast<Counts*>(layer->sbiod_pvt);
  const ber_slen_t got = recv(counts.fd, data, size, MSG_DONTWAIT);
  if (got > 0) counts.received += static_cast<uint64_t>(got);
  return got;
}

template <const Sockbuf_IO& kOriginal>
int control(Sockbuf_IO_Desc* layer, int option, void* value) {
  auto& counts = *static_cast<Counts*>(layer->sbiod_pvt);
  switch (option) {
    case kBytesHeard:
      *static_cast<uint64_t*>(value) = std::max(counts.received, counts.stale_until);
      return 1;
    case kRequestAbandoned:
      counts.abandoned = true;
      return 1;
    case kSetWriteWait:
      counts.write_wait_ms = *static_cast<const long*>(value);
      return 1;
    default:
      return kOriginal.sbi_ctrl(layer, option, value);
  }
}

// `kOriginal` with sending, reading and control replaced.
template <const Sockbuf_IO& kOriginal>
Sockbuf_IO own_layer() {
  Sockbuf_IO copy = kOriginal;
  copy.sbi_setup = set_up<kOriginal>;
  copy.sbi_remove = drop_counts;
  copy.sbi_ctrl = control<kOriginal>;
  copy.sbi_read = read_counted;
  copy.sbi_write = send_without_signal;
  return copy;
}

// The connection's socket buffer, or null.
Sockbuf* socket_of(LDAP* ld) {
  Sockbuf* socket = nullptr;
  if (ldap_get_option(ld, LDAP_OPT_SOCKBUF, &socket) != LDAP_OPT_SUCCESS) return nullptr;
  return socket;
}

}  // namespace

void use_own_socket_layer(LDAP* ld) {
  // liblber's layers for TCP and for local sockets (ldapi://): both write
  // with write(2), and neither keeps state of its own (no remove entry).
  static Sockbuf_IO own_tcp = own_layer<ber_sockbuf_io_tcp>();
  static Sockbuf_IO own_fd = own_layer<ber_sockbuf_io_fd>();
  const std::pair<Sockbuf_IO*, Sockbuf_IO*> swaps[] = {{&ber_sockbuf_io_tcp, &own_tcp},
                                                       {&ber_sockbuf_io_fd, &own_fd}};
  Sockbuf* socket = socket_of(ld);
  ber_socket_t fd = -1;
  if (socket == nullptr || ber_sockbuf_ctrl(socket, LBER_SB_OPT_GET_FD, &fd) != 1) return;
  for (const auto& [original, own] : swaps) {
    if (ber_sockbuf_ctrl(socket, LBER_SB_OPT_HAS_IO, original) != 1) continue;
    // The new layer goes in above the old one, which then leaves; the layers
    // above (the SASL security layer) reach the one below on every read and
    // write, so the swap holds for them at once. Should the new layer not be
    // set up (liblber leaves it in place then), it leaves and the old one stays.
    if (ber_sockbuf_add_io(socket, own, LBER_SBIOD_LEVEL_PROVIDER, &fd) == 0)
      ber_sockbuf_remove_io(socket, original, LBER_SBIOD_LEVEL_PROVIDER);
    else
      ber_sockbuf_remove_io(socket, own, LBER_SBIOD_LEVEL_PROVIDER);
  }
  long write_wait_ms = milliseconds_of(operation_timeout(ld));
  ber_sockbuf_ctrl(socket, kSetWriteWait, &write_wait_ms);
}

std::optional<uint64_t> bytes_heard(LDAP* ld) {
  Sockbuf* socket = socket_of(ld);
  uint64_t heard = 0;
  if (socket == nullptr || ber_sockbuf_ctrl(socket, kBytesHeard, &heard) != 1) return std::nullopt;
  return heard;
}

void note_abandoned(LDAP* ld) {
  if (Sockbuf* socket = socket_of(ld)) ber_sockbuf_ctrl(socket, kRequestAbandoned, nullptr);
}

}  // namespace txads::directory
