#include "editor/untImageControl.h"

#include "platform_ui/errorreport.h"

#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QtMath>

namespace {

// Softness 1 stands for a blur of this many logical pixels.
constexpr qreal SOFTNESS_TO_BLUR = 30.0;

QColor WithOpacity(QColor aoColor, qreal arOpacity)
{
    aoColor.setAlphaF(static_cast<float>(qBound<qreal>(0, arOpacity, 1)));
    return aoColor;
}

} // namespace

TImageControl::TImageControl(QWidget *aoParent) : QWidget(aoParent)
{
    setAttribute(Qt::WA_Hover);
}

void TImageControl::SetPicture(const QImage &aoPicture)
{
    moPicture = aoPicture;
    update();
}

void TImageControl::SetHitTest(bool abHitTest)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, !abHitTest);
}

bool TImageControl::HitTest() const
{
    return !testAttribute(Qt::WA_TransparentForMouseEvents);
}

void TImageControl::SetMouseOverEffect(QGraphicsEffect *aoEffect)
{
    setGraphicsEffect(aoEffect);
    mbMouseOverEffect = true;
    aoEffect->setEnabled(underMouse());
}

void TImageControl::SetEffect(QGraphicsEffect *aoEffect, bool abEnabled)
{
    setGraphicsEffect(aoEffect);
    mbMouseOverEffect = false;
    aoEffect->setEnabled(abEnabled);
}

void TImageControl::paintEvent(QPaintEvent *)
{
    if (moPicture.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF box(rect());
    p.drawImage(FitRect(moPicture.size(), box), moPicture);
}

void TImageControl::mousePressEvent(QMouseEvent *aoEvent)
{
    mbPressed = aoEvent->button() == Qt::LeftButton;
    aoEvent->accept();
}

void TImageControl::mouseReleaseEvent(QMouseEvent *aoEvent)
{
    const bool bClick = mbPressed && aoEvent->button() == Qt::LeftButton
                        && rect().contains(aoEvent->position().toPoint());
    mbPressed = false;
    aoEvent->accept();
    if (!bClick)
        return;
    // The handlers' errors are reported here rather than unwinding through the
    // toolkit's event delivery: that code is built without exception support, so
    // its clean-up would be skipped (the sanitizer build reports the leaked
    // event data).
    RunReportingErrors([this] { Q_EMIT Click(); });
}

void TImageControl::enterEvent(QEnterEvent *aoEvent)
{
    if (mbMouseOverEffect && graphicsEffect())
        graphicsEffect()->setEnabled(true);
    QWidget::enterEvent(aoEvent);
}

void TImageControl::leaveEvent(QEvent *aoEvent)
{
    if (mbMouseOverEffect && graphicsEffect())
        graphicsEffect()->setEnabled(false);
    QWidget::leaveEvent(aoEvent);
}

QGraphicsEffect *MakeShadowEffect(qreal arDistance, qreal arDirection, qreal arSoftness,
                                  qreal arOpacity, const QColor &aoColor)
{
    auto *effect = new QGraphicsDropShadowEffect;
    const qreal angle = qDegreesToRadians(arDirection);
    effect->setOffset(arDistance * qCos(angle), arDistance * qSin(angle));
    effect->setBlurRadius(arSoftness * SOFTNESS_TO_BLUR);
    effect->setColor(WithOpacity(aoColor, arOpacity));
    return effect;
}

QGraphicsEffect *MakeGlowEffect(const QColor &aoColor, qreal arSoftness, qreal arOpacity)
{
    return MakeShadowEffect(0, 0, arSoftness, arOpacity, aoColor);
}

QImage LayoutPicture(const QString &asName)
{
    QImage img(QStringLiteral(":/editor/") + asName);
    if (!img.isNull())
        img.convertTo(QImage::Format_ARGB32_Premultiplied);
    return img;
}
