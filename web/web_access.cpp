#include "web/web_access.h"

#include "web/cookies.h"
#include "web/text_between.h"
#include "web/text_ops.h"
#include "web/url_parts.h"

namespace signmaker {
namespace {

// The reply-header buffer: a header block needs its length plus a terminating zero.
constexpr std::size_t ReplyHeaderBuffer = 5000;

// The header lines added when the caller's headers lack them, in this order.
struct DefaultLine {
  std::string_view name;
  std::string_view line;
};
constexpr DefaultLine DefaultLines[] = {
    {"Accept:", "\r\nAccept: */*"},
    {"Accept-Language:", "\r\nAccept-Language: zh-cn"},
    {"Content-Type:", "\r\nContent-Type: application/x-www-form-urlencoded"},
};

bool Contains(std::string_view text, std::string_view needle, bool caseSensitive = true) {
  return Search(text, needle, 1, caseSensitive) != NotFound;
}

// The User-Agent: the value of the caller's User-Agent line when it ends with a
// line break, else the value after the first colon of the whole header text.
Text AgentFor(std::string_view headers) {
  if (!Contains(headers, "User-Agent:", false)) return Text(DefaultUserAgent);
  Text agent = Trim(TextBetween(headers, "User-Agent:", "\r\n"));
  if (agent.empty()) agent = HeaderValue(headers);
  return agent;
}

// The caller's headers completed with the Referer, default and Cookie lines.
Text CompletedHeaders(Text headers, std::string_view url, const std::optional<Text>& cookies) {
  if (!Contains(headers, "Referer:")) {
    headers += headers.empty() ? "Referer: " : "\r\nReferer: ";
    headers += url;
  }
  for (const DefaultLine& line : DefaultLines) {
    if (!Contains(headers, line.name)) headers += line.line;
  }
  if (cookies && !cookies->empty()) {
    headers += "\r\nCookie: ";
    headers += *cookies;
  }
  return headers;
}

// The raw reply headers as the fixed buffer holds them: the block up to a zero
// byte, or the untouched spaces when there was none or it does not fit.
Text BufferedReplyHeaders(const std::optional<Text>& raw) {
  if (raw) {
    Text block = raw->substr(0, raw->find('\0'));
    if (block.size() < ReplyHeaderBuffer) return block;
  }
  return Text(ReplyHeaderBuffer, ' ');
}

}  // namespace

Bytes WebAccess(std::string_view url, int method, std::string_view bodyText,
                std::optional<Text>* cookies, Text* replyCookies, Text* headers, Text* location,
                bool noRedirect, Bytes* bodyBytes, const std::optional<Text>& proxy,
                Text* replyHeaders, platform::HttpClient& client) {
  // Outputs that the caller left out are computed into these and thrown away.
  std::optional<Text> ownCookies;
  Text ownReplyCookies, ownHeaders, ownLocation, ownReplyHeaders;
  Bytes ownBodyBytes;
  std::optional<Text>& cookieText = cookies ? *cookies : ownCookies;
  Text& collected = replyCookies ? *replyCookies : ownReplyCookies;
  Text& headerText = headers ? *headers : ownHeaders;
  Text& target = location ? *location : ownLocation;
  Bytes& body = bodyBytes ? *bodyBytes : ownBodyBytes;
  Text& rawHeaders = replyHeaders ? *replyHeaders : ownReplyHeaders;

  platform::HttpRequest request;
  request.verb = method == 1 ? "POST" : "GET";
  request.agent = AgentFor(headerText);
  request.proxy = proxy;
  request.host = UrlHost(url);
  request.port = UrlPort(url);
  request.path = UrlPath(url);
  request.secure = Lower(Left(url, 5)) == "https";
  request.useCookieStore = !cookieText.has_value();
  request.followRedirects = !noRedirect;

  headerText = CompletedHeaders(std::move(headerText), url, cookieText);
  request.headers = headerText;
  if (method != 0) {
    if (body.empty()) body = BytesFromText(bodyText);
    request.body = body;
  }

  platform::HttpReply reply = client.Send(request);
  rawHeaders = BufferedReplyHeaders(reply.rawHeaders);

  collected.clear();
  for (const Text& line : Split(rawHeaders, "\r\n")) {
    if (Contains(line, "Location:")) target = HeaderValue(line);
    if (Contains(line, "Set-Cookie")) {
      // A cookie without attributes ends with its line.
      collected += Trim(TextBetween(line + ";", "Set-Cookie:", ";"));
      collected += "; ";
    }
  }
  collected = Left(collected, static_cast<int>(collected.size()) - 2);
  if (cookieText) MergeCookies(*cookieText, collected);
  if (target.empty()) target = rawHeaders;
  return std::move(reply.body);
}

}  // namespace signmaker
