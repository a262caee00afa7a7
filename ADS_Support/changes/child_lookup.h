// Container calls on a child named by the caller. Each call first makes sure
// the relative name names exactly one direct child (check_single_child), so a
// caller's "a,OU=Other" can never reach an object elsewhere; a name that
// fails the check gives kBadPathname as the call's own status.
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
