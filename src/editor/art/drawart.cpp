// Draws the editor's placeholder pictures and sounds into a folder at build time.
// Every file keeps the name the application looks it up by, so real art replaces
// a file without touching code.
//
//   vuplora-editor-art <output folder>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtEndian>

#include <cmath>
#include <cstdio>
#include <functional>
#include <numbers>
#include <vector>

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

// The overlay adds a sticker at the card's corner; everything else stays clear.
void PackOverlay(int aiPack)
{
    QImage img = Blank(344, 734);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = aiPack == 1 ? QPointF(270, 150) : QPointF(75, 150);
    p.setPen(QPen(Qt::white, 4));
    p.setBrush(QColor(255, 214, 0));
    p.drawEllipse(c, 44, 44);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 20));
    p.drawEllipse(c + QPointF(-14, -10), 6, 8);
    p.drawEllipse(c + QPointF(14, -10), 6, 8);
    p.setPen(QPen(QColor(60, 40, 20), 4, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(c.x() - 22, c.y() - 8, 44, 34), 200 * 16, 140 * 16);
    p.end();
    Save(img, QStringLiteral("pack%1_emoji.png").arg(aiPack));
}

void Wordmark(QPainter &p, const QRectF &aoBox, const QString &asText, const QColor &aoColor)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setFont(Font(static_cast<int>(aoBox.height() * 0.55)));
    p.setPen(QColor(0, 0, 0, 90));
    p.drawText(aoBox.translated(2, 3), Qt::AlignCenter, asText);
    p.setPen(aoColor);
    p.drawText(aoBox, Qt::AlignCenter, asText);
}

void Logos()
{
    QImage logo = Blank(245, 90);
    {
        QPainter p(&logo);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRoundedRect(QRectF(2, 2, 241, 86), 43, 43);
        Wordmark(p, QRectF(0, 0, 245, 90), QStringLiteral("Vuplora"), QColor(230, 70, 110));
    }
    Save(logo, QStringLiteral("logo.png"));

    // The watermark logos, one per interface language.
    for (const bool bCN : {false, true}) {
        QImage img = Blank(258, 104);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(bCN ? QColor(200, 30, 40, 200) : QColor(40, 90, 200, 200));
        p.drawRoundedRect(QRectF(4, 4, 250, 96), 20, 20);
        Wordmark(p, QRectF(0, 0, 258, 80), QStringLiteral("Vuplora"), Qt::white);
        p.setFont(Font(20, false));
        p.setPen(Qt::white);
        p.drawText(QRectF(0, 66, 258, 30), Qt::AlignCenter,
                   bCN ? QStringLiteral("CN") : QStringLiteral("EN"));
        p.end();
        // No extension: the resource names are the ones the application asks for.
        Save(img, bCN ? QStringLiteral("res_logo_cn") : QStringLiteral("res_logo_en"));
    }
}

using TGlyph = std::function<void(QPainter &)>;

// A toolbar picture: a glyph drawn in a 128 x 60 box above a caption.
void TabIcon(const QString &asName, const QString &asCaption, const TGlyph &aoGlyph)
{
    QImage img = Blank(128, 88);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.translate(64, 32);
    p.setPen(QPen(QColor(70, 70, 80), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    aoGlyph(p);
    p.restore();
    p.setPen(QColor(70, 70, 80));
    p.setFont(Font(17, false));
    p.drawText(QRectF(0, 62, 128, 24), Qt::AlignCenter, asCaption);
    p.end();
    Save(img, QStringLiteral("tab_%1.png").arg(asName));
}

void TabIcons()
{
    const QColor accent(240, 90, 120);
    TabIcon(QStringLiteral("back"), QStringLiteral("Back"), [](QPainter &p) {
        QPainterPath path;
        path.moveTo(18, 20);
        path.cubicTo(18, -4, 0, -10, -16, -10);
        p.drawPath(path);
        p.drawPolyline(QPolygonF({QPointF(-6, -22), QPointF(-18, -10), QPointF(-6, 2)}));
    });
    TabIcon(QStringLiteral("save"), QStringLiteral("Save"), [](QPainter &p) {
        p.drawRoundedRect(QRectF(-22, -22, 44, 44), 5, 5);
        p.drawRect(QRectF(-12, -22, 24, 14));
        p.drawEllipse(QPointF(0, 10), 7, 7);
    });
    TabIcon(QStringLiteral("random"), QStringLiteral("Random"), [](QPainter &p) {
        p.drawRoundedRect(QRectF(-22, -22, 44, 44), 8, 8);
        p.setBrush(p.pen().color());
        for (const QPointF &pt : {QPointF(-11, -11), QPointF(0, 0), QPointF(11, 11),
                                  QPointF(11, -11), QPointF(-11, 11)})
            p.drawEllipse(pt, 4, 4);
    });
    TabIcon(QStringLiteral("emoji"), QStringLiteral("Emoji"), [accent](QPainter &p) {
        p.setBrush(QColor(255, 214, 0));
        p.drawEllipse(QPointF(0, 0), 24, 24);
        p.setBrush(p.pen().color());
        p.drawEllipse(QPointF(-8, -6), 3, 4);
        p.drawEllipse(QPointF(8, -6), 3, 4);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accent, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(-12, -6, 24, 20), 200 * 16, 140 * 16);
    });
    TabIcon(QStringLiteral("face"), QStringLiteral("Face"), [](QPainter &p) {
        p.setBrush(QColor(255, 224, 200));
        p.drawEllipse(QRectF(-20, -26, 40, 52));
    });
    TabIcon(QStringLiteral("hair"), QStringLiteral("Hair"), [](QPainter &p) {
        p.setBrush(QColor(120, 60, 40));
        QPainterPath path;
        path.moveTo(-26, 24);
        path.cubicTo(-34, -30, 34, -30, 26, 24);
        path.cubicTo(18, 0, 8, -10, 0, -8);
        path.cubicTo(-8, -10, -18, 0, -26, 24);
        p.drawPath(path);
    });
    TabIcon(QStringLiteral("brow"), QStringLiteral("Brows"), [](QPainter &p) {
        p.setPen(QPen(QColor(90, 60, 40), 7, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(QRectF(-30, -6, 24, 20), 30 * 16, 120 * 16);
        p.drawArc(QRectF(6, -6, 24, 20), 30 * 16, 120 * 16);
    });
    TabIcon(QStringLiteral("eyes"), QStringLiteral("Eyes"), [](QPainter &p) {
        for (const qreal x : {-14.0, 14.0}) {
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(x, 0), 11, 14);
            p.setBrush(QColor(60, 40, 30));
            p.drawEllipse(QPointF(x, 2), 5, 7);
        }
    });
    TabIcon(QStringLiteral("nose"), QStringLiteral("Nose"), [](QPainter &p) {
        QPainterPath path;
        path.moveTo(2, -22);
        path.cubicTo(6, 0, 16, 10, 4, 16);
        path.lineTo(-6, 14);
        p.drawPath(path);
    });
    TabIcon(QStringLiteral("mouth"), QStringLiteral("Mouth"), [](QPainter &p) {
        p.setBrush(QColor(230, 80, 100));
        QPainterPath path;
        path.moveTo(-24, -4);
        path.cubicTo(-10, -12, 10, -12, 24, -4);
        path.cubicTo(12, 20, -12, 20, -24, -4);
        p.drawPath(path);
    });
    TabIcon(QStringLiteral("glass"), QStringLiteral("Glasses"), [](QPainter &p) {
        p.drawEllipse(QPointF(-15, 0), 12, 11);
        p.drawEllipse(QPointF(15, 0), 12, 11);
        p.drawLine(QPointF(-3, -2), QPointF(3, -2));
        p.drawLine(QPointF(-27, -2), QPointF(-34, -6));
        p.drawLine(QPointF(27, -2), QPointF(34, -6));
    });
    TabIcon(QStringLiteral("hand"), QStringLiteral("Body"), [](QPainter &p) {
        p.setBrush(QColor(130, 180, 240));
        QPainterPath path;
        path.moveTo(-26, 26);
        path.cubicTo(-26, 4, -14, -4, 0, -4);
        path.cubicTo(14, -4, 26, 4, 26, 26);
        path.closeSubpath();
        p.drawPath(path);
        p.setBrush(QColor(255, 224, 200));
        p.drawEllipse(QPointF(0, -16), 10, 10);
    });
    TabIcon(QStringLiteral("bkg"), QStringLiteral("Backdrop"), [](QPainter &p) {
        p.drawRoundedRect(QRectF(-28, -22, 56, 44), 5, 5);
        p.setBrush(QColor(110, 190, 110));
        p.drawPolygon(QPolygonF({QPointF(-26, 20), QPointF(-6, -6), QPointF(8, 10),
                                 QPointF(16, 2), QPointF(26, 20)}));
        p.setBrush(QColor(255, 200, 40));
        p.drawEllipse(QPointF(14, -10), 5, 5);
    });
    TabIcon(QStringLiteral("paopao"), QStringLiteral("Bubble"), [](QPainter &p) {
        p.setBrush(Qt::white);
        QPainterPath path;
        path.addRoundedRect(QRectF(-28, -22, 56, 34), 14, 14);
        path.moveTo(-10, 12);
        path.lineTo(-16, 24);
        path.lineTo(2, 12);
        p.drawPath(path.simplified());
    });
    TabIcon(QStringLiteral("fg"), QStringLiteral("Front"), [accent](QPainter &p) {
        p.setBrush(accent);
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const qreal r = i % 2 ? 11 : 26;
            const qreal a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
            star << QPointF(r * std::cos(a), r * std::sin(a));
        }
        p.drawPolygon(star);
    });
    TabIcon(QStringLiteral("web"), QStringLiteral("Web"), [](QPainter &p) {
        p.drawEllipse(QPointF(0, 0), 24, 24);
        p.drawEllipse(QRectF(-10, -24, 20, 48));
        p.drawLine(QPointF(-24, 0), QPointF(24, 0));
    });

    QImage sep = Blank(2, 80);
    sep.fill(QColor(200, 200, 205));
    Save(sep, QStringLiteral("separator.png"));
}

void ThumbBack(int aiSize, const QString &asName)
{
    QImage img = Blank(aiSize, aiSize);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal k = aiSize / 100.0;
    p.setPen(QPen(QColor(220, 220, 228), 2 * k));
    p.setBrush(QColor(250, 250, 252));
    p.drawRoundedRect(QRectF(k, k, aiSize - 2 * k, aiSize - 2 * k), 10 * k, 10 * k);
    p.end();
    Save(img, asName);
}

// The bubble frame's round buttons (64 x 64) and the text dialog's two wide
// buttons (300 x 80, shown at 150 x 40).
void BubbleButtons()
{
    const auto round = [](const QString &asName, const QColor &aoColor, const TGlyph &aoGlyph) {
        QImage img = Blank(64, 64);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::white, 3));
        p.setBrush(aoColor);
        p.drawEllipse(QRectF(4, 4, 56, 56));
        p.translate(32, 32);
        p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        aoGlyph(p);
        p.end();
        Save(img, asName);
    };
    round(QStringLiteral("paopao_close.png"), QColor(220, 60, 60), [](QPainter &p) {
        p.drawLine(QPointF(-11, -11), QPointF(11, 11));
        p.drawLine(QPointF(-11, 11), QPointF(11, -11));
    });
    round(QStringLiteral("paopao_edit.png"), QColor(60, 130, 220), [](QPainter &p) {
        // A pencil.
        p.drawLine(QPointF(-12, 12), QPointF(10, -10));
        p.drawLine(QPointF(-12, 12), QPointF(-14, 14));
        p.drawLine(QPointF(6, -14), QPointF(14, -6));
    });
    const auto wide = [](const QString &asName, const QColor &aoColor, const QColor &aoText,
                         const QString &asCaption) {
        QImage img = Blank(300, 80);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(190, 190, 196), 2));
        p.setBrush(aoColor);
        p.drawRoundedRect(QRectF(2, 2, 296, 76), 38, 38);
        p.setPen(aoText);
        p.setFont(Font(30, true));
        p.drawText(QRectF(0, 0, 300, 80), Qt::AlignCenter, asCaption);
        p.end();
        Save(img, asName);
    };
    wide(QStringLiteral("paopao_confirm.png"), QColor(240, 90, 120), Qt::white, QStringLiteral("OK"));
    wide(QStringLiteral("paopao_cancel.png"), Qt::white, QColor(70, 70, 80), QStringLiteral("Cancel"));
}

// A short chime: PCM, 2 channels, 16 bits, 11025 samples per second.
void Chime(const QString &asName, double arSeconds, std::initializer_list<double> aoNotes)
{
    constexpr int kRate = 11025;
    constexpr int kChannels = 2;
    const int frames = static_cast<int>(arSeconds * kRate);
    const std::vector<double> notes(aoNotes);
    const double step = arSeconds / (notes.size() + 1);

    QByteArray pcm(frames * kChannels * 2, '\0');
    auto *out = reinterpret_cast<uchar *>(pcm.data());
    for (int i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / kRate;
        double v = 0;
        for (size_t n = 0; n < notes.size(); ++n) {
            const double start = n * step;
            if (t < start)
                continue;
            const double u = t - start;
            v += std::sin(2 * std::numbers::pi * notes[n] * u) * std::exp(-4.0 * u) *
                 std::min(1.0, u * 200);
        }
        // Fade the tail so the sound ends in silence.
        v *= std::min(1.0, (arSeconds - t) * 20) * 0.35;
        const auto sample = static_cast<qint16>(std::lround(std::clamp(v, -1.0, 1.0) * 32767));
        for (int c = 0; c < kChannels; ++c)
            qToLittleEndian<qint16>(sample, out + (i * kChannels + c) * 2);
    }

    QByteArray wav;
    auto u32 = [&wav](quint32 v) {
        char b[4];
        qToLittleEndian<quint32>(v, b);
        wav.append(b, 4);
    };
    auto u16 = [&wav](quint16 v) {
        char b[2];
        qToLittleEndian<quint16>(v, b);
        wav.append(b, 2);
    };
    wav.append("RIFF");
    u32(36 + pcm.size());
    wav.append("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(kChannels);
    u32(kRate);
    u32(kRate * kChannels * 2);
    u16(kChannels * 2);
    u16(16);
    wav.append("data");
    u32(pcm.size());
    wav.append(pcm);

    QFile file(gOutDir + u'/' + asName);
    if (!file.open(QIODevice::WriteOnly) || file.write(wav) != wav.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        gFailed = true;
    }
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
    PackOverlay(1);
    PackOverlay(2);
    Logos();
    TabIcons();
    BubbleButtons();
    ThumbBack(100, QStringLiteral("thumbback.png"));
    ThumbBack(200, QStringLiteral("thumbback@2x.png"));
    Chime(QStringLiteral("res_audio_1"), 1.4, {1046.5, 1318.5, 1568.0});
    Chime(QStringLiteral("res_audio_2"), 1.1, {1318.5, 1568.0});
    return gFailed ? 1 : 0;
}
