// Runs GuessCause over the files of a manifest (lines: path relative to the manifest's folder, group, expected
// cause) and prints per group and overall how often the top candidate is the expected cause, how often the
// guess is confident, and how often it is confident and wrong.
//
// guess_accuracy MANIFEST [--list FILE] [--floor PERCENT --group-prefix PREFIX]
// guess_accuracy --explain FILE...: every candidate and its evidence, per file.
//   --list: writes per file "path<TAB>guess<TAB>confident" for tools/guess-report.
//   --floor: exits 1 when the groups starting with PREFIX, taken together, fall below PERCENT.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "guess.h"

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

int Explain(int count, char** paths) {
  for (int i = 0; i < count; ++i) {
    const Guess guess = GuessCause(ReadFile(paths[i]).c_str());
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
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string option = argv[i];
    if (option == "--list") {
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
    const Guess guess = GuessCause(ReadFile(folder + path).c_str());
    const std::string_view name = CauseName(guess.ranked[0].cause);
    groups[group + " " + expected].Add(name == expected, guess.confident);
    if (list) list << path << '\t' << name << '\t' << (guess.confident ? "confident" : "unsure") << '\n';
  }

  std::printf("%-22s %6s %10s %11s %9s\n", "group", "files", "right", "confident", "conf.wrong");
  Count all, floored;
  for (const auto& [name, count] : groups) {
    PrintRow(name, count);
    all.Add(count);
    if (!prefix.empty() && name.rfind(prefix, 0) == 0) floored.Add(count);
  }
  PrintRow("all", all);
  if (floor >= 0) {
    std::printf("%s: %.1f%% right, floor %.1f%%\n", prefix.c_str(), floored.Percent(), floor);
    if (floored.files == 0 || floored.Percent() < floor) return 1;
  }
  return 0;
}
