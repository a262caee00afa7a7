#include "directory/socket_layer.h"

#include <lber.h>
#include <sys/ioctl.h>
#include <sys/socket.h>

#include <algorithm>
#include <new>
#include <utility>

namespace txads::directory {
namespace {

// Private options of the layer's control entry: the SASL security layer
// above passes options it does not know on to the layer below.
constexpr int kBytesHeard = 0x7478;
constexpr int kRequestAbandoned = 0x7479;

struct Counts {
  ber_socket_t fd = -1;  // the connection's socket, given at set-up
  uint64_t received = 0;
  // Bytes up to here were waiting before the latest request went out, after
  // a request was abandoned: answers to it, not to a later request.
  uint64_t stale_until = 0;
  bool abandoned = false;  // a request was abandoned since the latest was sent
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

// Sends; the first send after an abandon (the next request) notes the bytes
// waiting unread, which answer requests sent before it.
ber_slen_t send_without_signal(Sockbuf_IO_Desc* layer, void* data, ber_len_t size) {
  auto& counts = *static_cast<Counts*>(layer->sbiod_pvt);
  if (counts.abandoned) {
    int waiting = 0;
    if (ioctl(counts.fd, FIONREAD, &waiting) == 0 && waiting > 0)
      counts.stale_until = counts.received + static_cast<uint64_t>(waiting);
    counts.abandoned = false;
  }
  return send(counts.fd, data, size, MSG_NOSIGNAL);
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
