// CurlHttpClient::Send and CurlHttpClient::Get: whole requests on libcurl.

#include <curl/curl.h>

#include <array>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>

#include "platform/linux/curl_headers.h"
#include "platform/linux/curl_http_client.h"
#include "platform/linux/curl_session.h"

namespace signmaker::platform {
namespace {

// Redirects followed at most, as a browser would.
constexpr long RedirectLimit = 20;

// The process-wide cookie store: a share handle whose cookies every request with
// `useCookieStore` reads and adds to. It lives as long as the process.
CURLSH* CookieStore() {
  struct Store {
    CURLSH* handle = curl_share_init();
    std::array<std::mutex, CURL_LOCK_DATA_LAST> locks;
  };
  static Store* const store = [] {
    auto* made = new Store;
    if (made->handle == nullptr) return made;
    curl_share_setopt(made->handle, CURLSHOPT_LOCKFUNC,
                      +[](CURL*, curl_lock_data data, curl_lock_access, void* user) {
                        static_cast<Store*>(user)->locks[data].lock();
                      });
    curl_share_setopt(made->handle, CURLSHOPT_UNLOCKFUNC, +[](CURL*, curl_lock_data data, void* user) {
      static_cast<Store*>(user)->locks[data].unlock();
    });
    curl_share_setopt(made->handle, CURLSHOPT_USERDATA, made);
    curl_share_setopt(made->handle, CURLSHOPT_SHARE, CURL_LOCK_DATA_COOKIE);
    return made;
  }();
  return store->handle;
}

// What one transfer received.
struct Received {
  Bytes body;
  std::string headers;      // the latest reply's header block so far, lines ended by "\r\n"
  bool headersEnded = false;  // the latest block ended with its empty line
};

std::size_t KeepBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto& received = *static_cast<Received*>(user);
  received.body.insert(received.body.end(), data, data + size * count);
  return size * count;
}

// libcurl hands over every header line of every reply (redirects included); only the
// last reply's block is kept, each line ended by "\r\n" whatever the server used.
std::size_t KeepHeader(char* data, std::size_t size, std::size_t count, void* user) {
  auto& received = *static_cast<Received*>(user);
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (received.headersEnded) {
    received.headers.clear();
    received.headersEnded = false;
  }
  received.headers.append(line);
  received.headers += "\r\n";
  if (line.empty()) received.headersEnded = true;
  return size * count;
}

// The request target as libcurl accepts it: spaces and control bytes, which it
// refuses in a URL, are percent-encoded; everything else goes as given.
std::string RequestTarget(std::string_view path) {
  std::string target = path.empty() || path.front() != '/' ? "/" : "";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) {
      char escaped[4];
      std::snprintf(escaped, sizeof escaped, "%%%02X", byte);
      target += escaped;
    } else {
      target += c;
    }
  }
  return target;
}

// A host name that cannot change the meaning of the URL built around it.
bool IsPlainHost(std::string_view host) {
  if (host.empty()) return false;
  for (const char c : host) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F || std::string_view("/?#@\\:[]%").find(c) != std::string_view::npos) {
      return false;
    }
  }
  return true;
}

void SetCommonOptions(CURL* handle, Received& received) {
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, RedirectLimit);
  curl_easy_setopt(handle, CURLOPT_NOPROXY, "");  // no exceptions from the environment
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &KeepBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &received);
  curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, &KeepHeader);
  curl_easy_setopt(handle, CURLOPT_HEADERDATA, &received);
}

}  // namespace

HttpReply CurlHttpClient::Send(const HttpRequest& request) {
  HttpReply reply;
  if (!IsPlainHost(request.host)) return reply;
  curl::EasyHandle easy = curl::NewEasyHandle();
  curl::HeaderList headers = curl::RequestHeaderList(request.headers);
  curl::HeaderList proxy_headers(curl_slist_append(nullptr, "Proxy-Connection:"));
  if (!easy || !headers || !proxy_headers) return reply;
  CURL* const handle = easy.get();
  Received received;
  SetCommonOptions(handle, received);

  // Port 0 (or any other impossible port) means the scheme's own.
  const int port = request.port > 0 && request.port <= 65535 ? request.port : request.secure ? 443 : 80;
  const std::string url = std::string(request.secure ? "https://" : "http://") + request.host + ":" +
                          std::to_string(port) + RequestTarget(request.path);
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_PATH_AS_IS, 1L);
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_PROXYHEADER, proxy_headers.get());
  // A line break in the agent would start a header line of its own.
  const std::string agent = request.agent.substr(0, request.agent.find_first_of("\r\n"));
  if (!agent.empty()) curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());

  // The verb goes as given. libcurl's own verbs are kept where they match, so that a
  // POST answered by a redirect turns into a GET as browsers do.
  if (request.body) {
    static const char nothing = 0;
    const Bytes& body = *request.body;
    const void* const data = body.empty() ? static_cast<const void*>(&nothing) : body.data();
    curl_easy_setopt(handle, CURLOPT_POSTFIELDS, data);
    curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    if (request.verb != "POST") curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  } else if (request.verb == "HEAD") {
    curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
  } else if (request.verb != "GET") {
    curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, request.verb.c_str());
  }

  if (request.useCookieStore) {
    if (CURLSH* store = CookieStore()) {
      curl_easy_setopt(handle, CURLOPT_SHARE, store);
      curl_easy_setopt(handle, CURLOPT_COOKIEFILE, "");  // switches the cookie engine on
    }
  }
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
  // The proxy serves plain HTTP only, as an "http=" proxy list does.
  if (!request.secure && request.proxy && !request.proxy->empty()) {
    curl_easy_setopt(handle, CURLOPT_PROXY, request.proxy->c_str());
  }

  curl_easy_perform(handle);
  reply.body = std::move(received.body);
  if (received.headersEnded) reply.rawHeaders = std::move(received.headers);
  return reply;
}

Bytes CurlHttpClient::Get(const Text& url) {
  curl::EasyHandle easy = curl::NewEasyHandle();
  if (!easy) return {};
  CURL* const handle = easy.get();
  Received received;
  SetCommonOptions(handle, received);
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  if (curl_easy_perform(handle) != CURLE_OK) return {};
  return std::move(received.body);
}

}  // namespace signmaker::platform
