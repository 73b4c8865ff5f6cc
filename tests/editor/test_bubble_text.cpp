// Bubble text that fits: over every bubble of both packs in both languages,
// texts short and long stay inside the bubble's shape, at the designed size
// when they can, smaller down to half of it, then cut with an ellipsis; the
// fitted document fits again to itself, and the whole text is kept.

#include "editortestsupport.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraBubbleText.h"
#include "editor/untVuploraForm.h"
#include "svg/render/image_buffer.h"
#include "svg/model/dom/document.h"

#include <QBuffer>
#include <QRegularExpression>

namespace {

using TBubbleTextTest = TEditorTest;

QImage Render(const QByteArray &aoDocument)
{
    QBuffer buffer;
    buffer.setData(aoDocument);
    buffer.open(QIODevice::ReadOnly);
    TSVGDocument document;
    document.LoadFromStream(buffer);
    QImage image(450, 450, QImage::Format_ARGB32_Premultiplied);
    RenderElementToBitmap(image, &document);
    return image;
}

float FontSize(const QByteArray &aoDocument)
{
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("<text[^>]* font-size=\"([0-9.]+)\"")).match(QString::fromUtf8(aoDocument));
    return m.hasMatch() ? m.captured(1).toFloat() : 0;
}

QString Words(int aiChars, bool abChinese)
{
    const QString unit = abChinese ? QStringLiteral("我今天做了头像") : QStringLiteral("Vuplora wraps ");
    QString text;
    while (text.size() < aiChars)
        text += unit;
    text.truncate(aiChars);
    return text.trimmed().isEmpty() ? QStringLiteral("V") : text;
}

TEST_F(TBubbleTextTest, EveryBubbleKeepsTextsOfEveryLengthInsideItsShape)
{
    const char *const languages[] = {"en", "zh"};
    for (int pack : {1, 2}) {
        for (const char *lang : languages) {
            giPackIndex = pack;
            moFake.Locale.LangID = QLatin1String(lang);
            TfrmVuplora frm;
            const bool chinese = gbLangCN;
            frm.imgTabPaopaoClick();
            for (int row = 1; row < frm.changeBox->count(); ++row) {
                moErrors.clear();
                RunReportingErrors([&] { frm.changeBoxItemClick(nullptr, frm.changeBox->item(row)); });
                if (!moErrors.isEmpty() || gsPaopaoText.isEmpty())
                    continue; // the test pack's broken bubble, and the one without text
                float previous = 1e9f;
                for (int chars : {1, 40, 120, 400}) {
                    SCOPED_TRACE(QStringLiteral("pack %1 %2 bubble %3, %4 characters")
                                     .arg(pack).arg(QLatin1String(lang)).arg(row).arg(chars).toStdString());
                    const QString text = Words(chars, chinese);
                    gsNewPaopaoText = text;
                    frm.ApplyPaopaoText();
                    const QByteArray fitted = goPaopaoStream->data();

                    // Fitting the fitted document changes nothing, and the whole
                    // text is what the dialog offers again.
                    QBuffer again;
                    again.setData(fitted);
                    again.open(QIODevice::ReadWrite);
                    EXPECT_FALSE(FitPaopaoDocument(again));
                    TPaopaoTextFit record;
                    again.seek(0);
                    ASSERT_TRUE(ReadPaopaoTextFit(again, record));
                    EXPECT_EQ(record.FullText, text);
                    EXPECT_EQ(record.DesignSize, 30);

                    const float size = FontSize(fitted);
                    EXPECT_LE(size, previous);
                    EXPECT_GE(size, 15);
                    previous = size;
                    if (chars == 1) {
                        EXPECT_EQ(size, 30);
                    }
                    const bool cut = fitted.contains("fulltext=");
                    EXPECT_EQ(cut, QString::fromUtf8(fitted).contains(QChar(0x2026)));
                    if (cut) {
                        EXPECT_EQ(size, 15);
                    }

                    // The text's pixels are those that differ from the bubble
                    // without text; each lies on the bubble's opaque shape.
                    QBuffer empty;
                    empty.setData(fitted);
                    empty.open(QIODevice::ReadWrite);
                    WritePaopaoTextFit(empty, size, QStringLiteral(" "), record);
                    const QImage with = Render(fitted);
                    const QImage without = Render(empty.data());
                    int textPixels = 0, outside = 0;
                    for (int y = 0; y < with.height(); ++y)
                        for (int x = 0; x < with.width(); ++x)
                            if (with.pixel(x, y) != without.pixel(x, y)) {
                                ++textPixels;
                                if (qAlpha(without.pixel(x, y)) < 255)
                                    ++outside;
                            }
                    EXPECT_GT(textPixels, 0);
                    EXPECT_EQ(outside, 0);
                }
            }
            EXPECT_TRUE(moErrors.isEmpty() || moErrors.size() == 1) << moErrors.join(u'\n');
        }
    }
}

TEST_F(TBubbleTextTest, ANewTextIsWholeAgainAndGrowsBackToTheDesignedSize)
{
    TfrmVuplora frm;
    frm.imgTabPaopaoClick();
    RunReportingErrors([&] { frm.changeBoxItemClick(nullptr, frm.changeBox->item(1)); });
    gsNewPaopaoText = Words(400, false);
    frm.ApplyPaopaoText();
    EXPECT_EQ(FontSize(goPaopaoStream->data()), 15);
    EXPECT_TRUE(goPaopaoStream->data().contains("fulltext="));
    gsNewPaopaoText = QStringLiteral("Hi");
    frm.ApplyPaopaoText();
    EXPECT_EQ(FontSize(goPaopaoStream->data()), 30);
    EXPECT_FALSE(goPaopaoStream->data().contains("fulltext="));
    EXPECT_EQ(gsPaopaoText, Words(400, false));
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
}

} // namespace
