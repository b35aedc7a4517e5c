#pragma once
// The machine services the program runs on. The program passes each interface's
// Default(); tests pass fakes.

#include "platform/http.h"
#include "platform/kernel.h"
#include "platform/runtime.h"
#include "platform/skin_engine.h"
#include "platform/window_toolkit.h"

namespace signmaker {

struct ProgramServices {
  platform::WindowToolkit& toolkit;
  platform::Runtime& runtime;
  platform::HttpClient& http;
  platform::Kernel& kernel;
  platform::SkinEngine& skin;
};

}  // namespace signmaker
