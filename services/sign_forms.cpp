#include "services/sign_forms.h"

#include "services/url_form.h"

namespace signmaker::services {

bool IsSignEndpoint(std::string_view endpoint, const std::vector<SignStyle>& styles) {
  for (const SignStyle& style : styles) {
    if (style.endpoint == endpoint) return true;
  }
  return false;
}

SignCheck CheckSignPost(std::string_view endpoint, std::string_view body,
                        const std::vector<SignStyle>& styles) {
  SignCheck check;
  bool endpointKnown = false;
  for (const SignStyle& style : styles) {
    if (style.endpoint != endpoint) continue;
    endpointKnown = true;
    const std::string_view head = style.head, tail = style.tail;
    if (body.size() < head.size() + tail.size() || !body.starts_with(head) ||
        !body.ends_with(tail)) {
      continue;
    }
    const std::string_view encoded = body.substr(head.size(), body.size() - head.size() - tail.size());
    if (encoded.find('&') != std::string_view::npos) continue;

    auto words = PercentDecoded(encoded);
    if (!words) {
      check.problem = "the words hold a broken percent escape";
      return check;
    }
    if (!IsUtf8(*words)) {
      check.problem = "the words are not UTF-8";
      return check;
    }
    PostedSign sign;
    sign.style = style.index;
    sign.words = std::move(*words);
    if (auto fields = FormFields(style.head + style.tail)) {
      for (auto& [name, value] : *fields) sign.values.push_back(std::move(value));
    }
    check.sign = std::move(sign);
    return check;
  }
  check.problem = endpointKnown ? "the form is not the form of a style of this endpoint"
                                : "no style posts to this endpoint";
  return check;
}

}  // namespace signmaker::services
