#pragma once
// What runs once the main window has been created, before the user can work with it:
// the skin, the connection test and the version check.

#include <string_view>

#include "app/program_services.h"
#include "update/package_downloader.h"
#include "update/update_window.h"

namespace signmaker {

inline constexpr std::string_view CurrentVersion = "6.4";
// Its reply carries the published version between its first two "&".
inline constexpr std::string_view VersionUrl =
    "http://portrait.qq.example/fcg-bin/cgi_get_portrait.fcg?uins=509183726";
// The names under which the skin engine and its skin file are written.
inline constexpr std::string_view SkinEngineFileName = "jedata.dll";
inline constexpr std::string_view SkinFileName = "皮肤.she";

// Writes the skin engine and the skin file into the current directory, makes both hidden
// and system, and has the engine apply the skin file. Nothing of it is checked: a
// failing step does not stop the next. When the current directory cannot be read,
// nothing is written and no skin is applied. Window thread.
void ApplySkin(platform::Runtime& runtime, platform::SkinEngine& skin);

// Reads the published version; when it is not exactly CurrentVersion (a failed request
// included), tells the user, runs the update window and ends the program. Returns only
// when the version is current. Window thread.
void CheckVersion(const ProgramServices& services, PackageDownloader& downloader, UpdateCounters& counters);

// The main window's created handler: ApplySkin, then the connection test (without a
// connection: a notice and the end of the program, no request), then CheckVersion.
// Returns only when the main window is to be used. Window thread.
void OnMainWindowCreated(const ProgramServices& services, PackageDownloader& downloader,
                         UpdateCounters& counters);

}  // namespace signmaker
