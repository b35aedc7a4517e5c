#pragma once
// The Qt backend of WindowToolkit.

#include "platform/window_toolkit.h"

namespace signmaker::platform::qt {

class QtWindowToolkit final : public WindowToolkit {
 public:
  // Starts the application object unless one exists, and gives the program its
  // default font.
  QtWindowToolkit();

  std::unique_ptr<Window> CreateWindow(const WindowDef& definition) override;
  void MessageBox(const Text& text, const Text& caption) override;
  int RunMessageLoop() override;
  void PostToWindowThread(std::function<void()> task) override;
  void OpenUrl(const Text& url) override;
};

}  // namespace signmaker::platform::qt
