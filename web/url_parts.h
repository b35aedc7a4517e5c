#pragma once
// Taking an http or https URL apart for a request. Only a scheme at the very start
// of the URL counts; a URL without one is taken as http. None of the functions fails:
// a missing piece gives an empty text or the default port.

#include <string_view>

#include "platform/types.h"

namespace signmaker {

// The host of `url` in small letters: the text after the scheme up to the first "/",
// "?" or "#". With `lastTwoLabels` only its last two dot-separated labels; with
// `keepPort` the ":port" after it stays. Empty when the URL names no host.
Text UrlHost(std::string_view url, bool lastTwoLabels = false, bool keepPort = false);

// The port of `url`: the number at the start of the text after the last colon of the
// host (0 when it is no number or out of range); without a colon 443 for an https
// URL and 80 otherwise.
int UrlPort(std::string_view url);

// The request target of `url`: everything from the first "/" after the host to the
// end, query and fragment included; a query right after the host gets a "/" in front
// of it; "/" when the URL has neither path nor query.
Text UrlPath(std::string_view url);

}  // namespace signmaker
