#pragma once
// Pieces shared by every libcurl transfer of the program.

#include <curl/curl.h>

#include <chrono>
#include <memory>

namespace signmaker::platform::curl {

struct EasyDeleter {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using EasyHandle = std::unique_ptr<CURL, EasyDeleter>;

struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using HeaderList = std::unique_ptr<curl_slist, ListDeleter>;

// A new easy handle with the options every transfer shares: SIGNMAKER_CONNECT_TO
// routing, time limits, no signals, no proxy from the environment, no Accept or
// Expect lines of libcurl's own. Null when libcurl cannot make one. Any thread.
EasyHandle NewEasyHandle();

// The time limits of every transfer: connecting, and a reply that stays silent.
// About a minute, as a desktop program's users expect; tests shorten it.
void SetTimeLimit(std::chrono::seconds limit);
std::chrono::seconds TimeLimit();

}  // namespace signmaker::platform::curl
