// Every change export writes two lines, in this order, before it looks at its
// arguments: "run function '<export>'." and "run function '<worker>'.". The
// calls here fail at once (no directory is needed): the lines come all the
// same.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "txads.h"

namespace {

// Lines go to a file of this process, named before the first line is written.
const std::string& trace_file() {
  static const std::string file = [] {
    std::string name = "/tmp/txads-changes-trace-" + std::to_string(getpid()) + ".log";
    setenv("ZKTRACE_FILE", name.c_str(), 1);
    return name;
  }();
  return file;
}
const bool kTraceFileNamed = !trace_file().empty();

std::string trace_text() {
  std::ifstream in(trace_file());
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The messages of the lines written since `offset`, each after its last " | ".
std::vector<std::string> messages_since(size_t offset) {
  std::vector<std::string> messages;
  std::istringstream lines(trace_text().substr(offset));
  for (std::string line; std::getline(lines, line);) {
    messages.push_back(line.substr(line.rfind(" | ") + 3));
  }
  return messages;
}

struct Traced {
  const char* export_name;
  const char* worker;
  std::function<int(char*, int)> call;
};

TEST(EveryChangeTracesItsExportThenItsWorker, BothLinesInOrderWithNothingElse) {
  ASSERT_TRUE(kTraceFileNamed);
  const Traced cases[] = {
      {"TXADCreateOU", "CreateOU", [](char* e, int n) { return TXADCreateOU("", "u", e, n); }},
      {"TXADDeleteOU", "DeleteOU", [](char* e, int n) { return TXADDeleteOU(nullptr, "u", e, n); }},
      {"TXADMoveOUToContainer", "MoveOUToContainer",
       [](char* e, int n) { return TXADMoveOUToContainer("", "", e, n); }},
      {"TXADAddStationToContainer", "AddStationToContainer",
       [](char* e, int n) { return TXADAddStationToContainer("PC", "", e, n); }},
      {"TXADDeleteStationFromContainer", "DeleteStationFromContainer",
       [](char* e, int n) { return TXADDeleteStationFromContainer("PC", "", e, n); }},
      {"TXADMoveUserToContainer", "MoveUserToContainer",
       [](char* e, int n) { return TXADMoveUserToContainer("Ann", "", "", e, n); }},
      {"TXADMoveStationToContainer", "MoveStationToContainer",
       [](char* e, int n) { return TXADMoveStationToContainer("PC", "", "", e, n); }},
      {"TXADAddStationToGroup", "AddStationToGroup",
       [](char* e, int n) { return TXADAddStationToGroup("PC", "", "", e, n); }},
      {"TXADDeleteStationFromGroup", "DeleteStationFromGroup",
       [](char* e, int n) { return TXADDeleteStationFromGroup("PC", "", "", e, n); }},
  };
  for (const auto& c : cases) {
    const size_t offset = trace_text().size();
    char error[64] = {};
    EXPECT_EQ(c.call(error, sizeof error), -1) << c.export_name;
    EXPECT_EQ(messages_since(offset),
              (std::vector<std::string>{std::string("run function '") + c.export_name + "'.",
                                        std::string("run function '") + c.worker + "'."}))
        << c.export_name;
  }
  unlink(trace_file().c_str());
}

}  // namespace
