// Runs GuessCause over the files of a manifest (lines: path relative to the manifest's folder, kind, expected
// cause) and prints per group and overall how often the guess is right, how often it is confident, and how
// often it is confident and wrong.
//
// Right: the top candidate is the expected cause, or a single-byte cause that reads the file as the same
// characters; for kind `alike` the expected column names two causes ("a|b"), either right; for kind `unnamed`
// (a code page no cause names) only `unknown`, an unsure guess, or a cause that reads the file as the same
// characters as that code page is right.
//
// guess_accuracy MANIFEST [--list FILE] [--floor PERCENT --group-prefix PREFIX] [--check]
// guess_accuracy --explain FILE...: every candidate and its evidence, per file.
//   --list: writes per file "path<TAB>guess<TAB>confident|unsure<TAB>right|wrong" for tools/guess-report.
//   --floor: exits 1 when the groups starting with PREFIX, taken together, fall below PERCENT.
//   --check: exits 1 when a cause falls below 99 % on the dense sheets or 97 % on the others (sparse, alike,
//     languages), or the guess is confident and wrong on any unnamed one.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "guess.h"
#include "letter_frequency.h"
#include "text_services.h"

namespace {

struct Count {
  int files = 0, right = 0, confident = 0, confidentWrong = 0;

  void Add(bool isRight, bool isConfident) {
    ++files;
    right += isRight;
    confident += isConfident;
    confidentWrong += isConfident && !isRight;
  }
  void Add(const Count& other) {
    files += other.files;
    right += other.right;
    confident += other.confident;
    confidentWrong += other.confidentWrong;
  }
  double Percent() const { return files == 0 ? 0 : 100.0 * right / files; }
};

void PrintRow(const std::string& name, const Count& c) {
  std::printf("%-22s %6d %9.1f%% %10.1f%% %9d\n", name.c_str(), c.files, c.Percent(),
              c.files == 0 ? 0 : 100.0 * c.confident / c.files, c.confidentWrong);
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

std::u16string Decode(const Encoding& e, const std::string& bytes) {
  std::u16string units(bytes.size(), u'\0');
  const int n = TextServices::MultiByteToWideChar(e.codePage, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                  units.data(), static_cast<int>(units.size()));
  units.resize(static_cast<std::size_t>(n));
  return units;
}

// Whether `guessed` is right for a file of cause `expected`: the same cause, or both single-byte and reading the
// file as the same characters.
bool Right(std::string_view guessed, std::string_view expected, const std::string& bytes) {
  if (guessed == expected) return true;
  const auto g = CauseFromName(guessed), x = CauseFromName(expected);
  if (!g || !x || EncodingOf(*g).layout != Layout::kSingleByte || EncodingOf(*x).layout != Layout::kSingleByte) {
    return false;
  }
  return Decode(EncodingOf(*g), bytes) == Decode(EncodingOf(*x), bytes);
}

// Whether a single-byte cause reads a file of an unnamed code page as the same characters, by the decoy table the
// guess keeps of that code page; false where it keeps none.
bool ReadsAsUnnamed(std::string_view guessed, const std::string& codePage, const std::string& bytes) {
  const auto g = CauseFromName(guessed);
  if (!g || EncodingOf(*g).layout != Layout::kSingleByte) return false;
  for (std::size_t i = 0; i < kDecoyCount; ++i) {
    if (codePage != kDecoys[i].name) continue;
    std::u16string units;
    for (const char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      units += b < 0x80 ? static_cast<char16_t>(b) : kDecoys[i].upper[b - 0x80];
    }
    return Decode(EncodingOf(*g), bytes) == units;
  }
  return false;
}

bool Right(std::string_view guessed, bool confident, const std::string& kind, const std::string& expected,
           const std::string& bytes) {
  if (kind == "unnamed") {
    return guessed == CauseName(Cause::kUnknown) || !confident || ReadsAsUnnamed(guessed, expected, bytes);
  }
  const std::size_t bar = expected.find('|');
  if (bar == std::string::npos) return Right(guessed, expected, bytes);
  return Right(guessed, expected.substr(0, bar), bytes) || Right(guessed, expected.substr(bar + 1), bytes);
}

int Explain(int count, char** paths) {
  for (int i = 0; i < count; ++i) {
    const Guess guess = GuessCause(ReadFile(paths[i]));
    std::printf("%s: %s%s\n", paths[i], std::string(CauseName(guess.ranked[0].cause)).c_str(),
                guess.confident ? "" : " (unsure)");
    for (const Candidate& c : guess.ranked) {
      std::printf("  %-10s score %.4f  plausibility %8.2f  undefined %zu  unmappable %zu\n",
                  std::string(CauseName(c.cause)).c_str(), c.score, c.plausibility, c.undefined, c.unmappable);
    }
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--explain") return Explain(argc - 2, argv + 2);
  if (argc < 2) {
    std::cerr << "usage: guess_accuracy MANIFEST [--list FILE] [--floor PERCENT --group-prefix PREFIX]\n";
    return 2;
  }
  const std::string manifest = argv[1];
  std::string listPath, prefix;
  double floor = -1;
  bool check = false;
  for (int i = 2; i < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--check") {
      check = true;
      --i;
    } else if (i + 1 >= argc) {
      break;
    } else if (option == "--list") {
      listPath = argv[i + 1];
    } else if (option == "--floor") {
      floor = std::atof(argv[i + 1]);
    } else if (option == "--group-prefix") {
      prefix = argv[i + 1];
    }
  }
  const std::string folder = manifest.substr(0, manifest.find_last_of('/') + 1);
  std::ifstream in(manifest);
  if (!in) {
    std::cerr << "guess_accuracy: cannot read " << manifest << "\n";
    return 2;
  }
  std::ofstream list;
  if (!listPath.empty()) list.open(listPath);

  std::map<std::string, Count> groups;
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string path, group, expected;
    if (!std::getline(fields, path, '\t') || !std::getline(fields, group, '\t') || !std::getline(fields, expected)) {
      continue;
    }
    const std::string bytes = ReadFile(folder + path);
    const Guess guess = GuessCause(bytes);
    const std::string_view name = CauseName(guess.ranked[0].cause);
    const bool right = Right(name, guess.confident, group, expected, bytes);
    groups[group + " " + expected].Add(right, guess.confident);
    if (list) {
      list << path << '\t' << name << '\t' << (guess.confident ? "confident" : "unsure") << '\t'
           << (right ? "right" : "wrong") << '\n';
    }
  }

  std::printf("%-22s %6s %10s %11s %9s\n", "group", "files", "right", "confident", "conf.wrong");
  Count all, floored;
  for (const auto& [name, count] : groups) {
    PrintRow(name, count);
    all.Add(count);
    if (!prefix.empty() && name.rfind(prefix, 0) == 0) floored.Add(count);
  }
  PrintRow("all", all);
  int failed = 0;
  if (check) {
    for (const auto& [name, count] : groups) {
      const std::string kind = name.substr(0, name.find(' '));
      const double least = kind == "dense" ? 99 : 97;
      const bool fails = kind == "unnamed" ? count.confidentWrong > 0 : count.Percent() < least;
      if (fails) std::printf("below the floor: %s\n", name.c_str());
      failed += fails;
    }
  }
  if (floor >= 0) {
    std::printf("%s: %.1f%% right, floor %.1f%%\n", prefix.c_str(), floored.Percent(), floor);
    if (floored.files == 0 || floored.Percent() < floor) return 1;
  }
  return failed > 0 ? 1 : 0;
}
