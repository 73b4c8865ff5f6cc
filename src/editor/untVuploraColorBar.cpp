#include "editor/untVuploraColorBar.h"

#include "platform_ui/errorreport.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr std::array<TAlphaColor, COLOR_SWATCH_COUNT> SWATCH_COLORS = {
    0x00000000, 0xFF381508, 0xFF434343, 0xFF975F10, 0xFF5A5908, 0xFF1F3F74,
    0xFF1F7437, 0xFF6B1BA8, 0xFFCB40A9, 0xFF95844A, 0xFFD22A2A, 0xFFA96383,
    0xFFED9F18, 0xFFE4AD80, 0xFFD57A5A, 0xFF956D58,
};

constexpr int SWATCH_SIZE = 50;
constexpr QSize CHIP_SIZE(94, 76);
const QColor BLUE_VIOLET(0x8A, 0x2B, 0xE2);

// The picture of a swatch: a rounded chip of its colour; the "no colour" chip
// is white with a red stroke through it.
QImage SwatchChip(TAlphaColor aiColor)
{
    QImage chip(CHIP_SIZE, QImage::Format_ARGB32_Premultiplied);
    chip.fill(Qt::transparent);
    QPainter p(&chip);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(chip.rect()).adjusted(8, 8, -8, -8);
    p.setPen(QPen(QColor(0xC0, 0xC0, 0xC0), 2));
    p.setBrush(aiColor == 0 ? QColor(Qt::white) : QColor::fromRgba(aiColor));
    p.drawRoundedRect(box, 10, 10);
    if (aiColor == 0) {
        p.setPen(QPen(QColor(0xD2, 0x2A, 0x2A), 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(box.bottomLeft() + QPointF(10, -10), box.topRight() + QPointF(-10, 10));
    }
    return chip;
}

} // namespace

TAlphaColor SwatchColor(int aiTag)
{
    if (aiTag < 1 || aiTag > COLOR_SWATCH_COUNT)
        return 0;
    return SWATCH_COLORS[aiTag - 1];
}

TColorComboBox::TColorComboBox(QWidget *aoParent) : QWidget(aoParent)
{
    setObjectName(QStringLiteral("cmbColor"));
    setCursor(Qt::PointingHandCursor);
}

void TColorComboBox::SetColor(TAlphaColor aiColor)
{
    miColor = aiColor;
    update();
    Q_EMIT Change();
}

void TColorComboBox::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.setBrush(Qt::white);
    p.drawRoundedRect(box, 3, 3);
    // The colour, with a checker under it so that transparency shows.
    const QRectF chip(box.left() + 4, box.top() + 4, box.width() - 24, box.height() - 8);
    p.fillRect(chip, QBrush(Qt::lightGray, Qt::Dense4Pattern));
    p.fillRect(chip, QColor::fromRgba(miColor));
    // The drop-down arrow.
    QPainterPath arrow;
    const QPointF tip(box.right() - 10, box.center().y() + 3);
    arrow.moveTo(tip + QPointF(-5, -6));
    arrow.lineTo(tip + QPointF(5, -6));
    arrow.lineTo(tip);
    arrow.closeSubpath();
    p.fillPath(arrow, QColor(0x40, 0x40, 0x40));
}

void TColorComboBox::mouseReleaseEvent(QMouseEvent *aoEvent)
{
    if (aoEvent->button() != Qt::LeftButton || !rect().contains(aoEvent->position().toPoint()))
        return;
    RunReportingErrors([this] {
        const QColor picked = QColorDialog::getColor(QColor::fromRgba(miColor), this, QString(),
                                                     QColorDialog::ShowAlphaChannel);
        if (picked.isValid())
            SetColor(picked.rgba());
    });
}

TVuploraColorBar::TVuploraColorBar(QWidget *aoParent) : QWidget(aoParent)
{
    setObjectName(QStringLiteral("rgColor"));
    setFixedHeight(HEIGHT);
    int x = 0;
    for (int i = 0; i < COLOR_SWATCH_COUNT; ++i) {
        auto *swatch = new TImageControl(this);
        swatch->setObjectName(QStringLiteral("imgColor%1").arg(i + 1));
        swatch->SetTag(i + 1);
        swatch->setGeometry(x, 0, SWATCH_SIZE, SWATCH_SIZE);
        swatch->SetPicture(SwatchChip(SWATCH_COLORS[i]));
        swatch->setCursor(Qt::PointingHandCursor);
        QGraphicsEffect *glow = i == 0 ? MakeGlowEffect(BLUE_VIOLET, 0.7, 0.9)
                                       : MakeGlowEffect(QColor(0, 255, 0), 0.4, 0.9);
        glow->setObjectName(QStringLiteral("geColor%1").arg(i + 1));
        swatch->SetEffect(glow, false);
        imgColor[i] = swatch;
        geColor[i] = glow;
        x += SWATCH_SIZE;
    }
    cmbColor = new TColorComboBox(this);
    // Margins 20 left and right, 9 top and bottom around a 69 x 32 box.
    cmbColor->setGeometry(x + 20, 9, 69, 32);
}

void TVuploraColorBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
}
