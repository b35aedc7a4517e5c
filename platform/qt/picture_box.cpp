#include "platform/qt/picture_box.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/qt/png_decoder.h"

namespace signmaker::platform::qt {
namespace {

bool StartsWith(const Bytes& bytes, std::string_view prefix) {
  return bytes.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), bytes.begin(),
                                                     [](char a, std::uint8_t b) {
                                                       return static_cast<std::uint8_t>(a) == b;
                                                     });
}

// The Qt image format of the bytes when they are a JPEG, BMP or GIF picture; null otherwise.
const char* QtFormatOf(const Bytes& bytes) {
  if (StartsWith(bytes, "\xFF\xD8\xFF")) return "jpeg";
  if (StartsWith(bytes, "BM")) return "bmp";
  if (StartsWith(bytes, "GIF87a") || StartsWith(bytes, "GIF89a")) return "gif";
  return nullptr;
}

QImage DecodeWithQt(const Bytes& bytes, const char* format) {
  QByteArray data = QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.data()),
                                            static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(false);
  const QSize size = reader.size();
  if (!size.isValid() || size.width() > static_cast<int>(MaxPictureSide) ||
      size.height() > static_cast<int>(MaxPictureSide) ||
      static_cast<unsigned long long>(size.width()) * static_cast<unsigned long long>(size.height()) >
          MaxPicturePixels) {
    return {};
  }
  QImage image = reader.read();
  // The bytes belong to the caller; the image must not point into them.
  image.detach();
  return image;
}

}  // namespace

QImage DecodePicture(const Bytes& bytes) {
  if (HasPngSignature(bytes)) return DecodePng(bytes);
  if (const char* format = QtFormatOf(bytes)) return DecodeWithQt(bytes, format);
  return {};
}

QRect FitPicture(QSize picture, QRect area) {
  QSize shown = picture;
  if (shown.width() > area.width() || shown.height() > area.height()) {
    shown.scale(area.size(), Qt::KeepAspectRatio);
  }
  // An odd difference leaves the extra pixel on the right or at the bottom.
  return QRect(QPoint(area.left() + (area.width() - shown.width()) / 2,
                      area.top() + (area.height() - shown.height()) / 2),
               shown);
}

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {}

void PictureBox::SetBytes(Bytes bytes) {
  bytes_ = std::move(bytes);
  image_ = DecodePicture(bytes_);
  update();
}

void PictureBox::paintEvent(QPaintEvent*) {
  if (image_.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(FitPicture(image_.size(), rect()), image_);
}

}  // namespace signmaker::platform::qt
