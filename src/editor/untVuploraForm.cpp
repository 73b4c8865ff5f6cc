#include "editor/untVuploraForm.h"

#include "compose/untVuploraHeadless.h"
#include "editor/untHelper.h"
#include "editor/untSelectPack.h"
#include "editor/untVuploraCategories.h"
#include "editor/untVuploraKeyboard.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraMenu.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraPortraitFile.h"
#include "editor/untVuploraRecovery.h"
#include "editor/untVuploraSettings.h"
#include "editor/untVuploraUndo.h"
#include "svg/controls/svg_document_component.h"
#include "platform_ui/errorreport.h"
#include "platform/platform.h"
#include "platform/resources.h"
#include "platform/screenservice.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>


Q_LOGGING_CATEGORY(lcVuploraRandom, "vuplora.random", QtInfoMsg)

qint32 giWindowWidth = 842;
qint32 giWindowHeight = 664;
qint32 giFaceIndex = 0;
QString gsNewPaopaoText;
bool gbLangCN = false;
qint32 giItemsPerRow = 2;
bool gbItemSizeSet = false;
bool gbLayersReady = false;

TfrmVuplora *frmVuplora = nullptr;

namespace {

const QColor WINDOW_COLOR(0x40, 0x40, 0x40);

} // namespace

void ResetEditorGlobals()
{
    giWindowWidth = 842;
    giWindowHeight = 664;
    giFaceIndex = 0;
    gsNewPaopaoText.clear();
    gbLangCN = false;
    giItemsPerRow = 2;
    gbItemSizeSet = false;
    gbLayersReady = false;
}

const QList<TScreenFit> &ScreenFits()
{
    static const QList<TScreenFit> fits = {
        {1440, 992, 1220, 350, 1.0, 2},
        {900, 992, 786, 500, 0.62, 3},
        {700, 992, 626, 600, 0.48, 3},
    };
    return fits;
}

void TCurrentImage::setImage(QGraphicsObject *moImg)
{
    // Only a plain bitmap layer counts as an image; anything else is the bubble.
    if (moImg && moImg->metaObject() == &TLayerImage::staticMetaObject) {
        bSVG = false;
        Image = static_cast<TLayerImage *>(moImg);
    } else {
        bSVG = true;
        SVG = qobject_cast<TPaopaoImage *>(moImg);
    }
}

TfrmVuplora::TfrmVuplora(QWidget *aoParent) : QWidget(aoParent), FPicks(FreshSeed())
{
    try {
        FormCreate();
    } catch (...) {
        // The destructor does not run for a half-made window; release what the
        // creation steps made before the error goes on to the caller.
        FormDestroy();
        throw;
    }
}

TfrmVuplora::~TfrmVuplora()
{
    FormDestroy();
}

void TfrmVuplora::FormCreate()
{
    ResetEditorGlobals();
    goPaopaoStream = new QBuffer;
    goPaopaoStream->open(QIODevice::ReadWrite);
    frmVuplora = this;
    setObjectName(QStringLiteral("frmVuplora"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, WINDOW_COLOR);
    setPalette(palette);
    setAutoFillBackground(true);
    CreateControls();

    FitToScreen();
    FChanging = false;
    FisMouseDown = false;
    FDownX = 0;
    FDownY = 0;

    goFaceRes = new TFaceRes;
    goFaceRes->LoadRes(QStringLiteral("res_girl"));

    // Title bar with system menu and minimise; no maximise, no resizing.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);

    gbLangCN = IsLangCN();
    LoadLogo();

    InitLayers();
    RandomPortrait(FreshSeed(), true);
    imgTabHandClick();
    ShowToolbarTips(rgtToolbar, gbLangCN);
    FHistory->Reset();
    // The watermark keeps the pointer while a button is held, so a drag goes on
    // outside it.
    slCanvas->imgIcon->SetAutoCapture(true);
    InstallPortraitFileActions(this);
    InstallEditorMenu(this);
    InstallRecovery(this);
}

void TfrmVuplora::FormDestroy()
{
    if (changeBox)
        ClearItems();
    if (slCanvas)
        FreeLayerItems();
    delete goFaceRes;
    goFaceRes = nullptr;
    delete goPaopaoStream;
    goPaopaoStream = nullptr;
    // The hidden text dialog of start-up goes with the window it belongs to.
    ReleaseEditPaopao();
    if (frmVuplora == this)
        frmVuplora = nullptr;
}

void TfrmVuplora::CreateControls()
{
    // Created bottom to top: the browser panel lies over a canvas that reaches
    // into it on low screens.
    slCanvas = new TLayerCanvas(this);
    rgtToolbar = new TVuploraToolbar(this);
    rgColor = new TVuploraColorBar(this);
    rgColor->setVisible(SettingColorsShown());
    plPreview = new QWidget(this);
    plPreview->setObjectName(QStringLiteral("plPreview"));
    plPreview->setFixedWidth(DESIGN_PANEL_WIDTH);
    changeBox = new TItemBrowser(plPreview);
    imgThumbback = new TImageControl(this);
    imgThumbback->setObjectName(QStringLiteral("imgThumbback"));
    imgThumbback->setVisible(false);
    const bool bHighDpi = devicePixelRatioF() >= 2;
    imgThumbback->SetPicture(
        LayoutPicture(bHighDpi ? QStringLiteral("thumbback@2x.png") : QStringLiteral("thumbback.png")));
    changeBox->SetThumbBack(imgThumbback->Picture());
    // The SVG engine asks nobody for the user's languages; the application
    // hands them over before the bubble document exists.
    if (ILocaleService *locale = Platform().Locale)
        SVGSetUserLanguages(locale->GetPreferredLanguages());
    SVGDoc = new TRSFmxSVGDocument(this);
    SVGDoc->setObjectName(QStringLiteral("SVGDoc"));
    SVGDoc->SetPreferredLanguage(QStringLiteral("EN"));
    slCanvas->slPaopao->imgPaopao->SetSVGDocument(SVGDoc);
    FHistory = new TPortraitHistory(this);
    FLocks = new TLayerLocks(rgtToolbar, this);

    ConnectControls();
    InstallEditorKeys(this);
}

void TfrmVuplora::LoadLogo()
{
    const QByteArray logo =
        ResourceProvider().Open(gbLangCN ? QStringLiteral("res_logo_cn") : QStringLiteral("res_logo_en"));
    const QString name = gbLangCN ? QStringLiteral("维普乐 - ") : QStringLiteral("Vuplora - ");
    setWindowTitle(name + QString::fromUtf16(PRODUCT_WEB_ADDRESS));
    QImage bitmap;
    if (!bitmap.loadFromData(logo))
        throw EVuploraError(QStringLiteral("Loading bitmap failed."));
    bitmap.convertTo(QImage::Format_ARGB32_Premultiplied);
    slCanvas->imgIcon->SetBitmap(bitmap);
}

void TfrmVuplora::FitToScreen()
{
    int width = 0;
    int height = 0;
    if (QueryScreenSize(width, height)) {
        for (const TScreenFit &fit : ScreenFits()) {
            if (height < fit.MinHeight)
                continue;
            giWindowWidth = fit.WindowWidth;
            giWindowHeight = fit.WindowHeight;
            plPreview->setFixedWidth(fit.PanelWidth);
            slCanvas->SetCanvasScale(fit.CanvasScale);
            giItemsPerRow = fit.ItemsPerRow;
            break;
        }
    }
    SetOuterSize(giWindowWidth, giWindowHeight);
}

void TfrmVuplora::InitLayers()
{
    if (gbLayersReady)
        return;
    gbLayersReady = true;

    const qreal x = (FOuterSize.width() - plPreview->width() - CANVAS_WIDTH * slCanvas->CanvasScale()) / 2;
    slCanvas->SetPosition(QPointF(x, TVuploraToolbar::HEIGHT));

    for (const TCategory &category : Categories())
        InitLayer(slCanvas->Layer(category.Type), category.Type);
}

void TfrmVuplora::InitLayer(QGraphicsObject *aoLayer, TYPE_FACE_ITEM fiType)
{
    const QRect r = FACE_ITEM_RECTS[fiType];
    aoLayer->setScale(1);
    if (auto *image = qobject_cast<TLayerImage *>(aoLayer)) {
        image->setPos(r.x(), r.y());
        image->SetWidth(r.width());
        image->SetHeight(r.height());
        image->SetHitTest(false);
    }
    // The bubble image keeps filling its frame; only its TFaceItem records the
    // default rectangle.
    slCanvas->FaceItemHolder(fiType)->AttachFaceItem(
        std::make_unique<TFaceItem>(fiType, r.x(), r.y(), r.width(), r.height()));
}

void TfrmVuplora::SetFace(qint32 aiIndex)
{
    giFaceIndex = aiIndex;
    QImage bitmap = slCanvas->imgFace->Bitmap();
    const TFaceItem *item = slCanvas->imgFace->FaceItem();
    GetItemPicture(*goFaceRes, bitmap, fiFace, aiIndex, item ? item->miColor : 0);
    slCanvas->imgFace->SetBitmap(bitmap);
}

void TfrmVuplora::RandomItem(QImage &aoBitmap, TYPE_FACE_ITEM fiType, TFaceItem &aoItem)
{
    const int n = ItemCount(fiType);
    aoItem.miIndex = FPicks.Pick(n);
    Log("%s %d/%d", FACE_ITEM_NAMES[fiType], aoItem.miIndex, n);
    if (n <= 0) {
        if (!aoBitmap.isNull())
            aoBitmap.fill(Qt::transparent);
        return;
    }
    GetItemPicture(*goFaceRes, aoBitmap, fiType, aoItem.miIndex, aoItem.miColor);
}

int TfrmVuplora::ItemCount(TYPE_FACE_ITEM fiType) const
{
    const TFaceItemDataList *items = goFaceRes->GetFaceItem(fiType);
    return items ? static_cast<int>(items->size()) : 0;
}

void TfrmVuplora::RandomLayer(TLayerImage *aoLayer, TYPE_FACE_ITEM fiType)
{
    QImage bitmap = aoLayer->Bitmap();
    RandomItem(bitmap, fiType, *aoLayer->FaceItem());
    aoLayer->SetBitmap(bitmap);
}

void TfrmVuplora::RandomPortrait()
{
    RandomPortrait(FreshSeed(), false);
}

void TfrmVuplora::RandomPortrait(quint64 aiSeed, bool abNew)
{
    FPicks = TSeededPicks(aiSeed);
    for (TYPE_FACE_ITEM type : RandomPicks()) {
        const bool rolls = abNew
                           || (CategoryRules(type).Roll == TRandomRoll::EveryRoll
                               && !(FLocks && FLocks->Locked(type)));
        // A layer that keeps its item still takes its pick: the others get
        // the picks the seed gives them in a new portrait.
        if (!rolls)
            FPicks.Pick(ItemCount(type));
        else if (type == fiFace)
            SetFace(FPicks.Pick(ItemCount(fiFace)));
        else
            RandomLayer(static_cast<TLayerImage *>(slCanvas->Layer(type)), type);
    }
}

void TfrmVuplora::FreeLayerItems()
{
    for (const TCategory &category : Categories())
        slCanvas->FaceItemHolder(category.Type)->FreeFaceItem();
}

void TfrmVuplora::Log(const QString &asLog)
{
    qCDebug(lcVuploraRandom).noquote() << asLog;
}

void TfrmVuplora::ConnectControls()
{
    for (const TCategory &category : Categories())
        connect(rgtToolbar->Tab(category.Type), &TImageControl::Click, this,
                [this, type = category.Type] { TabClick(type); });
    connect(rgtToolbar->imgTabSave, &TImageControl::Click, this, &TfrmVuplora::imgTabSaveClick);
    connect(rgtToolbar->imgTabRandom, &TImageControl::Click, this, &TfrmVuplora::imgTabRandomClick);
    connect(rgtToolbar->imgTabWeb, &TImageControl::Click, this, &TfrmVuplora::imgTabWebClick);
    connect(rgtToolbar->imgTabBack, &TImageControl::Click, this, &TfrmVuplora::imgTabBackClick);

    // The list emits from inside its own event handling; errors stop here.
    connect(changeBox, &QListWidget::itemClicked, this, [this](QListWidgetItem *aoItem) {
        RunReportingErrors([&] { changeBoxItemClick(changeBox, aoItem); });
    });

    for (TImageControl *swatch : rgColor->imgColor)
        connect(swatch, &TImageControl::Click, this, [this, swatch] { imgColor1Click(swatch); });
    connect(rgColor->cmbColor, &TColorComboBox::Change, this,
            Reporting([this] { cmbColorChange(rgColor->cmbColor); }));

    connect(slCanvas, &TLayerCanvas::MouseDown, this, [this](Qt::MouseButton aeButton, const QPointF &aoPos) {
        slCanvasMouseDown(slCanvas, aeButton, float(aoPos.x()), float(aoPos.y()));
    });
    connect(slCanvas, &TLayerCanvas::MouseUp, this, [this](Qt::MouseButton aeButton, const QPointF &aoPos) {
        slCanvasMouseUp(slCanvas, aeButton, float(aoPos.x()), float(aoPos.y()));
    });
    connect(slCanvas, &TLayerCanvas::Click, this, [this] { slCanvasClick(slCanvas); });

    TPaopaoFrame *frame = slCanvas->slPaopao;
    connect(frame, &TPaopaoFrame::Click, this, [this, frame] { slPaopaoClick(frame); });
    connect(frame->imgPaopaoClose, &TLayerButton::Click, this,
            [this, frame] { imgPaopaoCloseClick(frame->imgPaopaoClose); });
    connect(frame->imgPaopaoEdit, &TLayerButton::Click, this,
            [this, frame] { imgPaopaoEditClick(frame->imgPaopaoEdit); });

    TLayerImage *icon = slCanvas->imgIcon;
    connect(icon, &TLayerControl::MouseDown, this, [this, icon](Qt::MouseButton aeButton, const QPointF &aoPos) {
        imgIconMouseDown(icon, aeButton, float(aoPos.x()), float(aoPos.y()));
    });
    connect(icon, &TLayerControl::MouseMove, this, [this, icon](const QPointF &aoPos) {
        imgIconMouseMove(icon, float(aoPos.x()), float(aoPos.y()));
    });
    connect(icon, &TLayerControl::MouseUp, this, [this, icon](Qt::MouseButton aeButton, const QPointF &aoPos) {
        imgIconMouseUp(icon, aeButton, float(aoPos.x()), float(aoPos.y()));
    });
}

void TfrmVuplora::SetOuterSize(int aiWidth, int aiHeight)
{
    FOuterSize = QSize(aiWidth, aiHeight);
    ApplyOuterSize();
}

void TfrmVuplora::ApplyOuterSize()
{
    // The frame is known only once the platform window exists; until then the
    // whole size goes to the client area, and it is corrected when it is shown.
    const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    FAppliedMargins = margins;
    setFixedSize(qMax(1, FOuterSize.width() - margins.left() - margins.right()),
                 qMax(1, FOuterSize.height() - margins.top() - margins.bottom()));
    LayoutChildren();
}

void TfrmVuplora::LayoutChildren()
{
    const int w = width();
    const int h = height();
    rgtToolbar->setGeometry(0, 0, w, TVuploraToolbar::HEIGHT);
    const int bottom = rgColor->isVisibleTo(this) ? h - TVuploraColorBar::HEIGHT : h;
    rgColor->setGeometry(0, h - TVuploraColorBar::HEIGHT, w, TVuploraColorBar::HEIGHT);
    const int panelWidth = plPreview->width();
    plPreview->setGeometry(w - panelWidth, TVuploraToolbar::HEIGHT, panelWidth,
                           qMax(0, bottom - TVuploraToolbar::HEIGHT));
    changeBox->setGeometry(plPreview->rect());
    slCanvas->SetSurround(QRect(0, TVuploraToolbar::HEIGHT, qMax(0, w - panelWidth),
                                qMax(0, bottom - TVuploraToolbar::HEIGHT)));
}

void TfrmVuplora::showEvent(QShowEvent *aoEvent)
{
    if (windowHandle() && windowHandle()->frameMargins() != FAppliedMargins)
        ApplyOuterSize();
    if (!FPlaced) {
        FPlaced = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move((QRectF(screen->geometry()).center()
                  - QPointF(FOuterSize.width() / 2.0, FOuterSize.height() / 2.0))
                     .toPoint());
    }
    QWidget::showEvent(aoEvent);
    // The keys work at once, also when the window comes back after the pack
    // choice, without a click into it first.
    activateWindow();
}

void TfrmVuplora::moveEvent(QMoveEvent *aoEvent)
{
    // A window manager reports its frame after the window is mapped.
    if (windowHandle() && windowHandle()->frameMargins() != FAppliedMargins)
        ApplyOuterSize();
    QWidget::moveEvent(aoEvent);
}

void TfrmVuplora::resizeEvent(QResizeEvent *aoEvent)
{
    LayoutChildren();
    QWidget::resizeEvent(aoEvent);
}

void TfrmVuplora::closeEvent(QCloseEvent *aoEvent)
{
    QWidget::closeEvent(aoEvent);
    if (aoEvent->isAccepted())
        Q_EMIT Closed();
}
