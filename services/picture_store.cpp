#include "services/picture_store.h"

#include <cstdint>
#include <cstdio>

namespace signmaker::services {

void PictureStore::Put(const std::string& name, std::string bytes) {
  std::lock_guard lock(mutex_);
  auto [where, added] = pictures_.insert_or_assign(name, std::move(bytes));
  (void)where;
  if (!added) return;
  order_.push_back(name);
  while (order_.size() > capacity_) {
    pictures_.erase(order_.front());
    order_.pop_front();
  }
}

std::optional<std::string> PictureStore::Get(const std::string& name) const {
  std::lock_guard lock(mutex_);
  const auto found = pictures_.find(name);
  if (found == pictures_.end()) return std::nullopt;
  return found->second;
}

std::string PictureName(std::string_view endpoint, std::string_view body) {
  // 64-bit FNV-1a over endpoint, a separator and body.
  std::uint64_t hash = 0xcbf29ce484222325ull;
  auto mix = [&hash](std::string_view bytes) {
    for (const char c : bytes) {
      hash ^= static_cast<std::uint8_t>(c);
      hash *= 0x100000001b3ull;
    }
  };
  mix(endpoint);
  mix(std::string_view("\n", 1));
  mix(body);
  char name[24];
  std::snprintf(name, sizeof name, "%016llx.jpg", static_cast<unsigned long long>(hash));
  return name;
}

}  // namespace signmaker::services
