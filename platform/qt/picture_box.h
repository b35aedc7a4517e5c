#pragma once
// The picture area: holds bytes exactly and shows them when they are a picture.

#include <QImage>
#include <QWidget>

#include "platform/types.h"

namespace signmaker::platform::qt {

// The picture that `bytes` hold when they are a JPEG, PNG, BMP or GIF picture (the
// first frame of a GIF); a null image for any other bytes, for damaged ones and for
// pictures beyond the size limits of png_decoder.h. Any thread.
QImage DecodePicture(const Bytes& bytes);

// The rectangle in which a picture of `picture` size is drawn inside `area`: scaled
// down to fit when larger (never up), proportions kept, centred.
QRect FitPicture(QSize picture, QRect area);

class PictureBox final : public QWidget {
  Q_OBJECT

 public:
  explicit PictureBox(QWidget* parent);

  // Keeps `bytes` and shows them; bytes that are no picture leave the area blank.
  void SetBytes(Bytes bytes);
  const Bytes& bytes() const { return bytes_; }
  // The picture shown; null when the area is blank.
  const QImage& image() const { return image_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Bytes bytes_;
  QImage image_;
};

}  // namespace signmaker::platform::qt
