#include "services/version_reply.h"

namespace signmaker::services {

std::string VersionReply(std::string_view version) {
  std::string reply =
      "portraitCallBack({\"509183726\":[\"http://portrait.qq.example/avatar/509183726/100\","
      "2917,-1,0,0,0,\"&";
  reply += version;
  reply += "&\",0]})";
  return reply;
}

}  // namespace signmaker::services
