#include "services/sign_picture.h"

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <QTextOption>

namespace signmaker::services {
namespace {

QColor ToColor(Rgb c) { return QColor(c.red, c.green, c.blue); }

// Relative brightness from 0 (black) to 1 (white).
double Brightness(const QColor& c) {
  return (0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue()) / 255.0;
}

// The colour for the letters: dark enough to read on the white board.
QColor Readable(QColor c) {
  while (Brightness(c) > 0.6) c = c.darker(140);
  return c;
}

// The style's colours for frame, letters and backdrop; styles with fewer colours
// take the rest from a hue of their own.
struct Palette {
  QColor frame, letters, backdrop, shirt;
};

Palette PaletteOf(const SignLook& look) {
  const int hue = (look.style * 47) % 360;
  const QColor own = QColor::fromHsv(hue, 200, 210);
  const QColor first = look.colours.size() > 0 ? ToColor(look.colours[0]) : own;
  const QColor second = look.colours.size() > 1 ? ToColor(look.colours[1]) : first;
  const QColor third = look.colours.size() > 2 ? ToColor(look.colours[2]) : own;
  Palette palette;
  palette.frame = first;
  palette.letters = Readable(second);
  palette.backdrop = third.lighter(170);
  if (Brightness(palette.backdrop) < 0.75) palette.backdrop = QColor::fromHsv(hue, 40, 245);
  palette.shirt = QColor::fromHsv((hue + 180) % 360, 160, 190);
  return palette;
}

void DrawFigure(QPainter& painter, const Palette& palette, int style) {
  const QColor skin(246, 208, 178);
  const QColor hair = QColor::fromHsv((style * 29) % 360, 60, 60 + (style % 4) * 20);
  const QPen outline(QColor(60, 45, 40), 3);

  // Body and shoulders behind the sign.
  painter.setPen(outline);
  painter.setBrush(palette.shirt);
  QPainterPath body;
  body.moveTo(110, 440);
  body.lineTo(130, 200);
  body.quadTo(220, 160, 310, 200);
  body.lineTo(330, 440);
  body.closeSubpath();
  painter.drawPath(body);

  // Arms from the shoulders down to the hands at the sign's sides.
  QPen sleeve(palette.shirt.darker(115), 26, Qt::SolidLine, Qt::RoundCap);
  painter.setPen(sleeve);
  painter.drawLine(QPointF(140, 215), QPointF(50, 300));
  painter.drawLine(QPointF(300, 215), QPointF(390, 300));
  painter.setPen(outline);

  // Neck, head, hair, face.
  painter.setBrush(skin);
  painter.drawRect(205, 150, 30, 30);
  painter.drawEllipse(QPointF(220, 105), 58, 62);
  painter.setBrush(hair);
  QPainterPath fringe;
  fringe.moveTo(160, 100);
  fringe.quadTo(170, 30, 220, 40);
  fringe.quadTo(275, 30, 280, 100);
  fringe.quadTo(250, 70, 220, 75);
  fringe.quadTo(185, 70, 160, 100);
  painter.drawPath(fringe);
  painter.setBrush(QColor(40, 30, 30));
  painter.drawEllipse(QPointF(198, 108), 6, 7);
  painter.drawEllipse(QPointF(242, 108), 6, 7);
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(200, 118, 40, 30), 200 * 16, 140 * 16);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 150, 150, 120));
  painter.drawEllipse(QPointF(185, 128), 9, 6);
  painter.drawEllipse(QPointF(255, 128), 9, 6);
}

void DrawSign(QPainter& painter, const Palette& palette, const QString& words) {
  const QRectF board(44, 200, 352, 190);
  painter.setPen(QPen(palette.frame, 10));
  painter.setBrush(QColor(255, 255, 250));
  painter.drawRoundedRect(board, 10, 10);

  // Hands gripping the board's sides.
  painter.setPen(QPen(QColor(60, 45, 40), 3));
  painter.setBrush(QColor(246, 208, 178));
  painter.drawEllipse(QPointF(44, 300), 18, 22);
  painter.drawEllipse(QPointF(396, 300), 18, 22);

  // The words, as large as fits; a board holds a few lines, not a book.
  constexpr qsizetype MostCharacters = 160;
  const QString shown = words.size() > MostCharacters
                            ? words.left(MostCharacters) + QChar(0x2026)
                            : words;
  const QRectF area = board.adjusted(22, 18, -22, -18);
  QTextOption option(Qt::AlignCenter);
  option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
  QFont font("WenQuanYi Micro Hei");
  int pixels = 72;
  for (; pixels > 10; pixels -= 2) {
    font.setPixelSize(pixels);
    const QRect needed = QFontMetrics(font).boundingRect(
        area.toRect(), Qt::AlignCenter | Qt::TextWrapAnywhere, shown);
    if (needed.width() <= area.width() && needed.height() <= area.height()) break;
  }
  font.setPixelSize(pixels);
  painter.setFont(font);
  painter.setPen(palette.letters);
  painter.drawText(area, shown, option);
}

}  // namespace

std::vector<Rgb> ColoursOf(const std::vector<std::string>& values) {
  std::vector<Rgb> colours;
  for (const std::string& value : values) {
    if (value.size() != 7 || value[0] != '#') continue;
    const QColor c(QString::fromLatin1(value.data(), 7));
    if (!c.isValid()) continue;
    colours.push_back({static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                       static_cast<std::uint8_t>(c.blue())});
  }
  return colours;
}

std::string DrawSignPicture(const SignLook& look) {
  const Palette palette = PaletteOf(look);
  QImage image(SignPictureSize, SignPictureSize, QImage::Format_RGB32);
  image.fill(palette.backdrop);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    DrawFigure(painter, palette, look.style);
    DrawSign(painter, palette, QString::fromUtf8(look.words.data(), static_cast<qsizetype>(look.words.size())));
  }
  QByteArray jpeg;
  QBuffer buffer(&jpeg);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "JPG", 90);
  return std::string(jpeg.constData(), static_cast<std::size_t>(jpeg.size()));
}

}  // namespace signmaker::services
