// Cookie merging on arbitrary texts: the merged text has no spaces, no deleted and no
// repeated entries, and is what the caller's cookie text holds afterwards.

#include <set>

#include "tests/fuzz/fuzz_target.h"
#include "web/cookies.h"
#include "web/text_ops.h"

using namespace signmaker;
using signmaker::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto pieces = fuzz::Pieces(data, size, 2);
  Text cookies(pieces[0]), replyCookies(pieces[1]);
  const Text merged = MergeCookies(cookies, replyCookies);
  Require(merged == cookies, "the merged text is left in the caller's cookie text");
  Require(RemoveSpaces(replyCookies) == replyCookies, "the reply's cookies lose their spaces");
  // A lone lead byte of a two-byte character swallows the separator behind it, so
  // the entries are looked at one by one only for one-byte texts.
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] >= 0x80) return 0;
  }
  std::set<Text> seen;
  for (const Text& entry : Split(merged, "; ")) {
    Require(seen.insert(entry).second, "no entry is repeated");
    Require(RemoveSpaces(entry) == entry, "entries hold no spaces");
    Require(entry.size() < 8 || entry.compare(entry.size() - 8, 8, "=deleted") != 0, "no deleted entry is kept");
  }
  return 0;
}
