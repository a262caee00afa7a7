// Stations and users in the container tree: create a station (a computer
// object prepared as a workstation account), delete one, and move a user or
// a station into another container under its own relative name.
// Each worker writes its own trace line and returns 0 or -1; on -1 the
// caller's error buffer holds the text of the failing call.
// Thread-safe: nothing is kept between calls.
#pragma once

#include "frame/output_buffer.h"

namespace txads {

// Creates "cn=<station>" with sAMAccountName "<station>$", enables it, then
// makes it a workstation account (userAccountControl 0x1020, sAMAccountType,
// primaryGroupID 515) on a best-effort basis. 0 when the station was created
// and enabled; the buffer then holds the text of a failed best-effort staging,
// if any. -1 otherwise; a station created but not enabled stays behind.
// Station names are limited to 258 bytes.
int AddStationToContainer(const char* station, const char* container_path, OutputBuffer error);

// Deletes "cn=<station>" of class computer; a missing station is a failure.
int DeleteStationFromContainer(const char* station, const char* container_path, OutputBuffer error);

// Moves "cn=<name>" of class user (computer) from the current container to
// the destination. A name of the other class fails at the lookup.
int MoveUserToContainer(const char* user, const char* current_path, const char* destination_path,
                        OutputBuffer error);
int MoveStationToContainer(const char* station, const char* current_path,
                           const char* destination_path, OutputBuffer error);

}  // namespace txads
