#pragma once
// The finished pictures, kept until they are fetched again or pushed out.

#include <cstddef>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace signmaker::services {

// A bounded store of pictures by name; the oldest go when it is full. Any thread.
class PictureStore {
 public:
  explicit PictureStore(std::size_t capacity = 512) : capacity_(capacity) {}

  void Put(const std::string& name, std::string bytes);
  std::optional<std::string> Get(const std::string& name) const;

 private:
  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::map<std::string, std::string> pictures_;
  std::deque<std::string> order_;  // names, oldest first
};

// The picture's name for a post: a hash of endpoint and body, so that the same post
// always names the same picture ("0f3c...9a.jpg").
std::string PictureName(std::string_view endpoint, std::string_view body);

}  // namespace signmaker::services
