#pragma once
// Completing a download's target path: the file's name from the server or the URL.

#include <string_view>

#include "platform/http.h"
#include "platform/runtime.h"
#include "platform/types.h"

namespace signmaker {

// The extension of the last part of `path` ("/" separates parts): its last "." and
// what follows; empty when the last part has no ".".
Text PathExtension(std::string_view path);

// The last "/"-separated segment of a URL or location (backslashes count as "/"),
// without its query: ".../files/pkg.zip?x=1" gives "pkg.zip", ".../dir/" gives "".
Text FileNameFromUrl(std::string_view url);

// The name the server gives the resource at `url` in its Content-Location line,
// asked for without following redirects; the name in the URL itself when the
// machine is offline, no reply comes or the reply has no such line.
Text DefaultFileName(const Text& url, platform::HttpClient& http, platform::Runtime& runtime);

// `targetPath` when its last part has an extension; otherwise a folder, to which
// the default name of `url` is added. A path that then holds no "." at all gets its
// last part once more ("/dl/setup/" -> "/dl/setup/setup").
Text CompleteTargetPath(const Text& targetPath, const Text& url, platform::HttpClient& http,
                        platform::Runtime& runtime);

}  // namespace signmaker
