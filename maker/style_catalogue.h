#pragma once
// The fixed table of the picture styles that the sign service draws, and the post
// that makes a picture of one style.

#include <string_view>

#include "platform/types.h"

namespace signmaker {

// The host name of the sign-photo service.
inline constexpr std::string_view ServiceHost = "www.vobta.example";

// One picture style: the endpoint path on ServiceHost (one folder below the root)
// and the fixed, already URL-encoded parts of the form body in front of and behind
// the user's encoded line.
struct StyleRow {
  int index = 0;
  Text endpointPath;
  Text head;
  Text tail;
};

// One post to the sign-photo service.
struct SignRequest {
  Text url;   // "http://" + ServiceHost + endpoint path
  Text body;  // head + encoded line + tail
};

namespace StyleCatalogue {

// The number of styles; row i belongs to row i of the style list.
inline constexpr int Size = 153;

// The row of `index`; nullptr when `index` is not from 0 to Size - 1.
const StyleRow* Lookup(int index);

// The post that makes a picture of `row` with `encodedLine` as the user's words.
SignRequest Build(const StyleRow& row, std::string_view encodedLine);

}  // namespace StyleCatalogue
}  // namespace signmaker
