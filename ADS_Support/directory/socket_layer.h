// The layer at the bottom of every bound connection, in place of liblber's
// TCP layer. It sends with MSG_NOSIGNAL: liblber writes with write(2), and a
// write to a connection the server has closed or reset raises SIGPIPE, whose
// default action ends the host process; so no call needs to touch the
// thread's signal mask for its requests (what is written before the layer
// goes in, while connecting and binding, runs under a SigpipeGuard,
// connection.cpp). It reads without waiting (libldap waits, within its
// timeouts, for the socket to have something), so that a server stopping in
// the middle of a frame cannot hold a read; and it waits for room to send
// for at most the operation timeout, so that a server that stops reading
// cannot hold a send. And it counts the bytes it receives, so that a wait
// for an answer can tell a server that sent nothing (hung) from one whose
// answer is slow without a look at the socket of its own (but one, after a
// request was abandoned, for the bytes its answer left waiting). In every
// other respect it is liblber's layer.
#pragma once

#include <ldap.h>

#include <cstdint>
#include <optional>

namespace txads::directory {

// Puts the layer in place of the TCP layer of `ld`'s connection; a
// connection without one (not connected) is left as it is.
void use_own_socket_layer(LDAP* ld);

// The bytes received on `ld`'s connection since the layer went in, but for
// those that were waiting unread when the latest request went out after an
// abandon (answers to abandoned requests: no sign that the server still
// answers); nothing when the connection has no such layer.
std::optional<uint64_t> bytes_heard(LDAP* ld);

// Tells the layer that a request on `ld`'s connection was abandoned, so
// that its answer may be waiting.
void note_abandoned(LDAP* ld);

}  // namespace txads::directory
