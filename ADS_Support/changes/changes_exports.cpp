// The nine exports that change the directory: each enters the frame, takes
// the thread's COM count and hands its arguments to the worker of its name.
#include "changes/organizational_units.h"
#include "changes/station_groups.h"
#include "changes/station_placement.h"
#include "frame/com_init.h"
#include "frame/export_frame.h"
#include "txads.h"

using namespace txads;

extern "C" TXADS_API int TXADCreateOU(const char* parent_path, const char* unit, char* error,
                                      int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADCreateOU");
    ComInit com;
    return CreateOU(parent_path, unit, {error, error_length});
  });
}

extern "C" TXADS_API int TXADDeleteOU(const char* parent_path, const char* unit, char* error,
                                      int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADDeleteOU");
    ComInit com;
    return DeleteOU(parent_path, unit, {error, error_length});
  });
}

extern "C" TXADS_API int TXADMoveOUToContainer(const char* unit_path, const char* destination_path,
                                               char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADMoveOUToContainer");
    ComInit com;
    return MoveOUToContainer(unit_path, destination_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADAddStationToContainer(const char* station, const char* container_path,
                                                   char* error, int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADAddStationToContainer");
    ComInit com;
    return AddStationToContainer(station, container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADDeleteStationFromContainer(const char* station,
                                                        const char* container_path, char* error,
                                                        int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADDeleteStationFromContainer");
    ComInit com;
    return DeleteStationFromContainer(station, container_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADMoveUserToContainer(const char* user, const char* current_path,
                                                 const char* destination_path, char* error,
                                                 int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADMoveUserToContainer");
    ComInit com;
    return MoveUserToContainer(user, current_path, destination_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADMoveStationToContainer(const char* station, const char* current_path,
                                                    const char* destination_path, char* error,
                                                    int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADMoveStationToContainer");
    ComInit com;
    return MoveStationToContainer(station, current_path, destination_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADAddStationToGroup(const char* station,
                                               const char* station_container_path,
                                               const char* group_path, char* error,
                                               int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADAddStationToGroup");
    ComInit com;
    return AddStationToGroup(station, station_container_path, group_path, {error, error_length});
  });
}

extern "C" TXADS_API int TXADDeleteStationFromGroup(const char* station,
                                                    const char* station_container_path,
                                                    const char* group_path, char* error,
                                                    int error_length) {
  return run_export(-1, [&] {
    trace_entry("TXADDeleteStationFromGroup");
    ComInit com;
    return DeleteStationFromGroup(station, station_container_path, group_path,
                                  {error, error_length});
  });
}
