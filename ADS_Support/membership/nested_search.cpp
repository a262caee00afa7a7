// The nested group search: breadth first, level by level, five level lists.
#include "membership/nested_search.h"

#include <array>
#include <vector>

#include "directory/read_ahead.h"
#include "frame/conversions.h"

#include "frame/library_values.h"
#include "membership/name_translation.h"
#include "membership/results.h"

namespace txads {

namespace {

void read_ahead(const StringList& groups) {
  std::vector<std::string> paths;
  for (const std::string& group : groups) {
    if (auto path = to_directory(group.c_str())) paths.push_back(std::move(*path));
  }
  directory::read_ahead_groups(paths);
}

}  // namespace

int nested_group_search(MemberWalk walk, const char* name, const char* group, OutputBuffer error,
                        const std::function<void()>& before_level) {
  const membership::TranslationScope translations;  // the name is translated once per search
  const directory::ReadAheadScope reads;            // each level's groups are read at once
  std::array<StringList, kNestedLevels> levels;
  int result = walk(name, group, error, levels[0]);
  if (result == membership::kMember || recursion_flag.load(std::memory_order_relaxed) == 0)
    return result;
  for (size_t level = 1; level < kNestedLevels; ++level) {
    StringList& queue = levels[level - 1];
    if (queue.empty()) continue;
    if (before_level) before_level();
    read_ahead(queue);
    while (!queue.empty() && result != membership::kMember) {
      const std::string entry = queue.remove_head();
      result = walk(name, entry.c_str(), error, levels[level]);
    }
  }
  return result;
}

}  // namespace txads
