// Finding a domain's controllers through DNS, as a domain member does: the
// SRV records "_ldap._tcp.dc._msdcs.<domain>" name its controllers,
// "_gc._tcp.<forest>" its global catalog servers. Answers are ordered by
// priority and weight (RFC 2782) once per lookup and kept for the records'
// time to live, so that every call of the process prefers the same
// controller. Thread-safe.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace txads::directory {

struct ServiceRecord {
  uint16_t priority = 0;
  uint16_t weight = 0;
  uint16_t port = 0;
  std::string target;  // host name without the final dot
};

// The records in RFC 2782 order: lowest priority first; within a priority a
// weighted random draw, `draw(total)` returning a number from 0 to total.
std::vector<ServiceRecord> order_service_records(std::vector<ServiceRecord> records,
                                                 const std::function<uint32_t(uint32_t)>& draw);

// The ordered controllers of the domain ("corp.example.com"); empty when DNS
// names none (or cannot be asked).
std::vector<ServiceRecord> domain_controllers(const std::string& domain);

// The ordered global catalog servers of the forest.
std::vector<ServiceRecord> global_catalog_servers(const std::string& forest);

// The forest a domain belongs to, as its controllers' root DSE named it
// (rootDomainNamingContext); the domain itself until then.
void remember_forest(const std::string& domain, const std::string& forest);
std::string forest_of(const std::string& domain);

}  // namespace txads::directory
