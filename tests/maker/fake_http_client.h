#pragma once
// An HttpClient that answers from a script and remembers what it was asked.

#include <deque>
#include <string>
#include <vector>

#include "platform/http.h"

namespace signmaker::testing {

class FakeHttpClient final : public platform::HttpClient {
 public:
  // The body of the reply to the next post; a post with none queued gets empty bytes,
  // as a failed request does.
  void QueuePostReply(std::string body) { postReplies_.push_back(BytesFromText(body)); }
  // The bytes of the next GET; none queued: empty bytes, as a failed fetch gives.
  void QueueGetReply(Bytes bytes) { getReplies_.push_back(std::move(bytes)); }

  platform::HttpReply Send(const platform::HttpRequest& request) override {
    sent.push_back(request);
    return {Next(postReplies_), std::nullopt};
  }
  Bytes Get(const Text& url) override {
    fetched.push_back(url);
    return Next(getReplies_);
  }
  std::unique_ptr<platform::HttpStream> Open(const Text&, const Text&, const Text&, bool) override {
    return nullptr;
  }

  std::vector<platform::HttpRequest> sent;
  std::vector<Text> fetched;

 private:
  static Bytes Next(std::deque<Bytes>& queue) {
    if (queue.empty()) return {};
    Bytes next = std::move(queue.front());
    queue.pop_front();
    return next;
  }

  std::deque<Bytes> postReplies_;
  std::deque<Bytes> getReplies_;
};

}  // namespace signmaker::testing
