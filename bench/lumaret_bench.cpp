// Throughput of the engine's routines on 16 MB generated CUE sheets, beside glibc iconv and OpenCC on the same
// texts, with the ratios and the targets they are held to.
#include <benchmark/benchmark.h>
#include <opencc.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "CueTexts.h"
#include "IconvConverter.h"
#include "ThroughputSummary.h"
#include "conversions.h"
#include "fixups.h"
#include "guess.h"
#include "text_services.h"
#include "western.h"

namespace {

constexpr std::size_t kTextSize = 16 << 20;

struct Bench {
  const char* name;
  const char* input;  // what the bytes of `text` are
  const std::string* text;
  std::function<void(benchmark::State&)> run;
};

// A routine that leaves a much shorter text than it read has failed, and its time says nothing.
void CheckOutput(benchmark::State& state, const std::string& input, std::size_t outputLength) {
  if (outputLength < input.size() / 2) {
    state.SkipWithError(("output of " + std::to_string(outputLength) + " bytes from " + std::to_string(input.size()) +
                         " bytes of input")
                            .c_str());
  }
}

void Measure(benchmark::State& state, const std::string& input, ConversionRoutine routine) {
  std::vector<char> output(OutputRoom(routine, input.size()));
  for (auto _ : state) {
    routine(input.c_str(), output.data());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  CheckOutput(state, input, std::strlen(output.data()));
}

// The correction pass works in place, so each iteration starts again from a fresh copy, outside the timing.
void MeasureFixups(benchmark::State& state, const std::string& input) {
  std::string text = input;
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(text.data(), input.c_str(), input.size() + 1);
    state.ResumeTiming();
    ApplyFixups(text.data());
    benchmark::ClobberMemory();
  }
  CheckOutput(state, input, std::strlen(text.c_str()));
}

int MapToSimplified(const std::string& input, char* output) {
  return TextServices::LCMapStringA(TextServices::kLocaleChinesePrc, TextServices::kMapSimplifiedChinese, input.c_str(),
                                    -1, output, static_cast<int>(input.size() + 1));
}

void MeasureMapping(benchmark::State& state, const std::string& input) {
  std::vector<char> output(input.size() + 1);
  int written = 0;
  for (auto _ : state) {
    written = MapToSimplified(input, output.data());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  CheckOutput(state, input, written > 0 ? written - 1 : 0);
}

void MeasureIconv(benchmark::State& state, const std::string& input, const char* to, const char* from) {
  IconvConverter converter(to, from);
  std::vector<char> output(2 * input.size());
  std::size_t written = 0;
  for (auto _ : state) {
    written = converter.Convert(input, output.data(), output.size());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  CheckOutput(state, input, written);
}

void MeasureOpenCc(benchmark::State& state, const std::string& input) {
  opencc_t converter = opencc_open(OPENCC_DEFAULT_CONFIG_TRAD_TO_SIMP);
  if (converter == reinterpret_cast<opencc_t>(-1)) {
    state.SkipWithError(opencc_error());
    return;
  }
  std::vector<char> output(2 * input.size() + 1);
  std::size_t written = 0;
  for (auto _ : state) {
    written = opencc_convert_utf8_to_buffer(converter, input.c_str(), input.size(), output.data());
    benchmark::DoNotOptimize(output.data());
    benchmark::ClobberMemory();
  }
  opencc_close(converter);
  CheckOutput(state, input, written == static_cast<std::size_t>(-1) ? 0 : written);
}

// A guess runs on every load. Its input: a fifth of each of the five texts, whole lines, one after another, so
// that every model meets text of its own cause and of the others.
std::string MixedText(const CueTexts& texts) {
  std::string mixed;
  for (const std::string* text :
       {&texts.big5, &texts.shiftJis, &texts.western, &texts.traditionalGbk, &texts.traditionalUtf8}) {
    const std::size_t end = text->rfind('\n', text->size() / 5);
    mixed.append(*text, 0, end == std::string::npos ? 0 : end + 1);
  }
  return mixed;
}

void MeasureGuess(benchmark::State& state, const std::string& input) {
  for (auto _ : state) {
    Guess guess = GuessCause(input.c_str());
    benchmark::DoNotOptimize(guess.ranked.data());
  }
}

struct Target {
  const char* routine;
  const char* baseline;  // null: the target is an absolute throughput
  double least;          // MB/s, or the least ratio of the baseline's time to the routine's on the same text
};

constexpr Target kTargets[] = {
    {"ApplyFixups", nullptr, 1000},
    {"LCMapStringA/simplified", nullptr, 1000},
    {"WesternToAscii", nullptr, 1000},
    {"GuessCause", nullptr, 200},
    {"Big5ToGbkSimplified", "OpenCC/t2s", 50},
    {"Big5ToGbkSimplified", "iconv/BIG5-GBK", 1.5},
    {"ShiftJisToGbk", "iconv/CP932-GBK", 1.5},
    {"Utf8ToGbk", "iconv/UTF-8-GBK", 1.5},
};

const Bench* Find(const std::vector<Bench>& benches, const char* name) {
  for (const Bench& bench : benches) {
    if (std::strcmp(bench.name, name) == 0) return &bench;
  }
  return nullptr;
}

std::optional<double> MegabytesPerSecond(const ThroughputSummary& summary, const Bench& bench) {
  auto seconds = summary.SecondsPerIteration(bench.name);
  if (!seconds) return std::nullopt;
  return static_cast<double>(bench.text->size()) / *seconds / 1e6;
}

std::string Figure(std::optional<double> value, const char* format) {
  if (!value) return "-";
  char text[32];
  std::snprintf(text, sizeof text, format, *value);
  return text;
}

void PrintTargets(const ThroughputSummary& summary, const std::vector<Bench>& benches) {
  std::printf(
      "\nThroughput in MB/s: 10^6 bytes of each one's own input per second of processor time, the median of\n"
      "the runs. The ratio is the baseline's time over the routine's on the same text.\n\n");
  std::printf("%-24s %-12s %9s   %-16s %-12s %9s %8s   %-14s %s\n", "routine", "input", "MB/s", "baseline", "input",
              "MB/s", "ratio", "target", "result");
  int missed = 0;
  for (const Target& target : kTargets) {
    const Bench& routine = *Find(benches, target.routine);
    auto speed = MegabytesPerSecond(summary, routine);
    std::printf("%-24s %-12s %9s   ", routine.name, routine.input, Figure(speed, "%.1f").c_str());
    char wanted[32];
    std::optional<double> reached;
    if (target.baseline) {
      const Bench& baseline = *Find(benches, target.baseline);
      auto baseSpeed = MegabytesPerSecond(summary, baseline);
      std::printf("%-16s %-12s %9s ", baseline.name, baseline.input, Figure(baseSpeed, "%.1f").c_str());
      auto seconds = summary.SecondsPerIteration(routine.name);
      auto baseSeconds = summary.SecondsPerIteration(baseline.name);
      if (seconds && baseSeconds) reached = *baseSeconds / *seconds;
      std::printf("%8s   ", Figure(reached, "%.2f").c_str());
      std::snprintf(wanted, sizeof wanted, ">= %.2fx", target.least);
    } else {
      std::printf("%-16s %-12s %9s %8s   ", "", "", "", "");
      reached = speed;
      std::snprintf(wanted, sizeof wanted, ">= %.0f MB/s", target.least);
    }
    const char* result = "not measured";
    if (reached) result = *reached >= target.least ? "met" : "MISSED";
    if (!reached || *reached < target.least) ++missed;
    std::printf("%-14s %s\n", wanted, result);
  }
  std::printf("\n%d of %zu targets met.\n", static_cast<int>(std::size(kTargets)) - missed, std::size(kTargets));
}

}  // namespace

int main(int argc, char** argv) {
  // Five runs of each, taken in turn with the others' (so that the peers share the machine's moods), unless the
  // command line says otherwise: its flags come later and win.
  std::vector<char*> args{argv[0], const_cast<char*>("--benchmark_repetitions=5"),
                          const_cast<char*>("--benchmark_enable_random_interleaving=true")};
  args.insert(args.end(), argv + 1, argv + argc);
  argc = static_cast<int>(args.size());
  args.push_back(nullptr);
  argv = args.data();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  try {
    std::printf("Generating CUE sheets of %zu bytes...\n", kTextSize);
    const CueTexts texts = CueTexts::Generate(kTextSize);
    // The correction pass reads what the script mapping leaves, as inside Big5ToGbkSimplified.
    std::string simplified(texts.traditionalGbk.size() + 1, '\0');
    int mapped = MapToSimplified(texts.traditionalGbk, simplified.data());
    if (mapped == 0) throw std::runtime_error("the simplified mapping failed on the generated GBK text");
    simplified.resize(mapped - 1);
    const std::string mixed = MixedText(texts);

    const std::vector<Bench> benches = {
        {"ApplyFixups", "GBK", &simplified, [&](auto& state) { MeasureFixups(state, simplified); }},
        {"LCMapStringA/simplified", "GBK", &texts.traditionalGbk,
         [&](auto& state) { MeasureMapping(state, texts.traditionalGbk); }},
        {"WesternToAscii", "Windows-1252", &texts.western,
         [&](auto& state) { Measure(state, texts.western, WesternToAscii); }},
        {"GuessCause", "mixed", &mixed, [&](auto& state) { MeasureGuess(state, mixed); }},
        {"Big5ToGbkSimplified", "Big5", &texts.big5,
         [&](auto& state) { Measure(state, texts.big5, Big5ToGbkSimplified); }},
        {"ShiftJisToGbk", "Shift-JIS", &texts.shiftJis,
         [&](auto& state) { Measure(state, texts.shiftJis, ShiftJisToGbk); }},
        {"Utf8ToGbk", "UTF-8", &texts.traditionalUtf8,
         [&](auto& state) { Measure(state, texts.traditionalUtf8, Utf8ToGbk); }},
        {"iconv/BIG5-GBK", "Big5", &texts.big5, [&](auto& state) { MeasureIconv(state, texts.big5, "GBK", "BIG5"); }},
        {"iconv/CP932-GBK", "Shift-JIS", &texts.shiftJis,
         [&](auto& state) { MeasureIconv(state, texts.shiftJis, "GBK", "CP932"); }},
        {"iconv/UTF-8-GBK", "UTF-8", &texts.traditionalUtf8,
         [&](auto& state) { MeasureIconv(state, texts.traditionalUtf8, "GBK", "UTF-8"); }},
        {"OpenCC/t2s", "UTF-8", &texts.traditionalUtf8,
         [&](auto& state) { MeasureOpenCc(state, texts.traditionalUtf8); }},
    };
    for (const Bench& bench : benches) {
      benchmark::RegisterBenchmark(bench.name, [&bench](benchmark::State& state) {
        bench.run(state);
        state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bench.text->size()));
      })->Unit(benchmark::kMillisecond);
    }

    ThroughputSummary summary(isatty(STDOUT_FILENO));
    benchmark::RunSpecifiedBenchmarks(&summary);
    PrintTargets(summary, benches);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "lumaret_bench: %s\n", error.what());
    return 1;
  }
  benchmark::Shutdown();
  return 0;
}
