#include "platform/qt/qt_text.h"

#include <QByteArray>

#include "platform/code_conversion.h"

namespace signmaker::platform::qt {

QString ToQString(std::string_view gbk) {
  const std::string utf8 = CodeConversion::Default().GbkToUtf8(gbk);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

Text FromQString(const QString& text) {
  const QByteArray utf8 = text.toUtf8();
  return CodeConversion::Default().Utf8ToGbk(std::string_view(utf8.constData(), utf8.size()));
}

}  // namespace signmaker::platform::qt
