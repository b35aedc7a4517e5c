#pragma once
// The make command: one post of the user's words in the chosen style, then the
// picture that the service drew for it.

#include <string>
#include <string_view>

#include "maker/style_catalogue.h"
#include "platform/code_conversion.h"
#include "platform/http.h"
#include "platform/types.h"

namespace signmaker {

// "http://" + ServiceHost + "/": the folder above every endpoint, and the start of
// every picture address.
inline const Text ServiceRoot = "http://" + std::string(ServiceHost) + "/";

// Shown, with the caption "信息：", when the first line is empty.
inline constexpr std::string_view EmptyLineMessage = "请输入正确内容";
inline constexpr std::string_view InformationCaption = "信息：";
// The status after every make that reached its post, whatever came back.
inline constexpr std::string_view MadeStatus = "制作完成";

struct MakeResult {
  enum class Kind {
    NoRequest,  // no style selected: nothing happens
    EmptyLine,  // the first line is empty: the user is told, nothing is sent
    Made,       // one post and one download took place
  };
  Kind kind = Kind::NoRequest;
  Bytes picture;  // Made: the downloaded bytes, empty when the download failed
  Text status;    // Made: MadeStatus
};

// Makes a sign photo of `line` (GBK, as the first line holds it) in the style of row
// `styleIndex` (-1: none selected). With `plainAlphanumerics` dashes, dots, digits and
// capital letters stay plain in the form value. The post goes to the style's endpoint;
// the picture is fetched from `serviceRoot` followed by the path that the reply names.
// Failures of the post or the download are not examined: the make goes on with the
// empty result. Blocks for the post and the download.
MakeResult MakeSign(std::string_view line, bool plainAlphanumerics, int styleIndex,
                    platform::HttpClient& http, const platform::CodeConversion& conversion,
                    std::string_view serviceRoot = ServiceRoot);

}  // namespace signmaker
