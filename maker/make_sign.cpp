#include "maker/make_sign.h"

#include "maker/encode_line.h"
#include "web/text_between.h"
#include "web/unescape_text.h"
#include "web/web_access.h"

namespace signmaker {
namespace {

// The picture path in the service's reply stands between these two markers.
constexpr std::string_view PathStart = "../";
constexpr std::string_view PathEnd = "\">";

}  // namespace

MakeResult MakeSign(std::string_view line, bool plainAlphanumerics, int styleIndex,
                    platform::HttpClient& http, const platform::CodeConversion& conversion,
                    std::string_view serviceRoot) {
  const Text encodedLine = EncodeLine(line, plainAlphanumerics, conversion);
  if (line.empty()) return {MakeResult::Kind::EmptyLine, {}, {}};
  // An index outside the catalogue is no style either.
  const StyleRow* row = StyleCatalogue::Lookup(styleIndex);
  if (row == nullptr) return {MakeResult::Kind::NoRequest, {}, {}};

  const SignRequest request = StyleCatalogue::Build(*row, encodedLine);
  // A POST with the defaults of every other parameter, through `http`.
  const Bytes reply = WebAccess(request.url, 1, request.body, nullptr, nullptr, nullptr, nullptr,
                                false, nullptr, std::nullopt, nullptr, http);
  const Text decoded = UnescapeText(TextFromBytes(reply), conversion);
  const Text picturePath = TextBetween(decoded, PathStart, PathEnd);
  Bytes picture = http.Get(Text(serviceRoot) + picturePath);
  return {MakeResult::Kind::Made, std::move(picture), Text(MadeStatus)};
}

}  // namespace signmaker
