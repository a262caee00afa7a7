// Reads the default credential cache and its principal with MIT Kerberos.
// The per-thread context forgets its cached default cache name on every read
// so that a changed KRB5CCNAME is seen at once. Inside an export call the
// cache is read once, by the call's first operation: a call's operations all
// run under the identity it started with, without a file read each. A FILE
// cache that has not changed since this thread last read it is not read
// again: the stamp of the file read (size, modification and change times,
// links), taken through a descriptor the thread keeps open, stands in for its
// contents. A rewrite changes the times; a rename or an unlink of the file
// read changes its change time and a replacement leaves it without links, so
// no look-up of the path is needed (one per call cost more than the rest of
// the check, on many threads at once). Kerberos locks the cache with locks
// of its own descriptors (open file description locks), which closing this
// one leaves alone.
#include "directory/identity.h"

#include <fcntl.h>
#include <krb5.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string_view>

#include "directory/krb5_owners.h"
#include "frame/call_clock.h"
#include "frame/fd.h"

namespace txads::directory {
namespace {

krb5_context thread_context() {
  thread_local Krb5Context context = [] {
    krb5_context raw = nullptr;
    if (krb5_init_context(&raw) != 0) raw = nullptr;
    return Krb5Context(raw);
  }();
  return context.get();
}

Identity read_identity() {
  Identity identity;
  krb5_context context = thread_context();
  if (context == nullptr) return identity;
  krb5_cc_set_default_name(context, nullptr);

  krb5_ccache raw_cache = nullptr;
  if (krb5_cc_default(context, &raw_cache) != 0) return identity;
  Krb5Cache cache(raw_cache, {context});

  char* raw_name = nullptr;
  if (krb5_cc_get_full_name(context, cache.get(), &raw_name) == 0) {
    Krb5String name(raw_name, {context});
    identity.ccache = name.get();
  }

  krb5_principal raw_principal = nullptr;
  if (krb5_cc_get_principal(context, cache.get(), &raw_principal) != 0) return identity;
  Krb5Principal principal(raw_principal, {context});
  char* raw_text = nullptr;
  if (krb5_unparse_name(context, principal.get(), &raw_text) == 0) {
    Krb5UnparsedName text(raw_text, {context});
    identity.principal = text.get();
  }
  identity.has_ticket =
      CredentialCursor(context, cache.get()).any([](const krb5_creds&) { return true; });
  return identity;
}

struct FileStamp {
  off_t size = 0;
  timespec modified{}, changed{};

  friend bool operator==(const FileStamp& a, const FileStamp& b) {
    return a.size == b.size && a.modified.tv_sec == b.modified.tv_sec &&
           a.modified.tv_nsec == b.modified.tv_nsec && a.changed.tv_sec == b.changed.tv_sec &&
           a.changed.tv_nsec == b.changed.tv_nsec;
  }
};

// The stamp of the regular file open as `fd`; none once it has no name left.
std::optional<FileStamp> stamp_of(int fd) {
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_nlink == 0)
    return std::nullopt;
  return FileStamp{status.st_size, status.st_mtim, status.st_ctim};
}

// The file's path when the cache is a FILE cache, else "".
std::string file_of(const std::string& ccache) {
  constexpr std::string_view kFile = "FILE:";
  return ccache.starts_with(kFile) ? ccache.substr(kFile.size()) : std::string();
}

// File times are kept at a coarse tick, so a rewrite in the tick of an earlier
// read could leave the stamp as it was. A stamp is trusted only for a file
// last written well before the read began.
bool settled(const FileStamp& stamp, time_t read_began) {
  constexpr time_t kMargin = 2;  // seconds
  return stamp.modified.tv_sec + kMargin < read_began;
}

// The identity the cache named by KRB5CCNAME holds now, read afresh unless it
// is the FILE cache this thread last read and its stamp is unchanged.
std::shared_ptr<const Identity> identity_now() {
  struct Remembered {
    std::string variable;  // KRB5CCNAME when read
    Fd file;               // the cache file read
    FileStamp stamp;
    std::shared_ptr<const Identity> identity;
  };
  thread_local std::optional<Remembered> remembered;

  const char* variable = std::getenv("KRB5CCNAME");
  const std::string_view named = variable ? variable : "";
  if (remembered && remembered->variable == named &&
      stamp_of(remembered->file.get()) == remembered->stamp)
    return remembered->identity;

  remembered.reset();
  const time_t read_began = std::time(nullptr);
  auto identity = std::make_shared<const Identity>(read_identity());
  const std::string path = file_of(identity->ccache);
  if (path.empty()) return identity;
  Fd file(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  const auto stamp = stamp_of(file.get());
  if (stamp && settled(*stamp, read_began))
    remembered = Remembered{std::string(named), std::move(file), *stamp, identity};
  return identity;
}

}  // namespace

std::shared_ptr<const Identity> current_identity() {
  thread_local uint64_t read_in = 0;
  thread_local std::shared_ptr<const Identity> identity;
  if (call_serial() == 0) return identity_now();
  if (read_in != call_serial()) {
    identity = identity_now();
    read_in = call_serial();
  }
  return identity;
}

}  // namespace txads::directory
