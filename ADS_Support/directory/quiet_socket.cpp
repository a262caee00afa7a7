#include "directory/quiet_socket.h"

#include <lber.h>
#include <sys/socket.h>

#include <utility>

namespace txads::directory {
namespace {

ber_slen_t send_without_signal(Sockbuf_IO_Desc* layer, void* data, ber_len_t size) {
  ber_socket_t fd = -1;
  ber_sockbuf_ctrl(layer->sbiod_sb, LBER_SB_OPT_GET_FD, &fd);
  return send(fd, data, size, MSG_NOSIGNAL);
}

// `layer` with its write replaced.
Sockbuf_IO quiet(const Sockbuf_IO& layer) {
  Sockbuf_IO copy = layer;
  copy.sbi_write = send_without_signal;
  return copy;
}

}  // namespace

void send_quietly(LDAP* ld) {
  // liblber's layers for TCP and for local sockets (ldapi://), both writing with write(2).
  static Sockbuf_IO quiet_tcp = quiet(ber_sockbuf_io_tcp), quiet_fd = quiet(ber_sockbuf_io_fd);
  const std::pair<Sockbuf_IO*, Sockbuf_IO*> swaps[] = {{&ber_sockbuf_io_tcp, &quiet_tcp},
                                                       {&ber_sockbuf_io_fd, &quiet_fd}};
  Sockbuf* socket = nullptr;
  ber_socket_t fd = -1;
  if (ldap_get_option(ld, LDAP_OPT_SOCKBUF, &socket) != LDAP_OPT_SUCCESS || socket == nullptr ||
      ber_sockbuf_ctrl(socket, LBER_SB_OPT_GET_FD, &fd) != 1)
    return;
  for (const auto& [loud, quiet_one] : swaps) {
    if (ber_sockbuf_ctrl(socket, LBER_SB_OPT_HAS_IO, loud) != 1) continue;
    // The new layer goes in above the old one, which then leaves; the layers
    // above (the SASL security layer) reach the one below on every read and
    // write, so the swap holds for them at once. Should the new layer not go
    // in, the old one stays.
    if (ber_sockbuf_add_io(socket, quiet_one, LBER_SBIOD_LEVEL_PROVIDER, &fd) == 0)
      ber_sockbuf_remove_io(socket, loud, LBER_SBIOD_LEVEL_PROVIDER);
  }
}

}  // namespace txads::directory
