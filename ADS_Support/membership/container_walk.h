// The deep station search behind TXADIsStationInContainerEx: a depth-first
// walk through the sub-containers of one object class ("organizationalUnit"
// or "container"), searching each container's own computer objects after
// all of its sub-containers. Children's paths are built (station_names.h),
// not read. Names and paths of any length are held whole. Callers hold the COM count. Thread-safe
// (no shared state).
#pragma once

#include <string>

#include "frame/output_buffer.h"

namespace txads::membership {

// 1: the station's computer object is in `path` or below it (reached through
// `walk_class` only), and `found_path` receives the path of the container
// that holds it; 2: not found; -1: `path` could not be searched. Error texts
// of failing binds and filters go into `error`.
int container_walk(const char* walk_class, const char* station, const std::string& path,
                   OutputBuffer found_path, OutputBuffer error);

// The computer objects directly in `path`: 1 one is named by the station
// RDN, 2 none is, -1 the container cannot be bound or enumerated. Pauses one
// millisecond per element fetched after the first.
int direct_computer_search(const char* station, const std::string& path, OutputBuffer error);

}  // namespace txads::membership
