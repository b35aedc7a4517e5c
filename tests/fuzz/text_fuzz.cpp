// Text operations and URL helpers on arbitrary bytes: results stay inside their
// inputs, splitting and joining give the text back, nothing reads out of bounds.

#include "tests/fuzz/fuzz_target.h"
#include "web/text_between.h"
#include "web/text_ops.h"
#include "web/url_parts.h"

using namespace signmaker;
using signmaker::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 3);
  const std::string_view text = pieces[0], a = pieces[1], b = pieces[2];
  const int start = a.empty() ? 1 : static_cast<int>(static_cast<unsigned char>(a[0]) % 8) - 2;

  for (const bool caseSensitive : {true, false}) {
    for (const int found : {Search(text, a, start, caseSensitive), SearchLast(text, a, start, caseSensitive)}) {
      Require(found == NotFound || (found >= 1 && static_cast<std::size_t>(found) <= text.size()),
              "a search gives a position inside the text");
      if (found != NotFound && caseSensitive && !a.empty()) {
        Require(text.substr(static_cast<std::size_t>(found) - 1, a.size()) == a, "a match is the needle");
      }
    }
  }

  if (!a.empty()) {
    Text joined;
    const auto items = Split(text, a);
    for (std::size_t i = 0; i < items.size(); ++i) joined += (i ? Text(a) : Text()) + items[i];
    Require(joined == text || joined + Text(a) == text, "split items joined give the text back");
  }

  Require(text.find(Trim(text)) != std::string_view::npos, "trim keeps a piece of the text");
  Require(ReplaceAll(text, "", b) == text, "replacing the empty text changes nothing");
  ReplaceAll(text, a, b);
  RemoveSpaces(text);
  Lower(text);
  Require(Left(text, start).size() <= text.size() && Right(text, start).size() <= text.size(), "left and right stay inside");

  if (a.find('#') == std::string_view::npos && b.find('#') == std::string_view::npos) {
    Require(text.find(TextBetween(text, a, b, start)) != std::string_view::npos, "a cut piece stands in the text");
  }
  Require(text.find(HeaderValue(text)) != std::string_view::npos, "a header value stands in the text");

  for (const bool lastTwo : {false, true}) {
    for (const bool keepPort : {false, true}) UrlHost(text, lastTwo, keepPort);
  }
  UrlPort(text);
  const Text path = UrlPath(text);
  Require(!path.empty() && path[0] == '/', "a path begins with a slash");
  return 0;
}
