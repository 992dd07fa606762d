#include "platform/window/button_pictures.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

namespace platform {

// A black question mark with an arrow pointing down-left from below it to the corner.
static void DrawQuestionWithArrow(QPainter& painter)
{
    QFont font = QGuiApplication::font();
    font.setBold(true);
    font.setPixelSize(40);
    QPainterPath mark;
    mark.addText(0, 0, font, QStringLiteral("?"));
    const QRectF target(17, 1, 22, 31);
    const QRectF glyph = mark.boundingRect();
    QTransform fit;
    fit.translate(target.left(), target.top());
    fit.scale(target.width() / glyph.width(), target.height() / glyph.height());
    fit.translate(-glyph.left(), -glyph.top());
    painter.fillPath(fit.map(mark), Qt::black);

    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(21, 25), QPointF(7, 39));
    const QPointF head[] = { { 2, 44 }, { 3, 31 }, { 15, 43 } };
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(head, 3);
}

// A stroke drawn twice, dark and wide under bright and narrow, so it stands out on any face.
static void DrawOutlined(QPainter& painter, const QPainterPath& stroke, QColor bright, QColor dark)
{
    painter.strokePath(stroke, QPen(dark, 8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(stroke, QPen(bright, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

static void DrawGreenTick(QPainter& painter)
{
    QPainterPath tick;
    tick.moveTo(5, 19);
    tick.lineTo(16, 30);
    tick.lineTo(39, 6);
    DrawOutlined(painter, tick, QColor(0, 200, 0), QColor(0, 100, 0));
}

static void DrawRedCross(QPainter& painter)
{
    QPainterPath cross;
    cross.moveTo(6, 6);
    cross.lineTo(31, 33);
    cross.moveTo(31, 6);
    cross.lineTo(6, 33);
    DrawOutlined(painter, cross, QColor(230, 0, 0), QColor(130, 0, 0));
}

QPixmap DrawButtonPicture(ButtonPicture picture)
{
    QSize size;
    void (*draw)(QPainter&) = nullptr;
    switch (picture) {
    case ButtonPicture::None:
        return {};
    case ButtonPicture::QuestionWithArrow:
        size = { 41, 45 };
        draw = DrawQuestionWithArrow;
        break;
    case ButtonPicture::GreenTick:
        size = { 44, 36 };
        draw = DrawGreenTick;
        break;
    case ButtonPicture::RedCross:
        size = { 37, 39 };
        draw = DrawRedCross;
        break;
    }
    const qreal ratio = qApp->devicePixelRatio();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    return pixmap;
}

}
