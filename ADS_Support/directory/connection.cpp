// Opening a connection. The controller's host name matters because Kerberos
// asks for a ticket for "ldap/<host>": a domain's DNS name or an address has
// no such principal. After the anonymous root DSE read, a connection reached
// under another name is replaced by one to the same address that carries the
// controller's dnsHostName, unless libldap canonicalises host names itself
// (SASL_NOCANON off in the client configuration).
#include "directory/connection.h"

#include <fcntl.h>
#include <gssapi/gssapi_krb5.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openldap.h>
#include <poll.h>
#include <sasl/sasl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include "directory/call_budget.h"
#include "directory/client_config.h"
#include "directory/ldap_handle.h"
#include "directory/ldap_path.h"
#include "directory/locator.h"
#include "directory/operation_counter.h"
#include "directory/socket_layer.h"
#include "directory/status_map.h"
#include "frame/ascii_case.h"
#include "frame/fd.h"
#include "frame/sigpipe_guard.h"

namespace txads::directory {
namespace {

std::string bracketed(const std::string& host) {
  return host.find(':') != std::string::npos ? "[" + host + "]" : host;
}

int initialise(const std::string& uri, LdapHandle& ld) {
  const int rc = new_ldap_handle(uri, ld);
  if (rc != LDAP_SUCCESS) return rc;
  return prepare_handle(ld.get());
}

std::string first_value(LDAP* ld, LDAPMessage* entry, const char* attribute) {
  berval** raw = ldap_get_values_len(ld, entry, attribute);
  Bervals values(raw);
  if (!values || values.get()[0] == nullptr) return "";
  return std::string(values.get()[0]->bv_val, values.get()[0]->bv_len);
}

int read_root_dse(LDAP* ld, RootDse& dse) {
  const char* attributes[] = {
      "dnsHostName",         "defaultNamingContext",    "configurationNamingContext",
      "schemaNamingContext", "rootDomainNamingContext", nullptr};
  // The first answer of a new connection: a server that accepts the
  // connection but does not answer within the connect timeout is hung.
  timeval timeout = network_timeout(ld);
  LDAPMessage* raw = nullptr;
  count_operation();
  const int rc =
      ldap_search_ext_s(ld, "", LDAP_SCOPE_BASE, "(objectClass=*)", const_cast<char**>(attributes),
                        0, nullptr, nullptr, &timeout, LDAP_NO_LIMIT, &raw);
  Message result(raw);
  if (rc == LDAP_TIMEOUT) return LDAP_CONNECT_ERROR;
  if (rc != LDAP_SUCCESS) return rc;
  LDAPMessage* entry = ldap_first_entry(ld, result.get());
  if (entry == nullptr) return LDAP_NO_RESULTS_RETURNED;
  dse.dns_host_name = first_value(ld, entry, "dnsHostName");
  dse.default_naming_context = first_value(ld, entry, "defaultNamingContext");
  dse.configuration_naming_context = first_value(ld, entry, "configurationNamingContext");
  dse.schema_naming_context = first_value(ld, entry, "schemaNamingContext");
  dse.root_domain_naming_context = first_value(ld, entry, "rootDomainNamingContext");
  return LDAP_SUCCESS;
}

// The connect and the root DSE read within the time left in the call; the
// connection keeps the configured connect timeout for its later reads.
int read_root_dse_in_time(LDAP* ld, RootDse& dse) {
  const timeval configured = network_timeout(ld);
  timeval bounded = bounded_timeout(configured);
  if (milliseconds_of(bounded) == 0) bounded = {0, 1000};  // libldap refuses a zero limit
  if (ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &bounded) != LDAP_OPT_SUCCESS)
    return LDAP_LOCAL_ERROR;
  const int rc = read_root_dse(ld, dse);
  if (ldap_set_option(ld, LDAP_OPT_NETWORK_TIMEOUT, &configured) != LDAP_OPT_SUCCESS)
    return LDAP_LOCAL_ERROR;
  return rc;
}

struct Peer {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  int port = 0;
};

int peer_of(LDAP* ld, Peer& peer) {
  int fd = -1;
  if (ldap_get_option(ld, LDAP_OPT_DESC, &fd) != LDAP_OPT_SUCCESS || fd < 0)
    return LDAP_LOCAL_ERROR;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer.address), &peer.length) != 0)
    return LDAP_SERVER_DOWN;
  if (peer.address.ss_family == AF_INET) {
    peer.port = ntohs(reinterpret_cast<sockaddr_in*>(&peer.address)->sin_port);
  } else if (peer.address.ss_family == AF_INET6) {
    peer.port = ntohs(reinterpret_cast<sockaddr_in6*>(&peer.address)->sin6_port);
  } else {
    return LDAP_LOCAL_ERROR;
  }
  return LDAP_SUCCESS;
}

// A new blocking TCP connection to the peer, made within the handle's
// network timeout and the time left in the call.
int connect_to(LDAP* ld, const Peer& peer, Fd& out) {
  Fd fd(socket(peer.address.ss_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (fd.get() < 0) return LDAP_LOCAL_ERROR;
  if (connect(fd.get(), reinterpret_cast<const sockaddr*>(&peer.address), peer.length) != 0) {
    if (errno != EINPROGRESS) return LDAP_CONNECT_ERROR;
    const long ms = bounded_milliseconds(milliseconds_of(network_timeout(ld)));
    pollfd wait{fd.get(), POLLOUT, 0};
    if (poll(&wait, 1, static_cast<int>(ms)) != 1) return LDAP_CONNECT_ERROR;
    int error = 0;
    socklen_t error_length = sizeof error;
    if (getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &error_length) != 0 || error != 0)
      return LDAP_CONNECT_ERROR;
  }
  const int flags = fcntl(fd.get(), F_GETFL);
  if (flags < 0 || fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) return LDAP_LOCAL_ERROR;
  // As libldap sets up its own sockets: requests sent one after another
  // without waiting for an answer (several searches at once) go out at once,
  // not held back until the server acknowledges the first.
  const int on = 1;
  setsockopt(fd.get(), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  setsockopt(fd.get(), IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  out = Fd(fd.release());
  return LDAP_SUCCESS;
}

// Replaces `ld` with a connection to the same server that names it
// `host_name`, so that the SASL bind asks for a ticket for that name.
int move_to_host_name(LdapHandle& ld, const std::string& host_name) {
  Peer peer;
  int rc = peer_of(ld.get(), peer);
  if (rc != LDAP_SUCCESS) return rc;
  const std::string where = bracketed(host_name) + ":" + std::to_string(peer.port);
  if (ldap_tls_inplace(ld.get())) return initialise("ldaps://" + where, ld);  // TLS checks the name

  Fd fd;
  rc = connect_to(ld.get(), peer, fd);
  if (rc != LDAP_SUCCESS) return rc;
  const std::string url = "ldap://" + where;
  LDAP* raw = nullptr;
  rc = ldap_init_fd(fd.get(), LDAP_PROTO_TCP, url.c_str(), &raw);
  LdapHandle moved(raw);
  if (rc != LDAP_SUCCESS) return rc;
  fd.release();  // the handle closes the socket from now on
  ld = std::move(moved);
  return prepare_handle(ld.get());
}

// Answers every SASL prompt with "": no name, no password, no authorisation
// identity; GSSAPI takes the Kerberos credentials.
int answer_prompts(LDAP*, unsigned, void*, void* prompts) {
  for (auto* prompt = static_cast<sasl_interact_t*>(prompts); prompt->id != SASL_CB_LIST_END;
       ++prompt) {
    prompt->result = "";
    prompt->len = 0;
  }
  return LDAP_SUCCESS;
}

// libldap initialises its SASL library on the first bind without a lock:
// the first bind of the process runs alone.
std::mutex first_bind_mutex;
std::atomic<bool> first_bind_done{false};

int sasl_bind(LDAP* ld, const Identity& identity) {
  const std::string mechanism = sasl_mechanism(ld);
  OM_uint32 minor = 0;
  // The bind's Kerberos credentials come from the cache the pool keyed on.
  gss_krb5_ccache_name(&minor, identity.ccache.empty() ? nullptr : identity.ccache.c_str(),
                       nullptr);
  std::unique_lock<std::mutex> first;
  if (!first_bind_done.load()) first = std::unique_lock<std::mutex>(first_bind_mutex);
  count_bind();
  const int rc = ldap_sasl_interactive_bind_s(ld, nullptr, mechanism.c_str(), nullptr, nullptr,
                                              LDAP_SASL_QUIET, answer_prompts, nullptr);
  first_bind_done.store(true);
  gss_krb5_ccache_name(&minor, nullptr, nullptr);
  return rc;
}

}  // namespace

Status Connection::open(const Target& target, const Identity& identity,
                        std::unique_ptr<Connection>& connection) {
  // Until the connection is bound and sends quietly, its writes and those of
  // Kerberos to the KDC could raise SIGPIPE.
  const SigpipeGuard quiet;
  std::unique_ptr<Connection> opened(new Connection);
  opened->server_ = target.uri;
  opened->host_ = target.host;
  count_connection();
  int rc = initialise(target.uri, opened->ld_);
  if (rc != LDAP_SUCCESS) return status_from_ldap(rc);
  LDAP* ld = opened->ld_.get();

  char* raw_base = nullptr;
  ldap_get_option(ld, LDAP_OPT_DEFBASE, &raw_base);
  LdapString base(raw_base);
  if (base) opened->configured_base_ = base.get();

  rc = read_root_dse_in_time(ld, opened->root_dse_);
  if (rc == LDAP_CONNECT_ERROR) note_failed_in_call(target.host);  // silent: hung
  if (rc != LDAP_SUCCESS) return status_from_ldap(rc, ld);
  remember_forest(dns_name_of(opened->root_dse_.default_naming_context),
                  dns_name_of(opened->root_dse_.root_domain_naming_context));

  const std::string& controller = opened->root_dse_.dns_host_name;
  int nocanon = 0;
  ldap_get_option(ld, LDAP_OPT_X_SASL_NOCANON, &nocanon);
  if (nocanon && !controller.empty() && !equal_ignoring_case(target.host, controller)) {
    rc = move_to_host_name(opened->ld_, controller);
    if (rc != LDAP_SUCCESS) return status_from_ldap(rc);
  }

  rc = sasl_bind(opened->ld_.get(), identity);
  if (rc != LDAP_SUCCESS) {
    const Status status = status_from_ldap(rc, opened->ld_.get());
    if (!identity.has_ticket && rc != LDAP_SERVER_DOWN) return kNoLogonSession;
    return status;
  }
  use_own_socket_layer(opened->ld_.get());
  connection = std::move(opened);
  return kOk;
}

}  // namespace txads::directory
