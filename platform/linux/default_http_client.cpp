#include "platform/http.h"
#include "platform/linux/curl_http_client.h"

namespace signmaker::platform {

HttpClient& HttpClient::Default() {
  static CurlHttpClient client;
  return client;
}

}  // namespace signmaker::platform
