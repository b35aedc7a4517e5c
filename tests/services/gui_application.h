#pragma once
// The QGuiApplication that drawing needs, made once for a test executable.

#include <QGuiApplication>

namespace signmaker::services {

inline void EnsureGuiApplication() {
  static int argc = 1;
  static char name[] = "services_test";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* const application =
      QGuiApplication::instance() ? nullptr : new QGuiApplication(argc, argv);
  (void)application;
}

}  // namespace signmaker::services
