// Draws the application's icons: the tray icon (a keycap with a sound wave, light strokes on a
// dark outline so it reads on light and dark panels alike) and the application icon.
// Usage: plinka_icon_art TRAY.png APPLICATION.png
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>

namespace {

void drawKeycap(QPainter& painter, QRectF cap, QColor fill, QColor stroke, double width) {
    painter.setPen(QPen(stroke, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawRoundedRect(cap, cap.width() * 0.18, cap.width() * 0.18);
}

void drawWaves(QPainter& painter, QPointF centre, double radius, QColor colour, double width) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    for (double scale : {1.0, 1.6}) {
        const double r = radius * scale;
        painter.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    }
}

QImage trayIcon() {
    QImage image(44, 44, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor dark(32, 32, 32, 230);
    const QColor light(250, 250, 250);
    for (auto [colour, width] : {std::pair{dark, 6.0}, std::pair{light, 2.6}}) {
        drawKeycap(painter, QRectF(4, 12, 24, 24), Qt::transparent, colour, width);
        drawWaves(painter, QPointF(28, 24), 7, colour, width);
    }
    painter.end();
    return image.scaled(22, 22, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage applicationIcon() {
    QImage image(256, 256, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(43, 108, 176));
    painter.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);
    drawKeycap(painter, QRectF(44, 72, 112, 112), QColor(247, 250, 252), QColor(26, 54, 93), 6);
    drawWaves(painter, QPointF(164, 128), 34, QColor(247, 250, 252), 12);
    painter.end();
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TRAY.png APPLICATION.png\n", argv[0]);
        return 2;
    }
    if (!trayIcon().save(argv[1], "PNG") || !applicationIcon().save(argv[2], "PNG")) {
        std::fprintf(stderr, "%s: cannot write the icons\n", argv[0]);
        return 1;
    }
    return 0;
}
