// Draws the two pack cards of the selection window into a folder at build time,
// under the names the application looks them up by.
//
//   vuplora-editor-art <output folder>

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>

namespace {

QString gOutDir;
bool gFailed = false;

void Save(const QImage &aoImage, const QString &asName)
{
    const QString sPath = gOutDir + u'/' + asName;
    if (!aoImage.save(sPath, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(sPath));
        gFailed = true;
    }
}

QImage Blank(int aiWidth, int aiHeight)
{
    QImage img(aiWidth, aiHeight, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

QFont Font(int aiPixelSize, bool abBold = true)
{
    QFont font(QStringLiteral("Noto Sans"));
    font.setPixelSize(aiPixelSize);
    font.setBold(abBold);
    return font;
}

// A cartoon head: the same few shapes serve the pack cards and the face tab.
void DrawHead(QPainter &p, const QPointF &aoCentre, qreal arSize, const QColor &aoHair,
              const QColor &aoSkin)
{
    const qreal s = arSize;
    p.save();
    p.translate(aoCentre);
    p.setPen(Qt::NoPen);
    p.setBrush(aoHair);
    p.drawEllipse(QRectF(-0.62 * s, -0.70 * s, 1.24 * s, 1.30 * s));
    p.drawRoundedRect(QRectF(-0.62 * s, -0.1 * s, 1.24 * s, 0.9 * s), 0.2 * s, 0.2 * s);
    p.setBrush(aoSkin);
    p.drawEllipse(QRectF(-0.45 * s, -0.45 * s, 0.9 * s, 1.0 * s));
    p.setBrush(aoHair);
    QPainterPath fringe;
    fringe.moveTo(-0.5 * s, -0.15 * s);
    fringe.cubicTo(-0.45 * s, -0.65 * s, 0.45 * s, -0.65 * s, 0.5 * s, -0.15 * s);
    fringe.cubicTo(0.2 * s, -0.35 * s, -0.1 * s, -0.3 * s, -0.5 * s, -0.15 * s);
    p.drawPath(fringe);
    p.setBrush(QColor(40, 40, 60));
    p.drawEllipse(QPointF(-0.17 * s, 0.05 * s), 0.06 * s, 0.08 * s);
    p.drawEllipse(QPointF(0.17 * s, 0.05 * s), 0.06 * s, 0.08 * s);
    p.setBrush(QColor(255, 150, 160, 150));
    p.drawEllipse(QPointF(-0.28 * s, 0.22 * s), 0.08 * s, 0.05 * s);
    p.drawEllipse(QPointF(0.28 * s, 0.22 * s), 0.08 * s, 0.05 * s);
    p.setPen(QPen(QColor(200, 70, 90), 0.03 * s, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(-0.12 * s, 0.15 * s, 0.24 * s, 0.18 * s), 200 * 16, 140 * 16);
    p.restore();
}

void PackCard(int aiPack)
{
    const QColor top = aiPack == 1 ? QColor(255, 183, 197) : QColor(150, 200, 255);
    const QColor bottom = aiPack == 1 ? QColor(255, 120, 150) : QColor(80, 120, 220);
    QImage img = Blank(344, 734);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient grad(0, 0, 0, 734);
    grad.setColorAt(0, top);
    grad.setColorAt(1, bottom);
    p.setPen(QPen(QColor(255, 255, 255), 6));
    p.setBrush(grad);
    p.drawRoundedRect(QRectF(3, 3, 338, 728), 28, 28);
    DrawHead(p, QPointF(172, 330), 200, aiPack == 1 ? QColor(120, 60, 40) : QColor(40, 40, 70),
             QColor(255, 224, 200));
    p.setPen(Qt::white);
    p.setFont(Font(44));
    p.drawText(QRectF(0, 560, 344, 70), Qt::AlignCenter, QStringLiteral("Pack %1").arg(aiPack));
    p.setFont(Font(22, false));
    p.drawText(QRectF(0, 625, 344, 40), Qt::AlignCenter,
               aiPack == 1 ? QStringLiteral("Sweet") : QStringLiteral("Cool"));
    p.end();
    Save(img, QStringLiteral("pack%1.png").arg(aiPack));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: vuplora-editor-art <output folder>\n");
        return 2;
    }
    gOutDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(gOutDir);

    PackCard(1);
    PackCard(2);
    return gFailed ? 1 : 0;
}
