#include "TestPackArt.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <array>
#include <cmath>

namespace {

struct TPalette {
    std::array<QColor, 3> Skin;
    std::array<QColor, 3> Hair;
    std::array<QColor, 3> Cloth;
    std::array<QColor, 3> BgTop;
    std::array<QColor, 3> BgBottom;
    QColor Accent;
    QColor Iris;
};

const TPalette &PaletteOf(int aiPack)
{
    static const TPalette WARM{{QColor("#F2C09B"), QColor("#E8A97E"), QColor("#C98B62")},
                               {QColor("#5B3A29"), QColor("#C0392B"), QColor("#E1B12C")},
                               {QColor("#E67E22"), QColor("#E74C3C"), QColor("#D35400")},
                               {QColor("#FFE0B2"), QColor("#FFF59D"), QColor("#F8BBD0")},
                               {QColor("#FF8A65"), QColor("#FFB74D"), QColor("#F06292")},
                               QColor("#E91E63"),
                               QColor("#8D6E63")};
    static const TPalette COOL{{QColor("#F5D0B5"), QColor("#D7A98C"), QColor("#8D5524")},
                               {QColor("#2C3E50"), QColor("#6C3483"), QColor("#1ABC9C")},
                               {QColor("#2980B9"), QColor("#16A085"), QColor("#8E44AD")},
                               {QColor("#B3E5FC"), QColor("#C8E6C9"), QColor("#D1C4E9")},
                               {QColor("#0288D1"), QColor("#43A047"), QColor("#5E35B1")},
                               QColor("#3F51B5"),
                               QColor("#1E88E5")};
    return aiPack == 2 ? COOL : WARM;
}

QImage NewLayer(TYPE_FACE_ITEM fiType)
{
    const QRect r = FACE_ITEM_RECTS[fiType];
    QImage oImage(r.size(), QImage::Format_ARGB32_Premultiplied);
    oImage.fill(Qt::transparent);
    return oImage;
}

QPen RoundPen(const QColor &aoColor, qreal arWidth)
{
    return QPen(aoColor, arWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

const QColor INK("#3E2723");

void DrawFace(QPainter &p, const TPalette &c, int i)
{
    p.setPen(RoundPen(INK, 5));
    p.setBrush(c.Skin[i % 3]);
    // Ears first, so that the face covers their inner half.
    p.drawEllipse(QRectF(0, 200, 60, 90));
    p.drawEllipse(QRectF(340, 200, 60, 90));
    switch (i % 3) {
    case 0:
        p.drawEllipse(QRectF(25, 15, 350, 430));
        break;
    case 1:
        p.drawRoundedRect(QRectF(30, 20, 340, 420), 120, 150);
        break;
    default: {
        QPainterPath oPath;
        oPath.moveTo(200, 15);
        oPath.cubicTo(330, 15, 380, 140, 370, 250);
        oPath.cubicTo(360, 380, 270, 445, 200, 445);
        oPath.cubicTo(130, 445, 40, 380, 30, 250);
        oPath.cubicTo(20, 140, 70, 15, 200, 15);
        p.drawPath(oPath);
    }
    }
}

void DrawHair(QPainter &p, const TPalette &c, int i)
{
    // The face spans x 110..490 and y 170..620 of this layer.
    p.setPen(RoundPen(INK, 5));
    p.setBrush(c.Hair[i % 3]);
    QPainterPath oPath;
    switch (i % 3) {
    case 0: // short cap with a fringe
        oPath.moveTo(95, 420);
        oPath.cubicTo(60, 150, 200, 110, 300, 110);
        oPath.cubicTo(400, 110, 540, 150, 505, 420);
        oPath.cubicTo(470, 300, 400, 260, 330, 300);
        oPath.cubicTo(300, 250, 200, 250, 150, 320);
        oPath.cubicTo(120, 340, 110, 380, 95, 420);
        break;
    case 1: // long hair down the sides
        oPath.moveTo(70, 720);
        oPath.cubicTo(20, 300, 120, 100, 300, 100);
        oPath.cubicTo(480, 100, 580, 300, 530, 720);
        oPath.lineTo(470, 720);
        oPath.cubicTo(490, 450, 470, 330, 300, 280);
        oPath.cubicTo(130, 330, 110, 450, 130, 720);
        oPath.closeSubpath();
        break;
    default: // spikes
        oPath.moveTo(100, 400);
        for (int k = 0; k <= 8; ++k) {
            const double x = 100 + k * 50;
            oPath.lineTo(x + 25, k % 2 ? 60 : 120);
            oPath.lineTo(x + 50, 260);
        }
        oPath.lineTo(500, 400);
        oPath.cubicTo(450, 280, 150, 280, 100, 400);
        break;
    }
    p.drawPath(oPath);
}

void DrawEyes(QPainter &p, const TPalette &c, int i)
{
    for (const double cx : {75.0, 225.0}) {
        switch (i % 3) {
        case 0:
            p.setPen(RoundPen(INK, 4));
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(cx, 60), 40, 30);
            p.setBrush(c.Iris);
            p.drawEllipse(QPointF(cx, 62), 18, 18);
            p.setBrush(INK);
            p.drawEllipse(QPointF(cx, 62), 8, 8);
            break;
        case 1:
            p.setPen(Qt::NoPen);
            p.setBrush(INK);
            p.drawEllipse(QPointF(cx, 60), 16, 22);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(cx + 5, 52), 5, 5);
            break;
        default: // closed, smiling
            p.setPen(RoundPen(INK, 8));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(cx - 35, 40, 70, 50), 20 * 16, 140 * 16);
            break;
        }
    }
}

void DrawNose(QPainter &p, const TPalette &c, int i)
{
    p.setPen(RoundPen(INK, 5));
    if (i % 2 == 0) {
        p.setBrush(c.Skin[2]);
        p.drawEllipse(QPointF(60, 70), 22, 16);
    } else {
        p.setBrush(Qt::NoBrush);
        QPainterPath oPath;
        oPath.moveTo(62, 20);
        oPath.lineTo(40, 85);
        oPath.lineTo(70, 88);
        p.drawPath(oPath);
    }
}

void DrawMouth(QPainter &p, const TPalette &c, int i)
{
    switch (i % 3) {
    case 0:
        p.setPen(RoundPen(INK, 9));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(60, 10, 180, 110), 200 * 16, 140 * 16);
        break;
    case 1: {
        p.setPen(RoundPen(INK, 5));
        p.setBrush(QColor("#C62828"));
        QPainterPath oPath;
        oPath.moveTo(70, 60);
        oPath.lineTo(230, 60);
        oPath.cubicTo(220, 150, 80, 150, 70, 60);
        p.drawPath(oPath);
        p.setPen(Qt::NoPen);
        p.setBrush(c.Accent.lighter(150));
        p.drawEllipse(QPointF(150, 110), 40, 15);
        break;
    }
    default:
        p.setPen(RoundPen(INK, 6));
        p.setBrush(QColor("#B71C1C"));
        p.drawEllipse(QPointF(150, 80), 26, 32);
        break;
    }
}

void DrawBrows(QPainter &p, const TPalette &c, int i)
{
    p.setPen(RoundPen(c.Hair[0].darker(130), i % 2 ? 10 : 18));
    p.setBrush(Qt::NoBrush);
    const double lift = i % 2 ? 30 : 10;
    p.drawLine(QPointF(35, 60), QPointF(115, 60 - lift));
    p.drawLine(QPointF(265, 60), QPointF(185, 60 - lift));
}

void DrawGlasses(QPainter &p, const TPalette &c, int i)
{
    p.setPen(RoundPen(i % 2 ? c.Accent : INK, 8));
    p.setBrush(QColor(255, 255, 255, 60));
    if (i % 2 == 0) {
        p.drawEllipse(QPointF(95, 64), 60, 50);
        p.drawEllipse(QPointF(245, 64), 60, 50);
    } else {
        p.drawRoundedRect(QRectF(25, 20, 130, 90), 18, 18);
        p.drawRoundedRect(QRectF(185, 20, 130, 90), 18, 18);
    }
    p.drawLine(QPointF(150, 55), QPointF(190, 55));
}

void DrawEmoji(QPainter &p, const TPalette &c, int i)
{
    if (i % 2 == 0) { // blush on the cheeks
        p.setPen(Qt::NoPen);
        QColor oBlush = c.Accent;
        oBlush.setAlpha(110);
        p.setBrush(oBlush);
        p.drawEllipse(QPointF(80, 190), 50, 28);
        p.drawEllipse(QPointF(360, 190), 50, 28);
    } else { // a sweat drop and anger mark
        p.setPen(RoundPen(QColor("#0277BD"), 4));
        p.setBrush(QColor("#81D4FA"));
        QPainterPath oDrop;
        oDrop.moveTo(390, 20);
        oDrop.cubicTo(430, 90, 420, 120, 390, 120);
        oDrop.cubicTo(360, 120, 350, 90, 390, 20);
        p.drawPath(oDrop);
        p.setPen(RoundPen(QColor("#D32F2F"), 8));
        p.drawLine(QPointF(30, 40), QPointF(60, 70));
        p.drawLine(QPointF(60, 40), QPointF(30, 70));
    }
}

void DrawBody(QPainter &p, const TPalette &c, int i)
{
    p.setPen(RoundPen(INK, 5));
    p.setBrush(c.Skin[0]);
    p.drawRect(QRectF(275, 420, 90, 170));
    p.setBrush(c.Cloth[i % 3]);
    QPainterPath oPath;
    oPath.moveTo(60, 1136);
    oPath.cubicTo(60, 700, 120, 580, 270, 560);
    oPath.cubicTo(300, 600, 340, 600, 370, 560);
    oPath.cubicTo(520, 580, 580, 700, 580, 1136);
    oPath.closeSubpath();
    p.drawPath(oPath);
    if (i % 2) { // a pocket badge
        p.setBrush(c.Accent);
        p.drawEllipse(QPointF(440, 760), 36, 36);
    }
}

void DrawBackground(QPainter &p, const TPalette &c, int i, const QSize &s)
{
    QLinearGradient oGradient(0, 0, 0, s.height());
    oGradient.setColorAt(0, c.BgTop[i % 3]);
    oGradient.setColorAt(1, c.BgBottom[i % 3]);
    p.fillRect(QRect(QPoint(0, 0), s), oGradient);
    p.setPen(Qt::NoPen);
    QColor oSpot = Qt::white;
    oSpot.setAlpha(70);
    p.setBrush(oSpot);
    QRandomGenerator oRandom(quint32(1000 + i));
    for (int k = 0; k < 14; ++k)
        p.drawEllipse(QPointF(oRandom.bounded(s.width()), oRandom.bounded(s.height())), 20 + k * 3, 20 + k * 3);
}

void DrawStar(QPainter &p, const QPointF &aoCentre, double arRadius)
{
    QPainterPath oStar;
    for (int k = 0; k < 10; ++k) {
        const double r = k % 2 ? arRadius * 0.45 : arRadius;
        const double a = -M_PI / 2 + k * M_PI / 5;
        const QPointF pt(aoCentre.x() + r * std::cos(a), aoCentre.y() + r * std::sin(a));
        k ? oStar.lineTo(pt) : oStar.moveTo(pt);
    }
    oStar.closeSubpath();
    p.drawPath(oStar);
}

void DrawForeground(QPainter &p, const TPalette &c, int i, const QSize &s)
{
    // Mostly transparent, so the portrait shows through.
    p.setPen(RoundPen(INK, 3));
    if (i % 2 == 0) {
        p.setBrush(QColor("#FFD54F"));
        DrawStar(p, QPointF(70, 80), 45);
        DrawStar(p, QPointF(570, 140), 35);
        DrawStar(p, QPointF(90, 1040), 30);
        DrawStar(p, QPointF(560, 1010), 50);
    } else {
        p.setPen(Qt::NoPen);
        QRandomGenerator oRandom(77);
        for (int k = 0; k < 40; ++k) {
            p.setBrush(k % 2 ? c.Accent : c.Cloth[k % 3]);
            p.drawRect(QRectF(oRandom.bounded(s.width()), 900 + oRandom.bounded(220), 14, 8));
        }
    }
}

QPainterPath BalloonPath(int aiBubble)
{
    QPainterPath oPath;
    if (aiBubble % 2 == 0) {
        oPath.moveTo(150, 20);
        oPath.cubicTo(230, 20, 285, 70, 285, 130);
        oPath.cubicTo(285, 190, 230, 235, 160, 238);
        oPath.lineTo(110, 290);
        oPath.lineTo(120, 234);
        oPath.cubicTo(60, 225, 15, 185, 15, 130);
        oPath.cubicTo(15, 70, 70, 20, 150, 20);
    } else {
        oPath.moveTo(30, 30);
        oPath.lineTo(270, 30);
        oPath.lineTo(270, 220);
        oPath.lineTo(200, 220);
        oPath.lineTo(250, 285);
        oPath.lineTo(150, 220);
        oPath.lineTo(30, 220);
    }
    oPath.closeSubpath();
    return oPath;
}

} // namespace

QImage DrawTestItem(int aiPack, TYPE_FACE_ITEM fiType, int aiItem)
{
    const TPalette &c = PaletteOf(aiPack);
    QImage oImage = NewLayer(fiType);
    QPainter p(&oImage);
    p.setRenderHint(QPainter::Antialiasing);
    switch (fiType) {
    case fiFace: DrawFace(p, c, aiItem); break;
    case fiHair: DrawHair(p, c, aiItem); break;
    case fiEye: DrawEyes(p, c, aiItem); break;
    case fiNose: DrawNose(p, c, aiItem); break;
    case fiMouth: DrawMouth(p, c, aiItem); break;
    case fiBrow: DrawBrows(p, c, aiItem); break;
    case fiGlasses: DrawGlasses(p, c, aiItem); break;
    case fiEmoji: DrawEmoji(p, c, aiItem); break;
    case fiHand: DrawBody(p, c, aiItem); break;
    case fiBG: DrawBackground(p, c, aiItem, oImage.size()); break;
    case fiFG: DrawForeground(p, c, aiItem, oImage.size()); break;
    case fiPaopao: break; // bubbles are documents
    }
    return oImage;
}

QImage DrawTestMask(TYPE_FACE_ITEM fiType, int aiItem)
{
    QImage oMask = NewLayer(fiType);
    QPainter p(&oMask);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    // The lower half of the face: where the background is let through.
    p.drawEllipse(QRectF(60, 200 + 10 * aiItem, oMask.width() - 120, oMask.height() - 240));
    return oMask;
}

QImage DrawTestThumb(const QImage &aoItem, int aiItem)
{
    QImage oThumb(100, 100, QImage::Format_ARGB32_Premultiplied);
    oThumb.fill(Qt::transparent);
    QPainter p(&oThumb);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage oScaled = aoItem.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    p.drawImage(QPointF((100 - oScaled.width()) / 2.0, (100 - oScaled.height()) / 2.0), oScaled);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawEllipse(QRectF(74, 74, 24, 24));
    QFont oFont = p.font();
    oFont.setPixelSize(16);
    oFont.setBold(true);
    p.setFont(oFont);
    p.setPen(Qt::white);
    p.drawText(QRectF(74, 74, 24, 24), Qt::AlignCenter, QString::number(aiItem + 1));
    return oThumb;
}

QImage DrawBubbleThumb(int aiBubble, bool abChinese)
{
    QImage oThumb(100, 100, QImage::Format_ARGB32_Premultiplied);
    oThumb.fill(Qt::transparent);
    QPainter p(&oThumb);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(100.0 / 300.0, 100.0 / 300.0);
    p.setPen(RoundPen(INK, 10));
    p.setBrush(Qt::white);
    p.drawPath(BalloonPath(aiBubble));
    QFont oFont = p.font();
    oFont.setPixelSize(70);
    oFont.setBold(true);
    p.setFont(oFont);
    p.setPen(abChinese ? QColor("#C62828") : INK);
    p.drawText(QRectF(30, 60, 240, 140), Qt::AlignCenter, abChinese ? QStringLiteral("CN") : QStringLiteral("Hi"));
    return oThumb;
}

QByteArray BubbleDocument(int aiBubble, bool abChinese)
{
    // 0: round balloon at (0, 400); 1: square balloon at (440, 300); 2: no text
    // and no start point; 3: not well-formed (its text element is closed by a
    // misspelt end tag).
    const bool bRound = aiBubble % 2 == 0;
    const QString sShape =
        bRound ? QStringLiteral(
                     "  <path d=\"M150,20 C230,20 285,70 285,130 C285,190 230,235 160,238 L110,290 L120,234 "
                     "C60,225 15,185 15,130 C15,70 70,20 150,20 Z\" fill=\"#FFFFFF\" stroke=\"#3E2723\" "
                     "stroke-width=\"6\" stroke-linejoin=\"round\"/>\n")
               : QStringLiteral(
                     "  <path d=\"M30,30 L270,30 L270,220 L200,220 L250,285 L150,220 L30,220 Z\" fill=\"#FFF9C4\" "
                     "stroke=\"#F57F17\" stroke-width=\"6\" stroke-linejoin=\"round\"/>\n");
    QString sText;
    switch (aiBubble) {
    case 0: sText = abChinese ? QStringLiteral("你好！") : QStringLiteral("Hello!"); break;
    case 1: sText = abChinese ? QStringLiteral("今天天气真好") : QStringLiteral("What a day!"); break;
    case 3: sText = QStringLiteral("Broken"); break;
    default: break;
    }
    const QString sFont = abChinese ? QStringLiteral("'Noto Sans CJK SC'") : QStringLiteral("'Noto Sans'");
    QString sDocument =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"200px\" "
                       "height=\"200px\" viewBox=\"0 0 300 300\">\n")
        + sShape;
    if (!sText.isEmpty())
        sDocument += QStringLiteral("  <text transform=\"matrix(1 0 0 1 40 95)\" font-family=\"%1\" font-size=\"30\" "
                                    "fill=\"#3E2723\" text-anchor=\"middle\" width=\"220\" height=\"100\" "
                                    "txtlength=\"%2\">%3</%4>\n")
                         .arg(sFont)
                         .arg(sText.size())
                         .arg(sText)
                         .arg(aiBubble == 3 ? QStringLiteral("txet") : QStringLiteral("text"));
    // Shown 200 units wide, so that both start points keep it on the canvas.
    if (aiBubble < 2)
        sDocument += QStringLiteral("  <startPointX>%1</startPointX>\n  <startPointY>%2</startPointY>\n")
                         .arg(aiBubble == 1 ? 440 : 0)
                         .arg(aiBubble == 1 ? 300 : 400);
    sDocument += QStringLiteral("</svg>\n");
    return sDocument.toUtf8();
}
