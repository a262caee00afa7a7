// Idle connections per key. A thread takes the connection it gave back last
// while that one is idle, else the one given back last: each thread of a busy
// process keeps to a connection of its own, as long as there are enough,
// and finds its state still in the processor's caches. A client-side
// failure (server down, timeout, a broken security layer) discards the
// connection instead of returning it.
//
// Failover: a server that refuses a new connection, or leaves a request
// unanswered for the connect timeout (LDAP_CONNECT_ERROR from the layer's
// reads), goes into the table of avoided servers and the call goes on with
// the next server. A kept connection the server has closed (LDAP_SERVER_DOWN)
// only sends the call to a new connection: servers close idle connections.
//
// Bounds: every wait lasts at most the time left in the export call
// (call_budget.h). A kept connection whose server stayed silent until a wait
// ran out is closed, with every idle connection to that server, so that no
// later operation or call waits on them again; a server that could not be
// reached or stayed silent on a new connection is not tried again in the
// same call; a call with no time left opens nothing.
#include "directory/pool.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "directory/avoided_servers.h"
#include "directory/call_budget.h"
#include "directory/listing_ahead.h"
#include "directory/search_ahead.h"
#include "directory/servers.h"
#include "directory/status_map.h"

namespace txads::directory {
namespace {

constexpr size_t kMaxIdlePerKey = 16;

class Pool {
 public:
  ~Pool() { idle_.clear(); }

  std::unique_ptr<Connection> take(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto it = idle_.find(key);
    if (it == idle_.end() || it->second.empty()) return nullptr;
    auto& list = it->second;
    auto pick =
        std::find_if(list.begin(), list.end(), [](const auto& c) { return c.get() == own; });
    if (pick == list.end()) pick = list.end() - 1;
    std::unique_ptr<Connection> connection = std::move(*pick);
    list.erase(pick);
    return connection;
  }

  void give_back(const std::string& key, std::unique_ptr<Connection> connection) {
    std::lock_guard lock(mutex_);
    auto& list = idle_[key];
    if (list.size() >= kMaxIdlePerKey) return;
    own = connection.get();
    list.push_back(std::move(connection));
  }

  // Idle connections to a server (its URI) that closed one, for every
  // identity, are likely closed as well.
  void drop_server(const std::string& uri) {
    drop_if([&uri](const Connection& connection) { return connection.server() == uri; });
  }

  // Idle connections to a host that hung, on any port, are likely hung as well.
  void drop_host(const std::string& host) {
    drop_if([&host](const Connection& connection) { return connection.host() == host; });
  }

  void drop_all() {
    std::map<std::string, std::vector<std::unique_ptr<Connection>>> closing;
    {
      std::lock_guard lock(mutex_);
      closing.swap(idle_);
    }
  }

  // Closes the matching idle connections outside the lock.
  template <class Match>
  void drop_if(Match match) {
    std::vector<std::unique_ptr<Connection>> closing;
    {
      std::lock_guard lock(mutex_);
      for (auto& [key, list] : idle_) {
        for (auto& connection : list)
          if (match(*connection)) closing.push_back(std::move(connection));
        std::erase(list, nullptr);
      }
    }
  }

  size_t size() {
    std::lock_guard lock(mutex_);
    size_t count = 0;
    for (const auto& [key, list] : idle_) count += list.size();
    return count;
  }

 private:
  std::mutex mutex_;
  std::map<std::string, std::vector<std::unique_ptr<Connection>>> idle_;
  // Compared only, never followed: it may have been closed since.
  static thread_local const Connection* own;
};

thread_local const Connection* Pool::own = nullptr;

Pool& pool() {
  static Pool instance;
  return instance;
}

}  // namespace

Lease& Lease::operator=(Lease&& other) noexcept {
  if (this != &other) {
    end(LDAP_SUCCESS);
    key_ = std::move(other.key_);
    connection_ = std::move(other.connection_);
  }
  return *this;
}

namespace {

// A result that says the server is gone or hung rather than answering.
bool server_lost(int rc) {
  return rc == LDAP_SERVER_DOWN || rc == LDAP_CONNECT_ERROR;
}

// A result that says a wait for the server ran out.
bool waited_out(int rc) {
  return rc == LDAP_CONNECT_ERROR || rc == LDAP_TIMEOUT;
}

// Avoids a server that left a wait unanswered, and closes the idle
// connections to its host: a hung host answers on none of its ports.
void give_up_on(const std::string& server, const std::string& host) {
  avoid_server(server);
  pool().drop_host(host);
}

// The targets with the avoided ones last.
std::vector<Target> in_trial_order(const std::vector<Target>& targets) {
  std::vector<std::string> uris;
  for (const Target& target : targets) uris.push_back(target.uri);
  std::vector<Target> ordered;
  for (const std::string& uri : order_avoided_last(uris)) {
    for (const Target& target : targets) {
      if (target.uri == uri) {
        ordered.push_back(target);
        break;
      }
    }
  }
  return ordered;
}

}  // namespace

Status Lease::open(const Endpoint& endpoint, const std::function<int(Connection&)>& operation) {
  end(LDAP_SUCCESS);
  const std::shared_ptr<const Identity> identity = current_identity();
  Servers servers;
  Status status = find_servers(endpoint, identity->principal, servers);
  if (status.failed()) return status;
  // Built for every operation: in one allocation.
  key_.reserve(servers.key.size() + identity->ccache.size() + identity->principal.size() + 2);
  key_.assign(servers.key)
      .append(1, '\n')
      .append(identity->ccache)
      .append(1, '\n')
      .append(identity->principal);
  if (call_time_spent()) return kServerDown;

  // A kept connection first, unless its server has been found lost since.
  while ((connection_ = pool().take(key_)) != nullptr) {
    if (server_avoided(connection_->server())) {
      connection_.reset();
      continue;
    }
    const int rc = operation(*connection_);
    if (!server_lost(rc)) {
      const Status mapped = status_from_ldap(rc, connection_->ld());
      if (rc < 0) end(rc);
      return mapped;
    }
    const std::string server = connection_->server(), host = connection_->host();
    connection_.reset();
    if (rc == LDAP_CONNECT_ERROR) {
      give_up_on(server, host);
    } else {
      pool().drop_server(server);
    }
    break;
  }

  status = kServerDown;
  for (const Target& target : in_trial_order(*servers.targets)) {
    if (failed_in_call(target.uri) || failed_in_call(target.host)) continue;
    if (call_time_spent()) break;
    status = Connection::open(target, *identity, connection_);
    if (status == kServerDown) {
      avoid_server(target.uri);
      note_failed_in_call(target.uri);
      continue;
    }
    if (status.failed()) return status;
    const int rc = operation(*connection_);
    if (server_lost(rc)) {
      connection_.reset();
      give_up_on(target.uri, target.host);
      note_failed_in_call(rc == LDAP_CONNECT_ERROR ? target.host : target.uri);
      status = status_from_ldap(rc);
      continue;
    }
    forget_avoided_server(target.uri);
    const Status mapped = status_from_ldap(rc, connection_->ld());
    if (rc < 0) end(rc);
    return mapped;
  }
  return status;
}

void Lease::end(int ldap_result) {
  if (!connection_) return;
  if (ldap_result >= 0) {
    pool().give_back(key_, std::move(connection_));
    return;
  }
  const std::string server = connection_->server(), host = connection_->host();
  connection_.reset();
  if (waited_out(ldap_result)) give_up_on(server, host);  // hung mid-listing, or silent too long
}

namespace {

// The operation on a connection lent by requests asked ahead. A client-side
// failure ends the lending with it (`drop`), as Lease::end ends a lease;
// nothing when the connection has gone, leaving the operation to the pool.
template <class Drop>
std::optional<Status> on_lent(Connection& lent, const std::function<int(Connection&)>& operation,
                              Drop drop) {
  const int rc = operation(lent);
  const Status status = status_from_ldap(rc, lent.ld());
  if (rc < 0) drop(rc);
  if (server_lost(rc)) return std::nullopt;
  return status;
}

}  // namespace

Status with_connection(const Endpoint& endpoint, const std::function<int(Connection&)>& operation) {
  // After a listing asked ahead, on its connection (see listing_ahead.h).
  if (Connection* lent = listing_ahead_connection(endpoint)) {
    if (auto status = on_lent(*lent, operation, drop_listing_ahead)) return *status;
  }
  // After searches asked ahead, on their connection (see search_ahead.h).
  if (Connection* lent = search_ahead_connection(endpoint)) {
    if (auto status = on_lent(*lent, operation, [lent](int rc) { drop_search_ahead(*lent, rc); }))
      return *status;
  }
  Lease lease;
  return lease.open(endpoint, operation);
}

void drop_connections() {
  pool().drop_all();
}

size_t kept_connections() {
  return pool().size();
}

}  // namespace txads::directory
