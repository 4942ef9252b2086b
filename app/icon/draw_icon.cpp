// Draws the program's 64 x 64 icon, fully opaque: a speed camera on a post sending out waves,
// beside a column of three round lights, on a white square with a black frame. Run at build time:
// draw_icon OUT.png
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

constexpr int kSize = 64;
constexpr int kFrameWidth = 2;

void DrawCamera(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(90, 90, 96));
  painter.drawRect(QRectF(16, 30, 4, 26));  // post
  painter.setBrush(QColor(40, 40, 44));
  painter.drawRoundedRect(QRectF(6, 18, 22, 14), 2, 2);  // housing
  painter.setBrush(QColor(230, 190, 30));
  painter.drawRect(QRectF(6, 18, 22, 3));  // sun shield
  painter.setBrush(QColor(20, 20, 24));
  painter.drawEllipse(QPointF(23, 25.5), 4, 4);  // lens
  painter.setBrush(QColor(120, 170, 230));
  painter.drawEllipse(QPointF(23, 25.5), 2, 2);
}

void DrawWaves(QPainter& painter) {
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap));
  for (int i = 0; i < 3; ++i) {
    const double radius = 7.0 + 4.0 * i;
    const QRectF arc(23 - radius, 25.5 - radius, 2 * radius, 2 * radius);
    painter.drawArc(arc, -40 * 16, 80 * 16);  // opening towards the lights
  }
}

void DrawLights(QPainter& painter) {
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(30, 30, 34));
  painter.drawRoundedRect(QRectF(44, 8, 14, 44), 4, 4);
  painter.setBrush(QColor(90, 90, 96));
  painter.drawRect(QRectF(49, 52, 4, 6));
  const QColor lights[] = {QColor(225, 35, 35), QColor(245, 180, 20), QColor(40, 180, 70)};
  for (int i = 0; i < 3; ++i) {
    painter.setBrush(lights[i]);
    painter.drawEllipse(QPointF(51, 15 + 14.0 * i), 5, 5);
  }
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: draw_icon OUT.png\n");
    return 2;
  }
  QImage image(kSize, kSize, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawCamera(painter);
    DrawWaves(painter);
    DrawLights(painter);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, kFrameWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(1, 1, kSize - kFrameWidth, kSize - kFrameWidth));
  }
  if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "draw_icon: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
