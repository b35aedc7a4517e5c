// signmaker-services: the stand-ins for the program's remote services on loopback.

#include <QGuiApplication>

#include <cstdio>
#include <string>
#include <vector>

#include "services/catalogue_styles.h"
#include "services/options.h"
#include "services/stand_in_server.h"
#include "services/update_package.h"

int main(int argc, char** argv) {
  using namespace signmaker::services;
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      std::fputs(Usage, stdout);
      return 0;
    }
  }
  std::string problem;
  const auto options = ParseOptions(arguments, problem);
  if (!options) {
    std::fprintf(stderr, "signmaker-services: %s\n%s", problem.c_str(), Usage);
    return 2;
  }

  // Pictures are drawn off screen; no display is needed. Standard error carries the
  // request log alone, so Qt's notices about its set-up are dropped; its critical
  // messages stay.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
      std::fprintf(stderr, "signmaker-services: %s\n", message.toLocal8Bit().constData());
    }
  });
  QGuiApplication application(argc, argv);

  StandInConfig config;
  config.styles = CatalogueStyles();
  config.version = options->version;
  config.package = UpdatePackage(options->version, options->packageSize);
  config.log = [](std::string_view line) {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(line.size()), line.data());
    std::fflush(stderr);
  };
  StandInServer server(std::move(config));
  const int port = server.Bind(options->port);
  if (port < 0) {
    std::fprintf(stderr, "signmaker-services: cannot listen on 127.0.0.1:%d\n", options->port);
    return 1;
  }
  std::printf("%d\n", port);
  std::fflush(stdout);
  return server.Serve() ? 0 : 1;
}
