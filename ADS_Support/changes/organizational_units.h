// Organisational units: create one below a container, delete one, move one
// into another container. Each worker writes its own trace line, does its
// directory work with the caller's credentials and returns 0 or -1; error
// texts go to the caller's error buffer as each worker documents.
// Thread-safe: nothing is kept between calls.
#pragma once

#include "frame/output_buffer.h"

namespace txads {

// 0 when the unit "OU=<unit>" exists below the parent afterwards, whether it
// was found or created (a found unit is not written to). -1 otherwise: with
// the buffer untouched for a parent path of 7 bytes or fewer, else with the
// text of the failing bind, create or write.
int CreateOU(const char* parent_path, const char* unit, OutputBuffer error);

// 0 when the unit was deleted or is not found below the parent. -1 when the
// parent path is 7 bytes or fewer or the directory refuses the deletion (the
// buffer untouched), or with the text of a failed bind or a refused name.
int DeleteOU(const char* parent_path, const char* unit, OutputBuffer error);

// 0 when the unit at unit_path now lies in the destination, under its own
// relative name; -1 with the text of the failed bind or move.
int MoveOUToContainer(const char* unit_path, const char* destination_path, OutputBuffer error);

}  // namespace txads
