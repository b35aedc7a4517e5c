#pragma once
// The libcurl backend of HttpClient. Send and Get are in curl_request.cpp, Open and
// its stream in curl_stream.cpp.

#include "platform/http.h"

namespace signmaker::platform {

class CurlHttpClient final : public HttpClient {
 public:
  HttpReply Send(const HttpRequest& request) override;
  Bytes Get(const Text& url) override;
  std::unique_ptr<HttpStream> Open(const Text& url, const Text& headers, const Text& agent,
                                   bool followRedirects) override;
};

}  // namespace signmaker::platform
