#pragma once
// The program's GBK texts as Qt strings and back.

#include <QString>

#include <string_view>

#include "platform/types.h"

namespace signmaker::platform::qt {

// A byte sequence that is no GBK character becomes "?".
QString ToQString(std::string_view gbk);
// A character that GBK cannot hold becomes "?".
Text FromQString(const QString& text);

}  // namespace signmaker::platform::qt
