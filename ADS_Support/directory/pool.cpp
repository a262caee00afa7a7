// Idle connections per key, last in first out, so that one thread's
// successive operations find the connection it has just used. A client-side
// failure (server down, timeout, a broken security layer) discards the
// connection instead of returning it.
#include "directory/pool.h"

#include <map>
#include <mutex>
#include <vector>

#include "directory/sigpipe_guard.h"
#include "directory/status_map.h"

namespace txads::directory {
namespace {

constexpr size_t kMaxIdlePerKey = 16;

class Pool {
 public:
  ~Pool() {
    SigpipeGuard quiet;
    idle_.clear();
  }

  std::unique_ptr<Connection> take(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto it = idle_.find(key);
    if (it == idle_.end() || it->second.empty()) return nullptr;
    std::unique_ptr<Connection> connection = std::move(it->second.back());
    it->second.pop_back();
    return connection;
  }

  void give_back(const std::string& key, std::unique_ptr<Connection> connection) {
    std::lock_guard lock(mutex_);
    auto& list = idle_[key];
    if (list.size() < kMaxIdlePerKey) list.push_back(std::move(connection));
  }

  // Idle connections to the same server are likely closed as well.
  void drop(const std::string& key) {
    SigpipeGuard quiet;
    std::vector<std::unique_ptr<Connection>> closing;
    {
      std::lock_guard lock(mutex_);
      auto it = idle_.find(key);
      if (it != idle_.end()) closing.swap(it->second);
    }
  }

  void drop_all() {
    SigpipeGuard quiet;
    std::map<std::string, std::vector<std::unique_ptr<Connection>>> closing;
    {
      std::lock_guard lock(mutex_);
      closing.swap(idle_);
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
};

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

Status Lease::open(const Endpoint& endpoint, const std::function<int(Connection&)>& operation) {
  end(LDAP_SUCCESS);
  SigpipeGuard quiet;
  const Identity identity = current_identity();
  key_ = endpoint.key() + '\n' + identity.ccache + '\n' + identity.principal;

  for (int attempt = 0;; ++attempt) {
    connection_ = attempt == 0 ? pool().take(key_) : nullptr;
    const bool kept = connection_ != nullptr;
    if (!kept) {
      const Status opened = Connection::open(endpoint, identity, connection_);
      if (opened.failed()) return opened;
    }
    const int rc = operation(*connection_);
    if (rc == LDAP_SERVER_DOWN && kept) {
      connection_.reset();
      pool().drop(key_);
      continue;
    }
    if (rc < 0) end(rc);
    return status_from_ldap(rc);
  }
}

void Lease::end(int ldap_result) {
  if (!connection_) return;
  SigpipeGuard quiet;
  if (ldap_result >= 0) {
    pool().give_back(key_, std::move(connection_));
  } else {
    connection_.reset();
  }
}

Status with_connection(const Endpoint& endpoint, const std::function<int(Connection&)>& operation) {
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
