#pragma once
// Run-time services of the operating system: files, folders, the network state,
// the program's end. No operation throws; any thread may call them unless said.

#include <cstdint>

#include "platform/types.h"

namespace signmaker::platform {

// File attribute bits as the program knows them.
inline constexpr std::uint32_t FileAttributeHidden = 2;
inline constexpr std::uint32_t FileAttributeSystem = 4;

class Runtime {
 public:
  virtual ~Runtime() = default;

  // True when a network interface other than loopback is up and has an address.
  virtual bool IsConnected() = 0;

  // The current user's desktop folder (XDG rules: ~/.config/user-dirs.dirs, else
  // ~/Desktop), as GBK text ending in "/"; empty when it cannot be determined.
  virtual Text DesktopFolder() = 0;

  // The process's current directory as GBK text, without a trailing "/"; empty on failure.
  virtual Text CurrentDirectory() = 0;

  // Creates the file at `path` (GBK), or replaces it whole when it exists, so that it
  // holds exactly `bytes`. Readers never see it half written; when the write fails,
  // an existing file stays as it was. Returns false when the file could not be written.
  virtual bool WriteFile(const Text& path, const Bytes& bytes) = 0;

  // Records the DOS attributes `attributes` of the file at `path` (the user.DOSATTRIB
  // extended attribute). Returns false when they could not be recorded.
  virtual bool SetFileAttributes(const Text& path, std::uint32_t attributes) = 0;

  // Milliseconds since the system started (wraps at 2^32).
  virtual std::uint32_t MillisecondsSinceStart() = 0;

  // Registers `routine` to run once when the program ends, by returning from main or
  // through EndProcess. Window thread.
  virtual void AtProgramEnd(void (*routine)()) = 0;

  // Runs the registered end routines and ends the process with `code`. Window thread.
  [[noreturn]] virtual void EndProcess(int code) = 0;

  // The operating system's services.
  static Runtime& Default();
};

}  // namespace signmaker::platform
