// The SID rule for the domain's users group (RID 513) and computers group
// (RID 515): an account of the group's domain counts as a member. Both return
// 1 (member by the rule) or 0 (not decided). No trace, no error text.
#pragma once

namespace txads {

int IsUserInGroupBySid(const char* user, const char* group);
int IsStationInGroupBySid(const char* station, const char* group);

}  // namespace txads
