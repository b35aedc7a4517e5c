#pragma once
// The program's HTTP request routine: one request, with the header defaults,
// cookie handling and reply-header reading that a form-posting client needs.

#include <optional>
#include <string_view>

#include "platform/http.h"
#include "platform/types.h"

namespace signmaker {

// The User-Agent of a request whose headers carry none.
inline constexpr std::string_view DefaultUserAgent =
    "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1; KX3QV; .NET CLR 2.0.50727; "
    ".NET CLR 3.0.04506.648; .NET CLR 3.5.21022)";

// Sends one request for `url` through `client` and returns the reply body; empty
// when nothing came back (a failed request looks like an empty body). Blocks the
// calling thread until the reply has been read. A pointer parameter left null is
// still computed and then thrown away.
//
//  1 url           the full URL; without "http://" or "https://" it is plain HTTP.
//  2 method        1: "POST"; any other value "GET". Any non-zero value sends a body.
//  3 bodyText      the body as text, used when `bodyBytes` is empty.
//  4 cookies       in/out. Null or nullopt: not supplied, the process-wide cookie store
//                  applies. Supplied (even empty): no cookie store; sent as a Cookie
//                  line when not empty, and afterwards the reply's cookies are merged in.
//  5 replyCookies  out: the name=value parts of the reply's Set-Cookie lines, joined
//                  with "; " (without spaces when `cookies` was supplied).
//  6 headers       in/out: extra header lines separated by "\r\n", no trailing break;
//                  on return the whole header text that was sent.
//  7 location      in/out, not cleared first: the reply's "Location:" value, or the
//                  raw reply headers when it has none.
//  8 noRedirect    true: a redirect reply is returned as it is, not followed.
//  9 bodyBytes     in/out: the body as bytes; filled from `bodyText` when empty and a
//                  body is sent.
// 10 proxy         supplied: plain-HTTP requests go through this "host:port" proxy.
// 11 replyHeaders  out: the reply's raw header lines, each ended by "\r\n", with the
//                  empty line at the end; 5,000 spaces when there was no reply or its
//                  header block is 5,000 bytes or longer.
Bytes WebAccess(std::string_view url,
                int method = 0,
                std::string_view bodyText = {},
                std::optional<Text>* cookies = nullptr,
                Text* replyCookies = nullptr,
                Text* headers = nullptr,
                Text* location = nullptr,
                bool noRedirect = false,
                Bytes* bodyBytes = nullptr,
                const std::optional<Text>& proxy = std::nullopt,
                Text* replyHeaders = nullptr,
                platform::HttpClient& client = platform::HttpClient::Default());

}  // namespace signmaker
