// A station's groups: add a station to a group or remove it from one. The
// station is named by its relative name in its container; the group receives
// the station's own path as the directory reports it.
// Thread-safe: nothing is kept between calls.
#pragma once

#include "frame/output_buffer.h"

namespace txads {

// 0 when the group accepted the change. -1 with the text of the failing call
// otherwise, including a station that already is (or is not) a member.
int AddStationToGroup(const char* station, const char* container_path, const char* group_path,
                      OutputBuffer error);
int DeleteStationFromGroup(const char* station, const char* container_path, const char* group_path,
                           OutputBuffer error);

}  // namespace txads
