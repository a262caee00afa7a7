// The member walks: each binds one group, enumerates its members of the
// account's class and of class group, compares every account member with the
// name it was given and appends the path of every member group to
// `sub_groups`. 1 found, 2 group bound and not found, -1 group not bound.
// A failing directory call writes its error text into `error`; a walk that
// fails nothing leaves `error` as it was. Callers hold the COM count.
// Names and group texts are the caller's 8-bit text, never null.
#pragma once

#include "frame/output_buffer.h"
#include "frame/string_list.h"

namespace txads {

using MemberWalk = int (*)(const char* name, const char* group, OutputBuffer error,
                           StringList& sub_groups);

// User accounts (domain\name), compared by DN; traces every step.
int IsUserInGroup(const char* user, const char* group, OutputBuffer error, StringList& sub_groups);

// Stations by common name, compared by relative name; traces nothing.
int IsStationInGroup(const char* station, const char* group, OutputBuffer error,
                     StringList& sub_groups);

}  // namespace txads
