// The program: opens the main window and runs until it is closed.

#include "maker/main_window.h"
#include "platform/http.h"
#include "platform/runtime.h"
#include "platform/window_toolkit.h"

int main() {
  using namespace signmaker;
  platform::WindowToolkit& toolkit = platform::WindowToolkit::Default();
  MainWindow window(toolkit, platform::Runtime::Default(), platform::HttpClient::Default());
  window.Show();
  return toolkit.RunMessageLoop();
}
