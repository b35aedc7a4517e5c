#pragma once
// The main window: the style list, the picture, the first line, make and save.

#include <functional>
#include <memory>
#include <string_view>

#include "platform/code_conversion.h"
#include "platform/http.h"
#include "platform/runtime.h"
#include "platform/window_toolkit.h"

namespace signmaker {

// Shown in the status box after every save, whatever its outcome.
inline constexpr std::string_view SavedStatus = "保存完成！请查看桌面";
// The status box announces the chosen style as this followed by its caption.
inline constexpr std::string_view AnnouncePrefix = "正在制作";

class MainWindow {
 public:
  // Builds the window (not shown yet) and connects its handlers. Window thread.
  MainWindow(platform::WindowToolkit& toolkit, platform::Runtime& runtime, platform::HttpClient& http,
             const platform::CodeConversion& conversion = platform::CodeConversion::Default());

  // Runs `handler` once the window has been created, before the user can work with it.
  void OnCreated(std::function<void()> handler);
  // Shows the window; returns at once.
  void Show();

  platform::Window& window() { return *window_; }

  // The window's handlers.
  // Status box: "正在制作" and the caption of the selected row.
  void AnnounceStyle();
  // Empties the edit box `box`.
  void ClearLine(std::string_view box);
  // Writes the picture's bytes to the desktop under the selected row's caption + ".jpg".
  void SaveSign();
  // Makes a sign photo of the first line in the selected style.
  void MakeSign();

 private:
  platform::WindowToolkit& toolkit_;
  platform::Runtime& runtime_;
  platform::HttpClient& http_;
  const platform::CodeConversion& conversion_;
  std::unique_ptr<platform::Window> window_;
};

}  // namespace signmaker
