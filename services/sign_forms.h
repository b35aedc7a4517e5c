#pragma once
// Telling which style a posted sign form belongs to.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace signmaker::services {

// The form of one style as the program posts it: head, the encoded words, tail.
struct SignStyle {
  int index = 0;
  std::string endpoint;  // path, e.g. "/p/re86.php"
  std::string head;
  std::string tail;
};

// A post that is the form of a style of its endpoint.
struct PostedSign {
  int style = 0;
  std::string words;                // decoded, UTF-8
  std::vector<std::string> values;  // the decoded values of the style's fixed fields, in order
};

struct SignCheck {
  std::optional<PostedSign> sign;
  std::string problem;  // why the post is no sign form; empty when `sign` is set
};

// Whether `body`, posted to `endpoint`, is the head, the encoded words and the tail
// of one of `styles` on that endpoint (the first such style wins). The words must
// be percent-encoded UTF-8 without "&"; they may be empty.
SignCheck CheckSignPost(std::string_view endpoint, std::string_view body,
                        const std::vector<SignStyle>& styles);

// Whether some style posts to `endpoint`.
bool IsSignEndpoint(std::string_view endpoint, const std::vector<SignStyle>& styles);

}  // namespace signmaker::services
