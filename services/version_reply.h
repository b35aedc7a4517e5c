#pragma once
// The reply of the portrait service's version channel.

#include <string>
#include <string_view>

namespace signmaker::services {

// The portrait service's JSONP reply for the account 509183726, whose nickname
// field carries the published version between two "&": the version is the text
// between the first two "&" of the reply. `version` must not hold "&".
std::string VersionReply(std::string_view version);

}  // namespace signmaker::services
