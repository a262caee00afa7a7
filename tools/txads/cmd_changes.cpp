// Subcommands for the exports that change the directory: organisational
// units, stations, users and station groups. Each prints the result and the
// error buffer.
#include "cli.h"
#include "txads.h"

namespace {

using Change2 = int (*)(const char*, const char*, char*, int);
using Change3 = int (*)(const char*, const char*, const char*, char*, int);

int report(int result, const cli::Buffer& error) {
  cli::print_result(result);
  cli::print_buffer("error", error);
  return result;
}

int run2(Change2 change, const cli::Options& o) {
  cli::Buffer error(o.error_size);
  const int result = change(o.args[0].c_str(), o.args[1].c_str(), error.data(), error.size());
  return report(result, error);
}

int run3(Change3 change, const cli::Options& o) {
  cli::Buffer error(o.error_size);
  const int result =
      change(o.args[0].c_str(), o.args[1].c_str(), o.args[2].c_str(), error.data(), error.size());
  return report(result, error);
}

const cli::Registration create_ou{
    {"create-ou", "TXADCreateOU", "PARENT_PATH UNIT",
     "Creates the organisational unit OU=UNIT below the container PARENT_PATH\n"
     "(an LDAP path, e.g. LDAP://DC=example,DC=org). A unit that exists already\n"
     "is left as it is. Result: 0 the unit exists now; -1 failed (error: the\n"
     "directory's reason; empty for a parent path of 7 characters or fewer).",
     2, [](const cli::Options& o) { return run2(TXADCreateOU, o); }}};

const cli::Registration delete_ou{
    {"delete-ou", "TXADDeleteOU", "PARENT_PATH UNIT",
     "Deletes the organisational unit OU=UNIT below PARENT_PATH. Result: 0 the\n"
     "unit was deleted or is not there; -1 failed (error: the bind's reason, or\n"
     "empty when the directory refused, e.g. for a unit that still holds objects).",
     2, [](const cli::Options& o) { return run2(TXADDeleteOU, o); }}};

const cli::Registration move_ou{
    {"move-ou-to-container", "TXADMoveOUToContainer", "UNIT_PATH DESTINATION_PATH",
     "Moves the organisational unit at UNIT_PATH into the container at\n"
     "DESTINATION_PATH under its own name. Result: 0 moved; -1 failed (error:\n"
     "the directory's reason).",
     2, [](const cli::Options& o) { return run2(TXADMoveOUToContainer, o); }}};

const cli::Registration add_station{
    {"add-station-to-container", "TXADAddStationToContainer", "STATION CONTAINER_PATH",
     "Creates the computer object cn=STATION (account name STATION$) in\n"
     "CONTAINER_PATH, enables it and makes it a workstation account. Result: 0\n"
     "created and enabled (error: empty, or a later best-effort setting the\n"
     "directory refused); -1 failed (error: the reason; a station created but\n"
     "not enabled stays behind).",
     2, [](const cli::Options& o) { return run2(TXADAddStationToContainer, o); }}};

const cli::Registration delete_station{
    {"delete-station-from-container", "TXADDeleteStationFromContainer", "STATION CONTAINER_PATH",
     "Deletes the computer object cn=STATION from CONTAINER_PATH. Result: 0\n"
     "deleted; -1 failed, also when there is no such station (error: the reason).",
     2, [](const cli::Options& o) { return run2(TXADDeleteStationFromContainer, o); }}};

const cli::Registration move_user{
    {"move-user-to-container", "TXADMoveUserToContainer", "USER CURRENT_PATH DESTINATION_PATH",
     "Moves the user cn=USER from CURRENT_PATH into DESTINATION_PATH under its\n"
     "own name. Result: 0 moved; -1 failed, also when cn=USER there is not a\n"
     "user (error: the reason).",
     3, [](const cli::Options& o) { return run3(TXADMoveUserToContainer, o); }}};

const cli::Registration move_station{
    {"move-station-to-container", "TXADMoveStationToContainer",
     "STATION CURRENT_PATH DESTINATION_PATH",
     "Moves the computer object cn=STATION from CURRENT_PATH into\n"
     "DESTINATION_PATH under its own name. Result: 0 moved; -1 failed, also when\n"
     "cn=STATION there is not a computer (error: the reason).",
     3, [](const cli::Options& o) { return run3(TXADMoveStationToContainer, o); }}};

const cli::Registration add_to_group{
    {"add-station-to-group", "TXADAddStationToGroup", "STATION CONTAINER_PATH GROUP_PATH",
     "Adds the computer object cn=STATION of CONTAINER_PATH to the group at\n"
     "GROUP_PATH. Result: 0 added; -1 failed, also when it is a member already\n"
     "(error: the reason).",
     3, [](const cli::Options& o) { return run3(TXADAddStationToGroup, o); }}};

const cli::Registration delete_from_group{
    {"delete-station-from-group", "TXADDeleteStationFromGroup", "STATION CONTAINER_PATH GROUP_PATH",
     "Removes the computer object cn=STATION of CONTAINER_PATH from the group at\n"
     "GROUP_PATH. Result: 0 removed; -1 failed, also when it is not a member\n"
     "(error: the reason).",
     3, [](const cli::Options& o) { return run3(TXADDeleteStationFromGroup, o); }}};

}  // namespace
