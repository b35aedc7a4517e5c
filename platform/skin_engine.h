#pragma once
// The skin engine: a shared library that the program writes out and then loads to
// give its windows their look. No operation throws.

#include <cstdint>
#include <optional>
#include <span>

#include "platform/types.h"

namespace signmaker::platform {

class SkinEngine {
 public:
  virtual ~SkinEngine() = default;

  // Loads the engine library at `libraryPath` (GBK) and calls its
  // SkinH_AttachEx(skinFile, password) with the two GBK texts. The library is loaded
  // only when the file's bytes are exactly `expected`, and the bytes compared are those
  // of the very file that is loaded, so a file planted or swapped in meanwhile is never
  // run. Returns the entry point's result; nullopt when the file is missing, differs
  // from `expected`, cannot be loaded or has no SkinH_AttachEx. A loaded engine stays
  // loaded for the rest of the run. Window thread.
  virtual std::optional<int> Attach(const Text& libraryPath, std::span<const std::uint8_t> expected,
                                    const Text& skinFile, const Text& password) = 0;

  // The operating system's loader.
  static SkinEngine& Default();
};

}  // namespace signmaker::platform
