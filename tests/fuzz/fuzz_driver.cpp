// Bounded fuzzing without libFuzzer: every seed of the corpus folders given on the
// command line, then a fixed number of mutated inputs from a fixed random seed, so
// that a run is repeatable. Built with the address and undefined-behaviour sanitizers.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_target.h"

namespace signmaker::fuzz {

namespace {

using Input = std::vector<std::uint8_t>;

// The input being run, printed when an expectation fails.
const Input* current_input = nullptr;

void PrintInput() {
  std::fprintf(stderr, "input:");
  if (current_input != nullptr) {
    for (const std::uint8_t byte : *current_input) std::fprintf(stderr, " %02x", byte);
  }
  std::fprintf(stderr, "\n");
}

// Tokens that the parsers give meaning to; mutations splice them in.
const char* const kTokens[] = {"%",   "%u",   "\\",   "\\u",   "\\x",  "'",  "\r\n", "\r",  "\n",
                               "../", "\">",  "&",    ";",     "=",    ":",  "/",    "//",  "http://",
                               "https://", "#引号", "{$}", "=deleted", "\xA1\xA1", "\xA1\xAF", "\x81", " ",
                               "\x89PNG\r\n\x1a\n", "IHDR", "IDAT", "IEND", "\xff\xff\xff\x7f"};

Input Mutate(Input input, std::mt19937& random) {
  const int steps = 1 + static_cast<int>(random() % 4);
  for (int s = 0; s < steps; ++s) {
    const std::size_t at = input.empty() ? 0 : random() % (input.size() + 1);
    switch (random() % 5) {
      case 0:  // flip a byte
        if (!input.empty()) input[random() % input.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        break;
      case 1:  // insert a random byte
        input.insert(input.begin() + static_cast<long>(at), static_cast<std::uint8_t>(random()));
        break;
      case 2:  // delete a run
        if (at < input.size()) {
          const std::size_t length = std::min<std::size_t>(input.size() - at, 1 + random() % 8);
          input.erase(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + length));
        }
        break;
      case 3: {  // splice a token in
        const std::string token = kTokens[random() % std::size(kTokens)];
        input.insert(input.begin() + static_cast<long>(at), token.begin(), token.end());
        break;
      }
      default:  // duplicate a run
        if (at < input.size()) {
          const std::size_t length = std::min<std::size_t>(input.size() - at, 1 + random() % 32);
          const Input run(input.begin() + static_cast<long>(at), input.begin() + static_cast<long>(at + length));
          input.insert(input.begin() + static_cast<long>(at), run.begin(), run.end());
        }
        break;
    }
  }
  return input;
}

}  // namespace
}  // namespace signmaker::fuzz

int main(int argc, char** argv) {
  using namespace signmaker::fuzz;
  std::vector<Input> seeds{Input{}};
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream file(entry.path(), std::ios::binary);
      seeds.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
  }
  const long runs = std::getenv("SIGNMAKER_FUZZ_RUNS") ? std::atol(std::getenv("SIGNMAKER_FUZZ_RUNS")) : 20000;
  std::mt19937 random(20261211);
  on_failure = PrintInput;
  for (const Input& seed : seeds) {
    current_input = &seed;
    LLVMFuzzerTestOneInput(seed.data(), seed.size());
  }
  for (long run = 0; run < runs; ++run) {
    Input input = Mutate(seeds[random() % seeds.size()], random);
    if (input.size() > 4096) input.resize(4096);
    current_input = &input;
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  std::printf("%zu seeds and %ld mutated inputs ran\n", seeds.size(), runs);
  return 0;
}
