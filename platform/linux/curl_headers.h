#pragma once
// The request header text of the program as libcurl takes it.

#include <string_view>

#include "platform/linux/curl_session.h"

namespace signmaker::platform::curl {

// The lines of `headers` ("\r\n"-separated, no trailing break) as a libcurl header
// list, in their order, empty lines left out. A line with an empty value is still
// sent (as "Name:"). Then the entries that keep libcurl from adding Accept, Expect
// and Content-Type lines of its own; a name that the caller's lines carry keeps
// the caller's line. Null only when memory runs out. Any thread.
HeaderList RequestHeaderList(std::string_view headers);

}  // namespace signmaker::platform::curl
