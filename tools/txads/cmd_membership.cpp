// Subcommands for the membership checks. Each prints "result: N" (1 member,
// 2 not a member, -1 no answer) and the buffers the export fills.
#include "cli.h"
#include "txads.h"

namespace {

using cli::Buffer;
using cli::Options;

// Runs a check with an error buffer only and prints both.
template <class Check>
int with_error(const Options& o, Check&& check) {
  Buffer error(o.error_size);
  const int result = check(error);
  cli::print_result(result);
  cli::print_buffer("error", error);
  return result;
}

int run_user_in_container(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsUserInContainer(o.args[0].c_str(), o.args[1].c_str(), e.data(), e.size());
  });
}

int run_current_user_in_container(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsCurrentUserInContainer(o.args[0].c_str(), e.data(), e.size());
  });
}

int run_user_in_group(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsUserInGroup(o.args[0].c_str(), o.args[1].c_str(), e.data(), e.size());
  });
}

int run_current_user_in_group(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsCurrentUserInGroup(o.args[0].c_str(), e.data(), e.size());
  });
}

int run_current_station_in_container(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsCurrentStationInContainer(o.args[0].c_str(), e.data(), e.size());
  });
}

int run_station_in_container(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsStationInContainer(o.args[0].c_str(), o.args[1].c_str(), e.data(), e.size());
  });
}

int run_station_in_container_ex(const Options& o) {
  Buffer found(o.buffer_size);
  Buffer error(o.error_size);
  const int result = TXADIsStationInContainerEx(o.args[0].c_str(), o.args[1].c_str(), found.data(),
                                                found.size(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("found", found);
  cli::print_buffer("error", error);
  return result;
}

int run_station_in_group(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsStationInGroup(o.args[0].c_str(), o.args[1].c_str(), e.data(), e.size());
  });
}

int run_current_station_in_group(const Options& o) {
  return with_error(o, [&](Buffer& e) {
    return TXADIsCurrentStationInGroup(o.args[0].c_str(), e.data(), e.size());
  });
}

const cli::Registration user_in_container{
    {"is-user-in-container", "TXADIsUserInContainer", "DOMAIN\\USER CONTAINER_PATH",
     "Is the user's object in the container or anywhere below it? Decided by\n"
     "text: the container's DN (after \"LDAP://\") occurs in the user's DN.\n"
     "Results: 1 in it, 2 not in it, -1 no answer (path of 7 characters or\n"
     "fewer or without \"LDAP://\", or the account could not be translated;\n"
     "the error buffer then says why).",
     2, run_user_in_container}};

const cli::Registration current_user_in_container{
    {"is-current-user-in-container", "TXADIsCurrentUserInContainer", "CONTAINER_PATH",
     "Like is-user-in-container for the user of the Kerberos credential cache\n"
     "(KRB5CCNAME). Results: 1 in it, 2 not in it, -1 no answer (unusable\n"
     "path, or no valid ticket or no user object: see the error buffer).",
     1, run_current_user_in_container}};

const cli::Registration user_in_group{
    {"is-user-in-group", "TXADIsUserInGroup", "DOMAIN\\USER GROUP",
     "Is the user a member of GROUP (an LDAP path, SID text, or DOMAIN\\NAME)?\n"
     "Reads the group's members; with --recurse also groups nested up to four\n"
     "levels below it; finally every user of a domain counts as a member of\n"
     "that domain's users group (SID ending -513).\n"
     "Results: 1 member, 2 not a member, -1 the last group walked could not be\n"
     "bound (the error buffer holds the last directory error).",
     2, run_user_in_group}};

const cli::Registration current_user_in_group{
    {"is-current-user-in-group", "TXADIsCurrentUserInGroup", "GROUP",
     "Is GROUP (SID text, or an LDAP path with a CN=) in the current user's\n"
     "token (own SID, the directory's tokenGroups, Everyone, Authenticated\n"
     "Users, ...)? Results: 1 in the token, 2 not in it, -1 no answer.",
     1, run_current_user_in_group}};

const cli::Registration current_station_in_container{
    {"is-current-station-in-container", "TXADIsCurrentStationInContainer", "CONTAINER_PATH",
     "Is this host's computer object (NetBIOS name from the host name) in the\n"
     "container or anywhere below it? Decided by text on the DNs.\n"
     "Results: 1 in it, 2 not in it, -1 no computer object or unusable path.",
     1, run_current_station_in_container}};

const cli::Registration station_in_container{
    {"is-station-in-container", "TXADIsStationInContainer", "STATION CONTAINER_PATH",
     "Is there a computer object CN=STATION directly in the container (one\n"
     "level only)? Results: 1 yes, 2 no (the error buffer then holds the\n"
     "no-such-object text), -1 the container could not be asked.",
     2, run_station_in_container}};

const cli::Registration station_in_container_ex{
    {"is-station-in-container-ex", "TXADIsStationInContainerEx", "STATION CONTAINER_PATH",
     "Searches the container and, depth first, its organisational units (or,\n"
     "failing that, its containers) for the computer CN=STATION.\n"
     "Results: 1 found (found: the path of the container holding it), 2 not\n"
     "found, -1 the top container could not be searched.",
     2, run_station_in_container_ex}};

const cli::Registration station_in_group{
    {"is-station-in-group", "TXADIsStationInGroup", "STATION GROUP",
     "Is the computer STATION a member of GROUP (an LDAP path or SID text)?\n"
     "With --recurse also groups nested up to four levels below it; every\n"
     "computer of a domain counts as a member of its computers group (-515).\n"
     "Results: 1 member, 2 not a member, -1 the last group walked could not be\n"
     "bound.",
     2, run_station_in_group}};

const cli::Registration current_station_in_group{
    {"is-current-station-in-group", "TXADIsCurrentStationInGroup", "GROUP",
     "is-station-in-group for this host's NetBIOS name. Results as there; -1\n"
     "also when the host has no name.",
     1, run_current_station_in_group}};

}  // namespace
