#include "services/stand_in_server.h"

#include <httplib.h>

#include <cstdio>
#include <mutex>

#include "services/byte_range.h"
#include "services/picture_store.h"
#include "services/sign_picture.h"
#include "services/version_reply.h"

namespace signmaker::services {
namespace {

constexpr std::string_view PicturePrefix = "/pic/";

// What a handler adds to its request's log line; the logger runs on the handler's
// thread right after the reply.
thread_local std::string logNote;

// Quotes text for a log line: printable ASCII and UTF-8 as they are, the rest escaped.
std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      out += escaped;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// The page that the sign endpoints answer with: CRLF line ends and no escapes, so
// that it reads the same before and after escape decoding.
std::string SignPage(std::string_view pictureName) {
  std::string page =
      "<!DOCTYPE html>\r\n<html>\r\n<head><meta charset=\"utf-8\"><title>sign photo</title>"
      "</head>\r\n<body>\r\n<div class=\"result\"><img src=\"..";
  page += PicturePrefix;
  page += pictureName;
  page += "\"></div>\r\n</body>\r\n</html>\r\n";
  return page;
}

void Refuse(httplib::Response& res, int status, std::string_view why) {
  res.status = status;
  res.set_content(std::string(why) + "\n", "text/plain");
  logNote = Quoted(why);
}

}  // namespace

struct StandInServer::State {
  StandInConfig config;
  PictureStore pictures;
  httplib::Server http;
  std::mutex logMutex;

  void Sign(const httplib::Request& req, httplib::Response& res) {
    if (!IsSignEndpoint(req.path, config.styles)) return Refuse(res, 404, "no such endpoint");
    const std::string type = req.get_header_value("Content-Type");
    if (!type.starts_with("application/x-www-form-urlencoded")) {
      return Refuse(res, 415, "the sign form must be application/x-www-form-urlencoded");
    }
    SignCheck check = CheckSignPost(req.path, req.body, config.styles);
    if (!check.sign) return Refuse(res, 400, check.problem);

    const PostedSign& sign = *check.sign;
    const std::string name = PictureName(req.path, req.body);
    if (!pictures.Get(name)) {
      pictures.Put(name, DrawSignPicture({sign.words, sign.style, ColoursOf(sign.values)}));
    }
    res.set_content(SignPage(name), "text/html; charset=utf-8");
    logNote = "style=" + std::to_string(sign.style) + " words=" + Quoted(sign.words) +
              " picture=" + std::string(PicturePrefix) + name;
  }

  void Picture(const httplib::Request& req, httplib::Response& res) {
    const auto picture = pictures.Get(req.path.substr(PicturePrefix.size()));
    if (!picture) return Refuse(res, 404, "no such picture");
    res.set_content(*picture, "image/jpeg");
  }

  void Version(const httplib::Request& req, httplib::Response& res) {
    if (req.get_param_value("uins") != "509183726") return Refuse(res, 404, "no such account");
    res.set_content(VersionReply(config.version), "application/x-javascript");
  }

  void Package(const httplib::Request& req, httplib::Response& res) {
    const std::string& package = config.package;
    const ByteRange range = RangeOf(req.get_header_value("Range"), package.size());
    // The library would answer the range itself, but it writes a Content-Range that
    // ends past the last byte when the asked end does; this route answers ranges on
    // its own, so it takes them out of the request. The request object itself is
    // not const: the library hands it to the handler as a const reference.
    const_cast<httplib::Request&>(req).ranges.clear();
    res.set_header("Accept-Ranges", "bytes");
    switch (range.kind) {
      case ByteRange::Kind::Whole:
        res.set_content(package, "application/zip");
        break;
      case ByteRange::Kind::Part:
        res.status = 206;
        res.set_header("Content-Range", "bytes " + std::to_string(range.first) + "-" +
                                            std::to_string(range.last) + "/" +
                                            std::to_string(package.size()));
        res.set_content(package.substr(range.first, range.last - range.first + 1),
                        "application/zip");
        logNote = "range=" + std::to_string(range.first) + "-" + std::to_string(range.last);
        break;
      case ByteRange::Kind::Unsatisfiable:
        res.status = 416;
        res.set_header("Content-Range", "bytes */" + std::to_string(package.size()));
        logNote = "range not satisfiable";
        break;
    }
  }

  void Log(const httplib::Request& req, const httplib::Response& res) {
    std::string line = req.remote_addr + " \"" + req.method + " " + req.target + "\" " +
                       std::to_string(res.status) + " " + std::to_string(res.body.size());
    if (!logNote.empty()) line += " " + logNote;
    logNote.clear();
    if (!config.log) return;
    std::lock_guard lock(logMutex);
    config.log(line);
  }
};

StandInServer::StandInServer(StandInConfig config) : state_(std::make_unique<State>()) {
  State& s = *state_;
  s.config = std::move(config);
  // Enough threads for a downloader's ten connections and a few makes beside them.
  s.http.new_task_queue = [] { return new httplib::ThreadPool(32); };
  s.http.set_payload_max_length(1 << 20);
  s.http.set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    logNote.clear();
    return httplib::Server::HandlerResponse::Unhandled;
  });
  s.http.Post(R"(/[a-z]+/re[0-9]+\.php)",
              [&s](const httplib::Request& req, httplib::Response& res) { s.Sign(req, res); });
  s.http.Get(R"(/pic/[0-9a-f]{16}\.jpg)",
             [&s](const httplib::Request& req, httplib::Response& res) { s.Picture(req, res); });
  s.http.Get(R"(/fcg-bin/cgi_get_portrait\.fcg)",
             [&s](const httplib::Request& req, httplib::Response& res) { s.Version(req, res); });
  s.http.Get(R"(/vink\.zip)",
             [&s](const httplib::Request& req, httplib::Response& res) { s.Package(req, res); });
  s.http.set_logger([&s](const httplib::Request& req, const httplib::Response& res) { s.Log(req, res); });
}

StandInServer::~StandInServer() { Stop(); }

int StandInServer::Bind(int port) {
  if (port == 0) return state_->http.bind_to_any_port("127.0.0.1");
  return state_->http.bind_to_port("127.0.0.1", port) ? port : -1;
}

bool StandInServer::Serve() { return state_->http.listen_after_bind(); }

void StandInServer::Stop() { state_->http.stop(); }

}  // namespace signmaker::services
