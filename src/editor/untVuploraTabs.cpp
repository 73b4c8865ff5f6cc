// The editor window's category tabs and item browser: choosing a category,
// filling the browser with its thumbnails, and putting a chosen item on its
// layer, with the slide of the facial features.

#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"

#include "compose/untVuploraCompose.h"
#include "editor/untVuploraUndo.h"

#include <QEventLoop>
#include <QPropertyAnimation>
#include <QSignalBlocker>

namespace {

constexpr qreal SLIDE_OUT_SECONDS = 0.3;
constexpr qreal SLIDE_IN_SECONDS = 0.2;

// Sets a flag for its lifetime; every way out of the scope clears it.
class TFlagScope {
public:
    explicit TFlagScope(bool &abFlag) : mbFlag(abFlag) { mbFlag = true; }
    ~TFlagScope() { mbFlag = false; }
    TFlagScope(const TFlagScope &) = delete;
    TFlagScope &operator=(const TFlagScope &) = delete;

private:
    bool &mbFlag;
};

} // namespace

void TfrmVuplora::TabClick(TYPE_FACE_ITEM fiType)
{
    FCurrentImage.setImage(slCanvas->Layer(fiType));
    SelectTab(rgtToolbar->Tab(fiType));
    ShowItems(fiType);
}

void TfrmVuplora::imgTabEmojiClick() { TabClick(fiEmoji); }
void TfrmVuplora::imgTabFaceClick() { TabClick(fiFace); }
void TfrmVuplora::imgTabHairClick() { TabClick(fiHair); }
void TfrmVuplora::imgTabBrowClick() { TabClick(fiBrow); }
void TfrmVuplora::imgTabEyesClick() { TabClick(fiEye); }
void TfrmVuplora::imgTabNoseClick() { TabClick(fiNose); }
void TfrmVuplora::imgTabMouthClick() { TabClick(fiMouth); }
void TfrmVuplora::imgTabGlassClick() { TabClick(fiGlasses); }
void TfrmVuplora::imgTabHandClick() { TabClick(fiHand); }
void TfrmVuplora::imgTabBKGClick() { TabClick(fiBG); }
void TfrmVuplora::imgTabPaopaoClick() { TabClick(fiPaopao); }
void TfrmVuplora::imgTabFGClick() { TabClick(fiFG); }

void TfrmVuplora::StepTab(int aiStep)
{
    const auto &categories = Categories();
    const int n = int(categories.size());
    int current = 0;
    for (int i = 0; i < n; ++i)
        if (rgtToolbar->Tab(categories[size_t(i)].Type) == FCurrentTab)
            current = i;
    TabClick(categories[size_t(((current + aiStep) % n + n) % n)].Type);
}

TYPE_FACE_ITEM TfrmVuplora::CurrentCategory() const
{
    for (const TCategory &category : Categories())
        if (rgtToolbar->Tab(category.Type) == FCurrentTab)
            return category.Type;
    return fiHand;
}

void TfrmVuplora::SelectTab(TImageControl *aoTab)
{
    FCurrentTab = aoTab;
    for (const TCategory &category : Categories())
        rgtToolbar->Glow(category.Type)->setEnabled(rgtToolbar->Tab(category.Type) == FCurrentTab);
}

void TfrmVuplora::ShowItems(TYPE_FACE_ITEM fiType)
{
    if (!gbItemSizeSet) {
        // The width of this first call holds for the whole run.
        gbItemSizeSet = true;
        changeBox->SetItemSize(static_cast<qreal>(changeBox->ClientWidth()) / giItemsPerRow - 10,
                               giItemsPerRow);
    }
    ClearItems();
    std::vector<QImage> thumbs;
    const auto addCells = [&] {
        for (size_t i = 0; i < thumbs.size(); ++i)
            changeBox->AddCell(std::make_unique<TFaceItem>(fiType, qint32(i)), thumbs[i]);
    };
    try {
        goFaceRes->GetBitmaps(thumbs, fiType, ifThumb, fiType == fiPaopao && gbLangCN);
    } catch (...) {
        // The cells read before a broken thumbnail are shown, then the error is
        // reported as usual.
        addCells();
        throw;
    }
    addCells();
    // The picker shows the layer's stored colour; nothing is recoloured.
    if (FCurrentImage.Image && FCurrentImage.Image->FaceItem()) {
        const QSignalBlocker quiet(rgColor->cmbColor);
        rgColor->cmbColor->SetColor(FCurrentImage.Image->FaceItem()->miColor);
    }
}

void TfrmVuplora::ClearItems()
{
    changeBox->ClearItems();
}

void TfrmVuplora::changeBoxItemClick(QObject *, QListWidgetItem *Item)
{
    if (FChanging)
        return;
    const TRecordStep step(FHistory, QStringLiteral("Choose ") + QLatin1String(FACE_ITEM_NAMES[CurrentCategory()]));
    const TFlagScope changing(FChanging);
    // A tab click while the slide is waited for refills the browser; the
    // clicked cell must outlive this handler.
    const TItemBrowser::THold hold(changeBox);

    const auto *cell = dynamic_cast<TBrowserCell *>(Item);
    if (!cell || !cell->FaceItem())
        return;
    // Taken once as values: neither the cell nor the current layer may change
    // under the rest of the click.
    const TYPE_FACE_ITEM c = cell->FaceItem()->moType;
    const qint32 i = cell->FaceItem()->miIndex;
    if (c == fiPaopao)
        ApplyBubble(i);
    else
        ApplyItem(c, i);
    ShowEmojiOrFeatures(c, i);
}

void TfrmVuplora::ApplyItem(TYPE_FACE_ITEM c, qint32 i)
{
    TLayerImage *L = FCurrentImage.Image;
    if (!L || !L->FaceItem())
        return;
    L->FaceItem()->miIndex = i;
    const qreal homeX = FACE_ITEM_RECTS[c].x();
    const bool slides = CategoryRules(c).Slides;

    // The layer goes back to its place even when loading the item fails:
    // otherwise a failed load leaves it slid out of the canvas and out of every
    // later save.
    struct THome {
        TLayerImage *Layer;
        qreal X;
        ~THome() { Layer->setX(X); }
    } home{L, homeX};

    if (slides)
        SlideLayerX(L, L->x(), -CANVAS_WIDTH, SLIDE_OUT_SECONDS);

    if (c == fiFace) {
        SetFace(i);
    } else {
        QImage bitmap = L->Bitmap();
        GetItemPicture(*goFaceRes, bitmap, c, i, L->FaceItem() ? L->FaceItem()->miColor : 0);
        L->SetBitmap(bitmap);
        if (c == fiBG)
            SetFace(giFaceIndex);
    }

    if (slides)
        SlideLayerX(L, CANVAS_WIDTH, homeX, SLIDE_IN_SECONDS);
}

void TfrmVuplora::ShowEmojiOrFeatures(TYPE_FACE_ITEM c, qint32 i)
{
    TLayerImage *features[] = {slCanvas->imgBrow, slCanvas->imgNose, slCanvas->imgMouth,
                               slCanvas->imgEyes};
    bool showEmoji;
    if (c == fiEmoji && i != 0)
        showEmoji = true;
    else if (c == fiBrow || c == fiNose || c == fiMouth || c == fiEye || c == fiEmoji)
        showEmoji = false;
    else
        return;
    slCanvas->imgEmoji->setVisible(showEmoji);
    for (TLayerImage *feature : features)
        feature->setVisible(!showEmoji);
}

void TfrmVuplora::SlideLayerX(TLayerControl *aoLayer, qreal arFrom, qreal arTo, qreal arSeconds)
{
    // A slide of the same layer still running stops first.
    const QString name = QStringLiteral("slideX");
    for (auto *running : aoLayer->findChildren<QPropertyAnimation *>(name, Qt::FindDirectChildrenOnly))
        running->stop();

    auto *animation = new QPropertyAnimation(aoLayer, "x", aoLayer);
    animation->setObjectName(name);
    animation->setStartValue(arFrom);
    animation->setEndValue(arTo);
    animation->setDuration(qRound(arSeconds * 1000));
    animation->setEasingCurve(QEasingCurve::Linear);

    QEventLoop wait;
    // Stopped covers both the end and a stop by a newer slide; destroyed covers
    // the layer going away.
    connect(animation, &QAbstractAnimation::stateChanged, &wait,
            [&wait](QAbstractAnimation::State aeNew) {
                if (aeNew == QAbstractAnimation::Stopped)
                    wait.quit();
            });
    connect(animation, &QObject::destroyed, &wait, &QEventLoop::quit);
    QPointer<QPropertyAnimation> guard(animation);
    animation->start();
    if (animation->state() == QAbstractAnimation::Running)
        wait.exec();
    if (guard)
        guard->deleteLater();
}
