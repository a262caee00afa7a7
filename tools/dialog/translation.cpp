// Locale and message catalogue set-up.
#include "translation.h"

#include <unistd.h>

#include <sys/stat.h>
#include <clocale>
#include <string>

namespace txads::dialog {

void init_translation() {
  std::setlocale(LC_ALL, "");
  std::string dir = TXADS_LOCALEDIR;
  char exe[4096];
  const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n > 0) {
    std::string beside(exe, static_cast<size_t>(n));
    beside = beside.substr(0, beside.rfind('/')) + "/locale";
    struct stat info {};
    if (::stat(beside.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) dir = beside;
  }
  bindtextdomain("txads", dir.c_str());
  bind_textdomain_codeset("txads", "UTF-8");
  textdomain("txads");
}

}  // namespace txads::dialog
