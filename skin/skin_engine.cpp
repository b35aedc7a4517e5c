// The skin engine: a small shared library that the program writes out and loads at start.
// Its one entry point reads a skin file and applies it to the running application:
// widget style, palette, default font and style sheet.

#include <iconv.h>

#include <QApplication>
#include <QColor>
#include <QFile>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>
#include <cstring>
#include <optional>
#include <string>

#include "skin/skin_file.h"

namespace {

using signmaker::skin::PaletteGroup;
using signmaker::skin::PaletteRole;
using signmaker::skin::SkinFile;

// The caller's text is GBK; file names on disk are UTF-8.
std::optional<std::string> Utf8FromGbk(const char* text) {
  iconv_t converter = iconv_open("UTF-8", "GBK");
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string in(text);
  std::string out(in.size() * 3 + 4, '\0');  // no character grows beyond three bytes
  char* inPointer = in.data();
  std::size_t inLeft = in.size();
  char* outPointer = out.data();
  std::size_t outLeft = out.size();
  const std::size_t done = iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft);
  iconv_close(converter);
  if (done == static_cast<std::size_t>(-1)) return std::nullopt;
  out.resize(out.size() - outLeft);
  return out;
}

std::optional<SkinFile> ReadSkin(const std::string& utf8Path) {
  QFile file(QString::fromUtf8(utf8Path));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // One byte more than allowed, so that an oversized file is seen and refused.
  const QByteArray bytes = file.read(signmaker::skin::MaxSkinFileSize + 1);
  return signmaker::skin::DecodeSkinFile(
      {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())});
}

QPalette::ColorRole QtRole(PaletteRole role) {
  switch (role) {
    case PaletteRole::Window: return QPalette::Window;
    case PaletteRole::WindowText: return QPalette::WindowText;
    case PaletteRole::Base: return QPalette::Base;
    case PaletteRole::AlternateBase: return QPalette::AlternateBase;
    case PaletteRole::Text: return QPalette::Text;
    case PaletteRole::Button: return QPalette::Button;
    case PaletteRole::ButtonText: return QPalette::ButtonText;
    case PaletteRole::Highlight: return QPalette::Highlight;
    case PaletteRole::HighlightedText: return QPalette::HighlightedText;
    case PaletteRole::ToolTipBase: return QPalette::ToolTipBase;
    case PaletteRole::ToolTipText: return QPalette::ToolTipText;
    case PaletteRole::PlaceholderText: return QPalette::PlaceholderText;
    case PaletteRole::BrightText: return QPalette::BrightText;
    case PaletteRole::Light: return QPalette::Light;
    case PaletteRole::Midlight: return QPalette::Midlight;
    case PaletteRole::Mid: return QPalette::Mid;
    case PaletteRole::Dark: return QPalette::Dark;
    case PaletteRole::Shadow: return QPalette::Shadow;
    case PaletteRole::Link: return QPalette::Link;
    case PaletteRole::LinkVisited: return QPalette::LinkVisited;
    case PaletteRole::Count: break;
  }
  return QPalette::NoRole;
}

QPalette::ColorGroup QtGroup(PaletteGroup group) {
  switch (group) {
    case PaletteGroup::Active: return QPalette::Active;
    case PaletteGroup::Inactive: return QPalette::Inactive;
    case PaletteGroup::Disabled: return QPalette::Disabled;
    case PaletteGroup::All:
    case PaletteGroup::Count: break;
  }
  return QPalette::All;
}

void Apply(QApplication& application, const SkinFile& skin) {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  QPalette palette = QApplication::style()->standardPalette();
  for (const auto& entry : skin.palette) {
    palette.setColor(QtGroup(entry.group), QtRole(entry.role),
                     QColor(entry.red, entry.green, entry.blue, entry.alpha));
  }
  QApplication::setPalette(palette);
  if (skin.fontPixels > 0) {
    QFont font = QApplication::font();
    font.setFamily(QString::fromStdString(skin.fontFamily));
    font.setPixelSize(skin.fontPixels);
    QApplication::setFont(font);
  }
  application.setStyleSheet(QString::fromStdString(skin.styleSheet));
}

}  // namespace

// Applies the skin file `skinFile` (a GBK path) to the running application.
// `password` must be null or empty: skin files are not protected. Returns 1 when the skin
// was applied; 0 when there is no application on the calling thread, the file cannot be
// read, or it is not a well-formed skin file (nothing is changed then).
extern "C" __attribute__((visibility("default"))) int SkinH_AttachEx(const char* skinFile,
                                                                     const char* password) {
  if (skinFile == nullptr || (password != nullptr && std::strlen(password) != 0)) return 0;
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (application == nullptr || QThread::currentThread() != application->thread()) return 0;
  const auto path = Utf8FromGbk(skinFile);
  if (!path) return 0;
  const auto skin = ReadSkin(*path);
  if (!skin) return 0;
  Apply(*application, *skin);
  return 1;
}
