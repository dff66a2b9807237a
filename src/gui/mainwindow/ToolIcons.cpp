#include "gui/mainwindow/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tess::gui {
namespace {

constexpr int Size = 20;

// A sheet of paper with a folded corner.
void page(QPainter& p, QRectF r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(QPen(colour, 2));
    p.drawLine(from, to);
    const QPointF d = (to - from) / std::max(1.0, std::hypot(to.x() - from.x(), to.y() - from.y()));
    const QPointF n(-d.y(), d.x());
    QPolygonF head;
    head << to + d * 1.5 << to - d * 3 + n * 3 << to - d * 3 - n * 3;
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPolygon(head);
}

void draw(QPainter& p, ToolPicture picture)
{
    const QPen outline(QColor(40, 40, 40), 1);
    p.setPen(outline);
    const QColor blue(30, 90, 200);
    const QColor green(20, 140, 60);
    switch (picture) {
    case ToolPicture::New: // a blank page with a star
        page(p, QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(QColor(230, 170, 0), 2));
        p.drawLine(QPointF(14, 13), QPointF(18, 17));
        p.drawLine(QPointF(18, 13), QPointF(14, 17));
        break;
    case ToolPicture::Open: // a folder
        p.setBrush(QColor(240, 200, 80));
        p.drawRect(QRectF(2.5, 6.5, 15, 10));
        p.drawRect(QRectF(2.5, 4.5, 6, 2));
        break;
    case ToolPicture::SaveAs: // a diskette
        p.setBrush(blue);
        p.drawRect(QRectF(3.5, 3.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(6.5, 3.5, 7, 5));
        p.drawRect(QRectF(5.5, 11.5, 9, 5));
        break;
    case ToolPicture::Close: // a page crossed out
        page(p, QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(QColor(200, 30, 30), 2));
        p.drawLine(QPointF(7, 7), QPointF(13, 14));
        p.drawLine(QPointF(13, 7), QPointF(7, 14));
        break;
    case ToolPicture::DataRead: // from the inverter into the computer
    case ToolPicture::DataWrite: // from the computer into the inverter
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(2.5, 12.5, 15, 5));
        p.setBrush(picture == ToolPicture::DataRead ? green : QColor(200, 90, 20));
        p.drawRect(QRectF(4.5, 14.5, 3, 1));
        if (picture == ToolPicture::DataRead)
            arrow(p, QPointF(10, 2), QPointF(10, 9), green);
        else
            arrow(p, QPointF(10, 10), QPointF(10, 3), QColor(200, 90, 20));
        break;
    case ToolPicture::Log: // lines of text
        page(p, QRectF(4.5, 2.5, 11, 15));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        for (int y = 7; y <= 15; y += 2)
            p.drawLine(QPointF(6.5, y + 0.5), QPointF(13.5, y + 0.5));
        break;
    case ToolPicture::InverterChange: // a drive with two arrows turning round
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(6.5, 6.5, 7, 7));
        arrow(p, QPointF(3, 9), QPointF(3, 3.5), blue);
        arrow(p, QPointF(17, 11), QPointF(17, 16.5), blue);
        break;
    case ToolPicture::Compare: // two pages side by side
        page(p, QRectF(1.5, 3.5, 9, 13));
        p.setPen(outline);
        page(p, QRectF(9.5, 3.5, 9, 13));
        p.setPen(QPen(blue, 1));
        p.drawLine(QPointF(3.5, 9.5), QPointF(8.5, 9.5));
        p.drawLine(QPointF(11.5, 9.5), QPointF(16.5, 9.5));
        break;
    case ToolPicture::Print: // a printer
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 2.5, 9, 6));
        p.setBrush(QColor(120, 120, 120));
        p.drawRect(QRectF(2.5, 8.5, 15, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(5.5, 12.5, 9, 5));
        break;
    }
}

} // namespace

QIcon toolButtonIcon(ToolPicture picture)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(Size * scale, Size * scale);
        pixmap.setDevicePixelRatio(scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p, picture);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace tess::gui
