#include "editor/untVuploraBubbleText.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "errors/errors.h"
#include "svg/model/dom/document.h"
#include "svg/model/dom/text.h"
#include "svg/render/text.h"
#include "svg/render/text_metrics.h"

#include <QBuffer>

#include <cmath>

namespace {

constexpr float STEP = 0.25f;
const QChar ELLIPSIS(0x2026);

struct TBox {
    TCanvasFont Font;
    float Width;
    float Height;
};

bool Fits(const TBox &aoBox, const QString &asText)
{
    const std::vector<TTextLine> lines = TTextMetrics::Lines(aoBox.Font, asText, aoBox.Width);
    const float lineHeight = TTextMetrics::Ascent(aoBox.Font) + TTextMetrics::Descent(aoBox.Font);
    if (float(lines.size()) * lineHeight > aoBox.Height)
        return false;
    for (const TTextLine &line : lines)
        if (line.Width > aoBox.Width)
            return false;
    return true;
}

// The beginning of asText that fits the box at its font size, ended with an
// ellipsis: whole lines as far as they fit, the last one shortened.
QString CutToFit(const TBox &aoBox, const QString &asText)
{
    const std::vector<TTextLine> lines = TTextMetrics::Lines(aoBox.Font, asText, aoBox.Width);
    const float lineHeight = TTextMetrics::Ascent(aoBox.Font) + TTextMetrics::Descent(aoBox.Font);
    const int room = std::max(1, int(std::floor(aoBox.Height / lineHeight)));
    // Where each line starts in the text.
    qsizetype from = 0;
    for (int i = 0; i < room && i < int(lines.size()); ++i) {
        const qsizetype at = asText.indexOf(lines[size_t(i)].Text, from);
        from = (at < 0 ? from : at) + lines[size_t(i)].Text.size();
        if (lines[size_t(i)].Width > aoBox.Width)
            break;
    }
    QString shown = asText.left(from).trimmed() + ELLIPSIS;
    // The last line gives up characters until the whole fits; at worst only
    // the ellipsis is left.
    while (!Fits(aoBox, shown) && shown.size() > 1) {
        shown.chop(2);
        shown = shown.trimmed() + ELLIPSIS;
    }
    return shown;
}

const TSVGText *TextBox(const TSVGElement &aoElement)
{
    for (int i = 0; i < aoElement.Count(); ++i) {
        const TSVGElement *child = aoElement.Items(i);
        if (const auto *text = dynamic_cast<const TSVGText *>(child); text && SVGTextIsBox(*text))
            return text;
        if (const TSVGText *inner = TextBox(*child))
            return inner;
    }
    return nullptr;
}

} // namespace

TBubbleTextFit FitBubbleText(const TSVGText &aoText, float arDesignSize, const QString &asText)
{
    TBox box{SVGResolveFont(aoText), aoText.Width(), aoText.Height()};
    box.Font.Overline = false;
    const auto fitsAt = [&](float arSize) {
        box.Font.Size = arSize;
        return Fits(box, asText);
    };
    // Sizes are counted in steps down from the designed one; the fit is found
    // by halving, since a smaller size never needs more room.
    const int steps = int(std::floor(arDesignSize / 2 / STEP));
    const auto sizeAt = [&](int k) { return arDesignSize - float(k) * STEP; };
    TBubbleTextFit fit;
    if (fitsAt(arDesignSize)) {
        fit.Size = arDesignSize;
        fit.Shown = asText;
        return fit;
    }
    if (!fitsAt(sizeAt(steps))) {
        fit.Size = sizeAt(steps);
        fit.Shown = CutToFit(box, asText);
        fit.Cut = true;
        return fit;
    }
    int fails = 0, fitsIndex = steps;
    while (fitsIndex - fails > 1) {
        const int mid = (fails + fitsIndex) / 2;
        (fitsAt(sizeAt(mid)) ? fitsIndex : fails) = mid;
    }
    fit.Size = sizeAt(fitsIndex);
    fit.Shown = asText;
    return fit;
}

bool FitPaopaoDocument(QBuffer &aoStream)
{
    TPaopaoTextFit record;
    try {
        if (aoStream.size() == 0 || !ReadPaopaoTextFit(aoStream, record))
            return false;
    } catch (const EVuploraError &) {
        // A text element holding more than text is not ours to fit; the
        // engine draws it as it stands.
        return false;
    }
    aoStream.seek(0);
    TSVGDocument document;
    document.LoadFromStream(aoStream);
    aoStream.seek(0);
    const TSVGText *text = TextBox(document);
    if (!text)
        return false;
    if (record.DesignSize <= 0)
        record.DesignSize = text->GetResolvedFontSize();
    if (record.DesignSize <= 0)
        return false;
    const TBubbleTextFit fit = FitBubbleText(*text, record.DesignSize, record.FullText);
    const QByteArray before = aoStream.data();
    WritePaopaoTextFit(aoStream, fit.Size, fit.Shown, record);
    return aoStream.data() != before;
}
