// What the frame costs per call: a trace line written to a file, the error
// text of a code, and the string conversions in a UTF-8 and a Latin-1 locale.
#include <benchmark/benchmark.h>
#include <locale.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "frame/conversions.h"
#include "frame/error_text.h"
#include "frame/trace.h"

namespace {

// The trace file is chosen at the first line of the process.
const std::string& trace_file() {
  static const std::string path = [] {
    std::string p = "/tmp/frame_bench." + std::to_string(::getpid()) + ".log";
    ::setenv("ZKTRACE_FILE", p.c_str(), 1);
    return p;
  }();
  return path;
}

void BM_TraceEntryLineToFile(benchmark::State& state) {
  trace_file();
  for (auto _ : state) txads::trace("run function '%s'.\n", "TXADIsGroupExist");
  ::unlink(trace_file().c_str());
}
BENCHMARK(BM_TraceEntryLineToFile)->Threads(1)->Threads(2);

void BM_ErrorTextOfAWin32Code(benchmark::State& state) {
  char buffer[512];
  for (auto _ : state) {
    txads::GetADSErrorText(txads::Status(0x80072030u), {buffer, sizeof buffer});
    benchmark::DoNotOptimize(buffer);
  }
}
BENCHMARK(BM_ErrorTextOfAWin32Code);

void convert_round_trip(benchmark::State& state, const char* locale_name, const char* text) {
  locale_t loc = newlocale(LC_CTYPE_MASK, locale_name, static_cast<locale_t>(nullptr));
  if (loc == nullptr) {
    state.SkipWithError("locale missing");
    return;
  }
  locale_t previous = uselocale(loc);
  for (auto _ : state) {
    auto utf8 = txads::to_directory(text);
    benchmark::DoNotOptimize(utf8);
    auto back = txads::from_directory(*utf8);
    benchmark::DoNotOptimize(back);
  }
  uselocale(previous);
  freelocale(loc);
}

void BM_ConvertRoundTripUtf8(benchmark::State& state) {
  convert_round_trip(state, "C.UTF-8", "CN=M\xC3\xBCller Ann,OU=Staff,DC=corp,DC=example,DC=com");
}
BENCHMARK(BM_ConvertRoundTripUtf8);

void BM_ConvertRoundTripLatin1(benchmark::State& state) {
  convert_round_trip(state, "de_DE.ISO-8859-1",
                     "CN=M\xFCller Ann,OU=Staff,DC=corp,DC=example,DC=com");
}
BENCHMARK(BM_ConvertRoundTripLatin1);

}  // namespace

BENCHMARK_MAIN();
