// The program: start-up checks, the main window, and the end.

#include "app/program.h"

int main() {
  using namespace signmaker;
  // The window toolkit starts first, so that it is still there while the end routines run.
  platform::WindowToolkit& toolkit = platform::WindowToolkit::Default();
  const ProgramServices services{toolkit, platform::Runtime::Default(), platform::HttpClient::Default(),
                                 platform::Kernel::Default(), platform::SkinEngine::Default()};
  return ProgramStart(services);
}
