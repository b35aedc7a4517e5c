#include "app/startup_checks.h"

#include "app/program.h"
#include "resources/skin_blocks.h"
#include "web/text_between.h"

namespace signmaker {
namespace {

constexpr std::uint32_t HiddenAndSystem = platform::FileAttributeHidden | platform::FileAttributeSystem;

Bytes BytesOf(std::span<const std::uint8_t> block) { return Bytes(block.begin(), block.end()); }

}  // namespace

void ApplySkin(platform::Runtime& runtime, platform::SkinEngine& skin) {
  const Text directory = runtime.CurrentDirectory();
  // Without it the names would point at the file system's root.
  if (directory.empty()) return;
  const Text engineFile = directory + "/" + Text(SkinEngineFileName);
  const Text skinFile = directory + "/" + Text(SkinFileName);
  runtime.WriteFile(engineFile, BytesOf(SkinEngineBlock()));
  runtime.WriteFile(skinFile, BytesOf(SkinFileBlock()));
  runtime.SetFileAttributes(engineFile, HiddenAndSystem);
  runtime.SetFileAttributes(skinFile, HiddenAndSystem);
  skin.Attach(engineFile, SkinEngineBlock(), skinFile, "");
}

void CheckVersion(const ProgramServices& services, PackageDownloader& downloader, UpdateCounters& counters) {
  const Text reply = TextFromBytes(services.http.Get(Text(VersionUrl)));
  const Text latest = TextBetween(reply, "&", "&");
  if (latest == CurrentVersion) return;

  services.toolkit.MessageBox("软件已经更新！请联系QQ：509183726", "砚禾提示您！");
  {
    UpdateWindow window(services.toolkit, services.runtime, downloader, counters);
    window.RunModal();
  }
  EndProgram(services.runtime, 0);
}

void OnMainWindowCreated(const ProgramServices& services, PackageDownloader& downloader,
                         UpdateCounters& counters) {
  ApplySkin(services.runtime, services.skin);
  if (!services.runtime.IsConnected()) {
    services.toolkit.MessageBox("请联网后再打开本软件", "信息：");
    EndProgram(services.runtime, 0);
  }
  CheckVersion(services, downloader, counters);
}

}  // namespace signmaker
