// Container calls on a child named by the caller. The directory layer refuses
// a relative name that is not exactly one attribute=value (kBadPathname), so a
// caller's "a,OU=Other" can never reach an object elsewhere, and finds a child
// only as its own class.
// Stateless; thread-safe as far as the handles passed in are.
#pragma once

#include <string>
#include <string_view>

#include "directory/ads.h"
#include "frame/status.h"

namespace txads {

// Container::get_object, create and delete_object behind the check. The
// lookup finds only an object whose own (most specific) class is
// `class_name`: asked for a "user", it does not find a computer. The
// lookup finds only an object whose own (most specific) class is
// `class_name`: asked for a "user", it does not find a computer.
Status get_child(directory::Container& container, std::string_view class_name, std::string_view rdn,
                 directory::Object& child);
Status create_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn, directory::Object& child);
Status delete_child(directory::Container& container, std::string_view class_name,
                    std::string_view rdn);

// Binds the container, looks up "cn=<name>" of that class in it and reads
// the child's own path. The status of the first step that fails (an empty
// path counts as a failed read); `path` is set only on success.
Status read_child_path(std::string_view class_name, const char* name, const char* container_path,
                       std::string& path);

}  // namespace txads
