#pragma once
// A run-time service stand-in that records what the program asks of it.
// EndProcess runs the registered end routines, as the real one does, and then throws
// ProcessEnded so that the test regains control where the process would have ended.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/runtime.h"

namespace signmaker::fakes {

struct ProcessEnded {
  int code = 0;
};

class FakeRuntime : public platform::Runtime {
 public:
  struct FileWrite {
    Text path;
    Bytes bytes;
  };

  bool connected = true;
  Text desktopFolder = "/home/user/Desktop/";
  Text currentDirectory = "/work/dir";
  std::vector<FileWrite> writes;
  std::vector<std::pair<Text, std::uint32_t>> attributes;
  std::vector<void (*)()> endRoutines;
  // Every call in order, as "IsConnected", "WriteFile PATH", "SetFileAttributes PATH N",
  // "EndProcess N"; the owner may point it at a log shared with other fakes.
  std::vector<std::string> ownLog;
  std::vector<std::string>* log = &ownLog;

  bool IsConnected() override {
    log->push_back("IsConnected");
    return connected;
  }
  Text DesktopFolder() override { return desktopFolder; }
  Text CurrentDirectory() override { return currentDirectory; }
  bool WriteFile(const Text& path, const Bytes& bytes) override {
    log->push_back("WriteFile " + path);
    writes.push_back({path, bytes});
    return true;
  }
  bool SetFileAttributes(const Text& path, std::uint32_t value) override {
    log->push_back("SetFileAttributes " + path + " " + std::to_string(value));
    attributes.emplace_back(path, value);
    return true;
  }
  std::uint32_t MillisecondsSinceStart() override { return 1000; }
  void AtProgramEnd(void (*routine)()) override { endRoutines.push_back(routine); }
  [[noreturn]] void EndProcess(int code) override {
    log->push_back("EndProcess " + std::to_string(code));
    RunEndRoutines();
    throw ProcessEnded{code};
  }

  // What the process does at its end: the registered routines, last registered first,
  // each once.
  void RunEndRoutines() {
    while (!endRoutines.empty()) {
      auto routine = endRoutines.back();
      endRoutines.pop_back();
      routine();
    }
  }
};

}  // namespace signmaker::fakes
