#include "app/AppIcon.h"

#include <QColor>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>

#include <array>
#include <cmath>

namespace veltrap {
namespace {

const QColor kLavender(197, 197, 235);
const QColor kInk(40, 40, 100);
const QColor kGold(224, 203, 2);

// An arrow from a linking page to the site, ending at the site's rim.
void DrawLink(QPainter& painter, QPointF from, QPointF to, double headLength) {
    const QPointF along = to - from;
    const double length = std::hypot(along.x(), along.y());
    const QPointF unit = along / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF base = to - unit * headLength;
    painter.drawLine(from, base);
    const QPolygonF head{to, base + normal * (headLength * 0.55),
                         base - normal * (headLength * 0.55)};
    painter.setBrush(kLavender);
    painter.drawPolygon(head);
}

}  // namespace

void AppIcon::Paint(QPainter& painter, int size) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    QLinearGradient backdrop(0, 0, 0, 64);
    backdrop.setColorAt(0, QColor(74, 74, 160));
    backdrop.setColorAt(1, kInk);
    painter.setPen(Qt::NoPen);
    painter.setBrush(backdrop);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    const QPointF centre(32, 32);
    constexpr double kSiteRadius = 10;
    const std::array<QPointF, 5> pages{QPointF(12, 13), QPointF(52, 12), QPointF(54, 44),
                                       QPointF(32, 55), QPointF(10, 45)};
    painter.setPen(QPen(kLavender, 2.6, Qt::SolidLine, Qt::RoundCap));
    for (const QPointF& page : pages) {
        const QPointF towards = centre - page;
        const double length = std::hypot(towards.x(), towards.y());
        DrawLink(painter, page, centre - towards / length * (kSiteRadius + 1.5), 6);
    }

    painter.setPen(QPen(kInk, 1.4));
    painter.setBrush(kLavender);
    for (const QPointF& page : pages) {
        painter.drawEllipse(page, 5.2, 5.2);
    }
    painter.setPen(QPen(QColor(120, 104, 0), 1.6));
    painter.setBrush(kGold);
    painter.drawEllipse(centre, kSiteRadius, kSiteRadius);
    painter.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(27, 32), QPointF(37, 32));
    painter.drawLine(QPointF(32, 27), QPointF(32, 37));
    painter.restore();
}

QImage AppIcon::Render(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Paint(painter, size);
    painter.end();
    return image;
}

QIcon AppIcon::Make() {
    QIcon icon;
    for (const int size : kSizes) {
        icon.addPixmap(QPixmap::fromImage(Render(size)));
    }
    return icon;
}

}  // namespace veltrap
