// The nested group search, the same for users and stations: the walk of the
// named group fills level 0; with the recursion flag set (read once, after
// that walk) the entries of level n-1 are walked into level n for n = 1..4,
// head first, until a walk finds the name. Level 4 is filled, never walked:
// groups down to four levels below the named group are searched. Nothing is
// de-duplicated, so a cycle ends at the depth bound. The answer is the code
// of the last walk that ran.
#pragma once

#include "frame/output_buffer.h"
#include "membership/member_walk.h"

namespace txads {

inline constexpr size_t kNestedLevels = 5;

int nested_group_search(MemberWalk walk, const char* name, const char* group, OutputBuffer error);

}  // namespace txads
