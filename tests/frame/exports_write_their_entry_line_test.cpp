// The trace side of the frame: TXADSetRecursFlag writes its entry line at
// level 6 under "Tamrix AD Checker"; TXADInit writes no line but names the
// product "Tamrix"; lines written before TXADInit carry no product. Each case
// runs in a child process with a trace file of its own.
#include <gtest/gtest.h>

#include <string>

#include "frame/export_frame.h"
#include "frame/output_buffer.h"
#include "frame/trace.h"
#include "trace_capture.h"
#include "txads.h"

namespace txads {
namespace {

TEST(EntryLine, OfTXADSetRecursFlagIsWrittenAtLevelSixUnderTheChecker) {
  const auto result = trace_capture::run_traced([] {
    TXADSetRecursFlag(5);
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 1u);
  const auto& line = result.lines[0];
  ASSERT_TRUE(line.parsed) << line.raw;
  EXPECT_EQ(line.message, "run function 'TXADSetRecursFlag'.");
  EXPECT_EQ(line.level, 6);
  EXPECT_EQ(line.component, "Tamrix AD Checker");
  EXPECT_EQ(line.product, "-") << "no TXADInit yet";
}

TEST(EntryLine, IsNotWrittenByTXADInitWhichNamesTheProduct) {
  const auto result = trace_capture::run_traced([] {
    TXADSetRecursFlag(1);
    if (TXADInit(nullptr) != 1) return 1;
    TXADSetRecursFlag(0);
    if (TXADInit(nullptr) != 1) return 2;
    return 0;
  });
  EXPECT_EQ(result.exit_status, 0);
  ASSERT_EQ(result.lines.size(), 2u) << "TXADInit writes no line";
  EXPECT_EQ(result.lines[0].product, "-");
  EXPECT_EQ(result.lines[1].product, "Tamrix");
  EXPECT_EQ(result.lines[1].message, "run function 'TXADSetRecursFlag'.");
}

TEST(EntryLine, NamesTheExportGivenToTraceEntry) {
  const auto result = trace_capture::run_traced([] {
    trace_entry("TXADIsGroupExist");
    trace_entry("CreateOU");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].message, "run function 'TXADIsGroupExist'.");
  EXPECT_EQ(result.lines[1].message, "run function 'CreateOU'.");
}

TEST(TraceLines, CarryTheFormatAndItsArgumentsAsGiven) {
  const auto result = trace_capture::run_traced([] {
    trace("Check if user '%s' in group '%s'.\n", "CORP\\ann", "LDAP://CN=G1,DC=corp");
    trace("'%s' returned '%s'.\n", "TXADGetGroups", "");
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].message, "Check if user 'CORP\\ann' in group 'LDAP://CN=G1,DC=corp'.");
  EXPECT_EQ(result.lines[1].message, "'TXADGetGroups' returned ''.");
}

TEST(TraceLines, PrintACallersUnterminatedBufferOnlyUpToItsLength) {
  const auto result = trace_capture::run_traced([] {
    char buffer[8] = {'e', 'a', 'r', 'l', 'i', 'e', 'r', '!'};  // no zero anywhere
    trace("'%s' returned '%s'.\n", "TXADGetGroups", traced(OutputBuffer{buffer, 5}).c_str());
    trace("null: %s\n", traced(static_cast<const char*>(nullptr)));
    return 0;
  });
  ASSERT_EQ(result.lines.size(), 2u);
  EXPECT_EQ(result.lines[0].message, "'TXADGetGroups' returned 'earli'.");
  EXPECT_EQ(result.lines[1].message, "null: (null)");
}

}  // namespace
}  // namespace txads
