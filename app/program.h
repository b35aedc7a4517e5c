#pragma once
// The program's start and end.

#include "app/program_services.h"
#include "download/multi_downloader.h"

namespace signmaker {

// The main sequence: creates the downloader and its task list, registers ReleaseGlobals
// to run at the program's end, shows the main window (whose created event runs the
// start-up checks) and runs the message loop until it is closed. Returns 0. Window thread.
int ProgramStart(const ProgramServices& services);

// Releases the downloader, then its task list. Running downloads are neither stopped nor
// awaited. Registered to run once at the program's end; a further call does nothing.
void ReleaseGlobals();

// Ends the program at once with `code`: the runtime runs ReleaseGlobals, then the
// process ends. Window thread.
[[noreturn]] void EndProgram(platform::Runtime& runtime, int code);

// The program's downloader; nullptr before ProgramStart and after ReleaseGlobals.
MultiDownloader* ProgramDownloader();

}  // namespace signmaker
