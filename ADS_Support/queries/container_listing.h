// The container listings: the common names of the users or the stations
// (computer objects) directly in a container, each followed by "|".
// Results: 0 every entry listed, -3 nothing of the class, -2 an entry did
// not fit (the list holds those before it), -1 path of 7 characters or
// fewer, bind failure or no enumeration.
//
// The list buffer's text on entry is kept: entries are appended behind it
// and it counts against the length ("text on entry + fill count < length
// - 1" admits an entry). Pass an empty string to use the whole buffer.
// Thread-safe: each call binds its own objects.
#pragma once

#include <string_view>

#include "frame/output_buffer.h"
#include "queries/list_buffer.h"

namespace txads::queries {

// The workers behind TXADGetUserListFromContainer and
// TXADGetStationListFromContainer; they write their own entry trace lines.
int GetUserListFromContainer(const char* container_path, char* list, int list_length, char* error,
                             int error_length);
int GetStationListFromContainer(const char* container_path, char* list, int list_length,
                                char* error, int error_length);

// The algorithm of both workers, for class_name "user" or "computer".
int list_container(std::string_view class_name, const char* container_path, ListBuffer list,
                   OutputBuffer error);

}  // namespace txads::queries
