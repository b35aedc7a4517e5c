#include "app/program.h"

#include <cstdlib>
#include <memory>

#include "app/startup_checks.h"
#include "maker/main_window.h"
#include "update/package_downloader.h"
#include "update/update_window.h"

namespace signmaker {
namespace {

// The program-wide objects.
std::unique_ptr<DownloadTaskList> downloadTasks;
std::unique_ptr<MultiDownloader> multiDownloader;
UpdateCounters updateCounters;

}  // namespace

int ProgramStart(const ProgramServices& services) {
  // The platform layer is up: the caller has its services at hand.
  downloadTasks = std::make_unique<DownloadTaskList>();
  multiDownloader =
      std::make_unique<MultiDownloader>(*downloadTasks, services.http, services.kernel, services.runtime);
  services.runtime.AtProgramEnd(&ReleaseGlobals);

  MultiPackageDownloader packageDownloader(*ProgramDownloader());
  MainWindow window(services.toolkit, services.runtime, services.http);
  window.OnCreated([&] { OnMainWindowCreated(services, packageDownloader, updateCounters); });
  window.Show();
  services.toolkit.RunMessageLoop();
  return 0;
}

void ReleaseGlobals() {
  multiDownloader.reset();
  downloadTasks.reset();
}

void EndProgram(platform::Runtime& runtime, int code) {
  runtime.EndProcess(code);
  std::abort();  // not reached: EndProcess does not return
}

MultiDownloader* ProgramDownloader() { return multiDownloader.get(); }

}  // namespace signmaker
