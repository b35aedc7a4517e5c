#pragma once
// The update window: downloads the update package to the desktop and shows how it goes.

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/runtime.h"
#include "platform/window_toolkit.h"
#include "update/package_downloader.h"

namespace signmaker {

// The update window's two program-wide values, 0 at start and never reset.
struct UpdateCounters {
  // The list row that progress reports write into last and that the completion check marks.
  std::atomic<std::int32_t> shownRow{0};
  // Downloads this window has started; a row's ID is the count after its start.
  std::atomic<std::int32_t> downloadCount{0};
};

// Reports of task numbers above this have no row and are not shown.
inline constexpr std::int32_t LastShownTask = 3;
// Connections per package download.
inline constexpr std::int32_t PackageThreadCount = 10;

class UpdateWindow {
 public:
  // Builds the window. The toolkit, the runtime and the counters must outlive every
  // download the window starts (the program's own do); the window itself may go first.
  UpdateWindow(platform::WindowToolkit& toolkit, platform::Runtime& runtime,
               PackageDownloader& downloader, UpdateCounters& counters);
  ~UpdateWindow();
  UpdateWindow(const UpdateWindow&) = delete;
  UpdateWindow& operator=(const UpdateWindow&) = delete;

  // Shows the window as a modal dialog without a parent; being created, it starts the
  // package download. Returns when the user has closed it. Reports that arrive after
  // that are dropped. Window thread.
  void RunModal();

  // The timer's handler: when the progress column of row `shownRow` reads "100%", that
  // row's state becomes "更新完毕". Window thread.
  void CheckCompletion();

  // The window, for looking at its controls.
  platform::Window& Window();

  // The window with what it works with; the queued reports hold it weakly. Opaque.
  struct State;

 private:
  std::shared_ptr<State> state_;
};

}  // namespace signmaker
