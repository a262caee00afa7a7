# Tests that need the test domain controller (scripts/testdomain/).
#
#   txads_add_domain_test(<target> [NAME <test>] [ARGS <arguments>...])
#
# registers the binary <target> (run with the arguments, as the CTest test
# <test>) as one CTest test that runs inside the
# test domain's network namespace with its environment (LDAPURI, LDAPBASE,
# KRB5_CONFIG, KRB5CCNAME, ...; see scripts/testdomain/README.md), after the
# fixture that starts the domain. Domain tests carry the label "domain"
# (ctest -L domain / -LE domain) and never run two at a time, because some of
# them move seeded objects and put them back.
set(TXADS_TESTDOMAIN_DIR ${PROJECT_SOURCE_DIR}/scripts/testdomain)

if(NOT TEST testdomain_up)
  add_test(NAME testdomain_up COMMAND ${TXADS_TESTDOMAIN_DIR}/up)
  set_tests_properties(testdomain_up PROPERTIES FIXTURES_SETUP testdomain TIMEOUT 300
    LABELS domain)
  add_test(NAME testdomain_down COMMAND ${TXADS_TESTDOMAIN_DIR}/down)
  set_tests_properties(testdomain_down PROPERTIES FIXTURES_CLEANUP testdomain TIMEOUT 120
    LABELS domain)
endif()

function(txads_add_domain_test target)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "NAME" "ARGS")
  set(name ${target})
  if(ARG_NAME)
    set(name ${ARG_NAME})
  endif()
  add_test(NAME ${name} COMMAND ${TXADS_TESTDOMAIN_DIR}/run $<TARGET_FILE:${target}> ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED testdomain TIMEOUT 900
    LABELS domain RESOURCE_LOCK testdomain)
endfunction()
