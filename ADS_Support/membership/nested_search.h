// The nested group search, the same for users and stations: the walk of the
// named group fills level 0; with the recursion flag set (read once, after
// that walk) the entries of level n-1 are walked into level n for n = 1..4,
// head first, until a walk finds the name. Level 4 is filled, never walked:
// groups down to four levels below the named group are searched. Nothing is
// de-duplicated, so a cycle ends at the depth bound. The answer is the code
// of the last walk that ran.
#pragma once

#include <functional>

#include "frame/output_buffer.h"
#include "membership/member_walk.h"

namespace txads {

inline constexpr size_t kNestedLevels = 5;

// `before_level`, when given, runs before each level after the first is
// walked (the caller asks there for what it will read after the search).
int nested_group_search(MemberWalk walk, const char* name, const char* group, OutputBuffer error,
                        const std::function<void()>& before_level = {});

}  // namespace txads
