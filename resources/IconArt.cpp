// Draws the application's icons: the tray icon (a keycap with a sound wave, light strokes on a
// dark outline so it reads on light and dark panels alike) and the application icon.
// Usage: plinka_icon_art TRAY.png APPLICATION.png HICOLOR_DIR
#include <QColor>
#include <QDir>
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

// Drawn at each size rather than scaled from the largest, so small icons stay sharp.
QImage applicationIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 256.0, size / 256.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(43, 108, 176));
    painter.drawRoundedRect(QRectF(12, 12, 232, 232), 44, 44);
    drawKeycap(painter, QRectF(44, 72, 112, 112), QColor(247, 250, 252), QColor(26, 54, 93), 6);
    drawWaves(painter, QPointF(164, 128), 34, QColor(247, 250, 252), 12);
    painter.end();
    return image;
}

// The application icon in the hicolor theme at the sizes desktops ask for: 48 is the least every
// desktop may use, 64 and 128 are what software centres show, 16 and 32 go in menus and lists.
bool saveThemeIcons(const QString& hicolor) {
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QString folder = QString("%1/%2x%2/apps").arg(hicolor).arg(size);
        if (!QDir().mkpath(folder) ||
            !applicationIcon(size).save(folder + "/org.plinka.Plinka.png", "PNG")) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s TRAY.png APPLICATION.png HICOLOR_DIR\n", argv[0]);
        return 2;
    }
    if (!trayIcon().save(argv[1], "PNG") || !applicationIcon(256).save(argv[2], "PNG") ||
        !saveThemeIcons(argv[3])) {
        std::fprintf(stderr, "%s: cannot write the icons\n", argv[0]);
        return 1;
    }
    return 0;
}
