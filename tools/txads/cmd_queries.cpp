// Subcommands for the directory queries: one attribute value, an account's
// groups, and the users or stations directly in a container.
#include "cli.h"
#include "txads.h"

namespace {

int run_get_value(const cli::Options& o) {
  cli::Buffer value(o.buffer_size);
  cli::Buffer error(o.error_size);
  const int result = TXADGetValue(o.args[0].c_str(), o.args[1].c_str(), value.data(), value.size(),
                                  error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("value", value);
  cli::print_buffer("error", error);
  return result;
}

int run_get_group_list(const cli::Options& o) {
  cli::Buffer list(o.buffer_size);
  cli::Buffer error(o.error_size);
  const int result =
      TXADGetGroupList(o.args[0].c_str(), list.data(), list.size(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("list", list);
  cli::print_buffer("error", error);
  return result;
}

template <int (*Export)(const char*, char*, int, char*, int)>
int run_listing(const cli::Options& o) {
  cli::Buffer list(o.buffer_size);
  cli::Buffer error(o.error_size);
  const int result =
      Export(o.args[0].c_str(), list.data(), list.size(), error.data(), error.size());
  cli::print_result(result);
  cli::print_buffer("list", list);
  cli::print_buffer("error", error);
  return result;
}

const cli::Registration get_value{
    {"get-value", "TXADGetValue", "DOMAIN\\NAME ATTRIBUTE",
     "Reads one attribute of the account DOMAIN\\NAME (a user or computer account).\n"
     "Result 0: the value is printed. Strings as they stand, numbers in decimal,\n"
     "booleans as TRUE/FALSE, times as 2024-03-01T09:30:00Z, SIDs as S-1-5-...,\n"
     "GUIDs as {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}, other binary values in\n"
     "hexadecimal; several values are joined with \"; \". A value of --buffer-size\n"
     "bytes or more is cut to the buffer. Result -1: nothing read; the error names\n"
     "the failure (E_ADS_PROPERTY_NOT_FOUND: the account holds no such value).",
     2, run_get_value}};

const cli::Registration get_group_list{
    {"get-group-list", "TXADGetGroupList", "DOMAIN\\NAME",
     "Lists the groups of the account DOMAIN\\NAME as DOMAIN\\GROUP names, each\n"
     "followed by \"|\" (the primary group is not among them). A group is listed only\n"
     "while the list stays at least 10 bytes short of --buffer-size.\n"
     "Result 0: at least one group listed. Result -1: none listed; an error text\n"
     "appears only when the account could not be found or read.",
     1, run_get_group_list}};

const cli::Registration get_user_list{
    {"get-user-list-from-container", "TXADGetUserListFromContainer", "LDAP-PATH",
     "Lists the users directly in the container LDAP-PATH (computers and\n"
     "sub-containers are not listed) by common name, each followed by \"|\".\n"
     "Result 0: all listed. Result -3: the container holds no user. Result -2: the\n"
     "next user did not fit --buffer-size; the list holds those before it.\n"
     "Result -1: bad path, or the container could not be read (see the error).",
     1, run_listing<TXADGetUserListFromContainer>}};

const cli::Registration get_station_list{
    {"get-station-list-from-container", "TXADGetStationListFromContainer", "LDAP-PATH",
     "Lists the stations (computer objects) directly in the container LDAP-PATH by\n"
     "common name, each followed by \"|\".\n"
     "Result 0: all listed. Result -3: the container holds no station. Result -2:\n"
     "the next station did not fit --buffer-size; the list holds those before it.\n"
     "Result -1: bad path, or the container could not be read (see the error).",
     1, run_listing<TXADGetStationListFromContainer>}};

}  // namespace
