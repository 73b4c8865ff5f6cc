// The editor window's speech bubble: choosing one in the browser, showing its
// selection, closing it, and editing its text.

#include "editor/untVuploraForm.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untVuploraBubbleText.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraUndo.h"
#include "svg/controls/svg_document_component.h"
#include "svg/model/dom/document.h"

#include <QLocale>

namespace {

// What GetSVG hands the chosen bubble to: the document component the bubble
// image shows, and the frame around it.
class TBubbleView : public IPaopaoView {
public:
    TBubbleView(TRSFmxSVGDocument *aoDocument, TPaopaoFrame *aoFrame)
        : moDocument(aoDocument), moFrame(aoFrame) {}

    void ClearDocument() override { moDocument->SVG()->Clear(); }
    void LoadDocument(QIODevice &aoData) override { moDocument->SVG()->LoadFromStream(aoData); }
    void ShowEditButton(bool abShown) override { moFrame->imgPaopaoEdit->setVisible(abShown); }
    void MoveFrame(const QPointF &aoPos) override { moFrame->setPos(aoPos); }
    void SizeFrameToDocument() override
    {
        TSVGDocument *svg = moDocument->SVG();
        moFrame->SetSize(QSizeF(svg->Width(), svg->Height()));
    }

private:
    TRSFmxSVGDocument *moDocument;
    TPaopaoFrame *moFrame;
};

QString TwoDecimals(qreal arValue)
{
    return QLocale().toString(arValue, 'f', 2);
}

} // namespace

void TfrmVuplora::ApplyBubble(qint32 i)
{
    TPaopaoImage *S = FCurrentImage.SVG;
    if (!S || !S->FaceItem())
        return;
    TFaceItem &B = *S->FaceItem();
    // A confirmed text belongs to one bubble.
    if (B.miIndex != i)
        gsNewPaopaoText.clear();
    B.miIndex = i;
    setWindowTitle(QStringLiteral("w:%1, h:%2, x:%3, y:%4")
                       .arg(TwoDecimals(S->Width()), TwoDecimals(S->Height()), TwoDecimals(S->x()),
                            TwoDecimals(S->y())));
    TPaopaoFrame *frame = slCanvas->slPaopao;
    if (i == 0) {
        frame->setVisible(false);
        return;
    }
    // A bubble that fails to load leaves the current one as it was, hidden or
    // shown.
    const bool wasVisible = frame->isVisible();
    frame->setVisible(true);
    TBubbleView view(SVGDoc, frame);
    try {
        goFaceRes->GetSVG(view, fiPaopao, i, ifFile, gbLangCN);
    } catch (...) {
        frame->setVisible(wasVisible);
        throw;
    }
    FitPaopaoText();
}

void TfrmVuplora::slPaopaoClick(QObject *)
{
    TPaopaoFrame *frame = slCanvas->slPaopao;
    // The frame reports a click at the end of every drag.
    if (FHistory)
        FHistory->Record(QStringLiteral("Move bubble"));
    if (frame->SelectionShown())
        return;
    frame->SetSelectionShown(true);
    frame->imgPaopaoClose->setVisible(true);
    frame->imgPaopaoEdit->setVisible(!gsPaopaoText.isEmpty());
}

void TfrmVuplora::HidePaopaoSelection()
{
    TPaopaoFrame *frame = slCanvas->slPaopao;
    frame->SetSelectionShown(false);
    frame->imgPaopaoClose->setVisible(false);
    frame->imgPaopaoEdit->setVisible(false);
}

void TfrmVuplora::imgPaopaoCloseClick(QObject *)
{
    const TRecordStep step(FHistory, QStringLiteral("Close bubble"));
    HidePaopaoSelection();
    slCanvas->slPaopao->setVisible(false);
}

void TfrmVuplora::imgPaopaoEditClick(QObject *)
{
    const TRecordStep step(FHistory, QStringLiteral("Edit bubble text"));
    ShowEditPaopao();
    // Also after a cancel: the text confirmed earlier is applied again.
    ApplyPaopaoText();
}

void TfrmVuplora::ApplyPaopaoText()
{
    if (gsNewPaopaoText.isEmpty() || !goPaopaoStream)
        return;
    SetPaopaoText(*goPaopaoStream, gsNewPaopaoText);
    FitPaopaoDocument(*goPaopaoStream);
    goPaopaoStream->seek(0);
    SVGDoc->SVG()->LoadFromStream(*goPaopaoStream);
}

void TfrmVuplora::FitPaopaoText()
{
    if (!goPaopaoStream || !FitPaopaoDocument(*goPaopaoStream))
        return;
    goPaopaoStream->seek(0);
    SVGDoc->SVG()->LoadFromStream(*goPaopaoStream);
    goPaopaoStream->seek(0);
}
