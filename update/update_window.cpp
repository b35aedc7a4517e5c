#include "update/update_window.h"

#include <string>
#include <utility>

#include "resources/update_window_def.h"
#include "update/update_texts.h"

namespace signmaker {
namespace {

namespace names = UpdateWindowControls;
namespace columns = UpdateListColumns;

// One progress report, turned into the texts of its row on the reporting thread.
struct RowTexts {
  std::int32_t row = 0;
  Text done, size, progress;
};

}  // namespace

struct UpdateWindow::State {
  State(platform::WindowToolkit& toolkit, platform::Runtime& runtime, PackageDownloader& downloader,
        UpdateCounters& counters)
      : toolkit(toolkit), runtime(runtime), downloader(downloader), counters(counters),
        window(toolkit.CreateWindow(UpdateWindowDef())) {}

  platform::WindowToolkit& toolkit;
  platform::Runtime& runtime;
  PackageDownloader& downloader;
  UpdateCounters& counters;
  std::unique_ptr<platform::Window> window;
  bool open = false;  // between the start and the end of RunModal; window thread only
};

namespace {

// Writes one report into its own row. Window thread.
void ShowRow(UpdateWindow::State& state, const RowTexts& texts) {
  state.counters.shownRow.store(texts.row);
  platform::Window& window = *state.window;
  window.SetCell(names::List, texts.row, columns::Done, texts.done);
  window.SetCell(names::List, texts.row, columns::Size, texts.size);
  window.SetCell(names::List, texts.row, columns::Progress, texts.progress);
  window.SetCell(names::List, texts.row, columns::State, "升级中");
}

// The download's progress callback. Runs on download threads, possibly while the task's
// lock is held: it only formats the texts and queues them for the window thread, in
// report order, and never waits. A window closed or gone by then is left alone.
ProgressCallback ShowProgress(platform::WindowToolkit& toolkit, std::weak_ptr<UpdateWindow::State> state) {
  return [&toolkit, state = std::move(state)](std::int32_t task, std::int32_t /*event*/, std::int32_t total,
                                             std::int32_t done) {
    if (task < 1 || task > LastShownTask) return;
    RowTexts texts{task - 1, SizeText(done), SizeText(total), std::to_string(PercentDone(done, total)) + "%"};
    toolkit.PostToWindowThread([state, texts = std::move(texts)] {
      if (const auto live = state.lock(); live && live->open) ShowRow(*live, texts);
    });
  };
}

void StartUpdateDownload(const std::shared_ptr<UpdateWindow::State>& state) {
  platform::Window& window = *state->window;
  window.RemoveAllRows(names::List);
  const Text url = window.GetText(names::Url);
  if (url.empty()) return;
  const Text name = LastUrlSegment(url);
  state->downloader.Download(url, state->runtime.DesktopFolder() + name, PackageThreadCount,
                             ShowProgress(state->toolkit, state), 1);
  const std::int32_t id = ++state->counters.downloadCount;
  const int row = window.AppendRow(names::List);
  window.SetCell(names::List, row, columns::Id, std::to_string(id));
  window.SetCell(names::List, row, columns::FileName, name);
}

// When the progress column of row `shownRow` reads "100%", marks that row done. Window thread.
void CheckCompletion(UpdateWindow::State& state) {
  const std::int32_t row = state.counters.shownRow.load();
  platform::Window& window = *state.window;
  if (window.Cell(names::List, row, columns::Progress) == "100%") {
    window.SetCell(names::List, row, columns::State, "更新完毕");
  }
}

}  // namespace

UpdateWindow::UpdateWindow(platform::WindowToolkit& toolkit, platform::Runtime& runtime,
                           PackageDownloader& downloader, UpdateCounters& counters)
    : state_(std::make_shared<State>(toolkit, runtime, downloader, counters)) {
  // The handlers live in the window, which the state owns: a plain pointer suffices for
  // the state itself, and a weak one is handed to the downloads.
  State* state = state_.get();
  const std::weak_ptr<State> weak = state_;
  platform::Window& window = *state_->window;
  window.OnCreated([weak] {
    if (const auto live = weak.lock()) StartUpdateDownload(live);
  });
  window.OnClicked(names::Start, [weak] {
    if (const auto live = weak.lock()) StartUpdateDownload(live);
  });
  window.OnClicked(names::PauseAll, [state] { state->downloader.PauseAll(); });
  window.OnClicked(names::ResumeAll, [state] { state->downloader.ResumeAll(); });
  window.OnClicked(names::StopAll, [state] { state->downloader.StopAll(); });
  window.OnClicked(names::ManualDownload, [state] { state->toolkit.OpenUrl(Text(PackageUrl)); });
  window.OnTimer(names::Timer, [state] { signmaker::CheckCompletion(*state); });
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::RunModal() {
  state_->open = true;
  state_->window->RunModal();
  state_->open = false;
}

void UpdateWindow::CheckCompletion() { signmaker::CheckCompletion(*state_); }

platform::Window& UpdateWindow::Window() { return *state_->window; }

}  // namespace signmaker
