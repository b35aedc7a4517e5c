#include "platform/linux/curl_session.h"

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <string>

namespace signmaker::platform::curl {
namespace {

std::atomic<long> time_limit_seconds{60};

void InitialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

// The SIGNMAKER_CONNECT_TO entries, read once; the list lives as long as the process.
curl_slist* ConnectToList() {
  static curl_slist* const list = [] {
    curl_slist* entries = nullptr;
    const char* value = std::getenv("SIGNMAKER_CONNECT_TO");
    if (value == nullptr) return entries;
    std::string all(value);
    std::size_t from = 0;
    while (from <= all.size()) {
      std::size_t comma = all.find(',', from);
      if (comma == std::string::npos) comma = all.size();
      const std::string entry = all.substr(from, comma - from);
      if (!entry.empty()) {
        if (curl_slist* grown = curl_slist_append(entries, entry.c_str())) entries = grown;
      }
      from = comma + 1;
    }
    return entries;
  }();
  return list;
}

}  // namespace

EasyHandle NewEasyHandle() {
  InitialiseOnce();
  EasyHandle handle(curl_easy_init());
  if (!handle) return handle;
  CURL* h = handle.get();
  const long limit = time_limit_seconds.load();
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, limit);
  // A reply that brings less than one byte per second for the whole limit fails.
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, limit);
  curl_easy_setopt(h, CURLOPT_PROXY, "");  // no proxy from the environment
  if (curl_slist* routes = ConnectToList()) curl_easy_setopt(h, CURLOPT_CONNECT_TO, routes);
  return handle;
}

void SetTimeLimit(std::chrono::seconds limit) { time_limit_seconds.store(static_cast<long>(limit.count())); }

std::chrono::seconds TimeLimit() { return std::chrono::seconds(time_limit_seconds.load()); }

}  // namespace signmaker::platform::curl
