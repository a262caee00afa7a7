// TXADGetGroupList's work: the groups of an account as domain\group names,
// each followed by "|", appended to the caller's list buffer. One translator
// serves the whole call. Thread-safe: nothing is shared between calls.
#pragma once

#include "frame/output_buffer.h"
#include "queries/list_buffer.h"

namespace txads::queries {

// 0 when at least one group name was appended, else -1. The error text goes
// to error only when a step before the enumeration of the groups fails.
// Groups whose name does not fit ("text now + name + 10 < length") are left
// out and later, shorter ones still tried.
int get_group_list(const char* account, ListBuffer list, OutputBuffer error);

}  // namespace txads::queries
