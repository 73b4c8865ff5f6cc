// The editor window's portrait files: capturing and applying a whole
// composition, writing and opening files (by shortcut, by drop, from the
// command line), and copying the picture to the clipboard.

#include "editor/untVuploraPortraitFile.h"

#include "compose/untVuploraCompose.h"
#include "editor/untVuploraCategories.h"
#include "editor/untVuploraForm.h"
#include "editor/untVuploraKeyboard.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untSelectPack.h"
#include "editor/untVuploraUndo.h"
#include "errors/errors.h"
#include "imageio/png_codec.h"
#include "platform_ui/errorreport.h"
#include "platform/platform.h"
#include "platform/safewrite.h"
#include "svg/controls/svg_document_component.h"
#include "svg/model/dom/document.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>

#include <optional>

namespace {

const char SAVE_FAILED[] = "Saving portrait file failed.";

// The bitmap layers, each with what a composition records of it.
QList<TYPE_FACE_ITEM> BitmapLayers()
{
    QList<TYPE_FACE_ITEM> types;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        if (t != fiPaopao)
            types.append(TYPE_FACE_ITEM(t));
    return types;
}

TLayerImage *LayerImage(TLayerCanvas *aoCanvas, TYPE_FACE_ITEM fiType)
{
    return qobject_cast<TLayerImage *>(aoCanvas->Layer(fiType));
}

// What a layer's picture was made from when a composition put it there: the
// pack, item and colour, and the picture's own key, which changes as soon as
// anything else gives the layer another picture. A layer whose picture still
// carries the key of what a composition asks for need not be decoded again.
const char SHOWN_PICTURE[] = "vuploraShownPicture";

QString PictureKey(qint32 aiPack, const TPortraitLayer &aoLayer, qint64 aiCacheKey)
{
    return QStringLiteral("%1/%2/%3/%4").arg(aiPack).arg(aoLayer.Index).arg(aoLayer.Color).arg(aiCacheKey);
}

QString PortraitDialogName(const QDateTime &aoNow)
{
    QString name = SuggestedSaveName(aoNow);
    name.chop(int(QStringLiteral("png").size()));
    return name + QLatin1String(PORTRAIT_FILE_SUFFIX);
}

// Accepts dragged portrait files and opens a dropped one.
class TPortraitDrop : public QObject {
public:
    explicit TPortraitDrop(TfrmVuplora *aoWindow) : QObject(aoWindow), moWindow(aoWindow) {}

    bool eventFilter(QObject *aoWatched, QEvent *aoEvent) override
    {
        switch (aoEvent->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *drag = static_cast<QDropEvent *>(aoEvent);
            if (DroppedFile(drag->mimeData())) {
                drag->acceptProposedAction();
                return true;
            }
            break;
        }
        case QEvent::Drop: {
            auto *drop = static_cast<QDropEvent *>(aoEvent);
            if (const std::optional<QString> file = DroppedFile(drop->mimeData())) {
                drop->acceptProposedAction();
                RunReportingErrors([this, &file] { moWindow->OpenPortraitFile(*file); });
                return true;
            }
            break;
        }
        default:
            break;
        }
        return QObject::eventFilter(aoWatched, aoEvent);
    }

private:
    // A drop of exactly one local portrait file.
    static std::optional<QString> DroppedFile(const QMimeData *aoData)
    {
        if (!aoData || !aoData->hasUrls() || aoData->urls().size() != 1)
            return std::nullopt;
        const QUrl url = aoData->urls().constFirst();
        if (!url.isLocalFile() || !IsPortraitFileName(url.toLocalFile()))
            return std::nullopt;
        return url.toLocalFile();
    }

    TfrmVuplora *moWindow;
};

} // namespace

bool IsPortraitFileName(const QString &asFileName)
{
    return QFileInfo(asFileName).suffix().compare(QLatin1String(PORTRAIT_FILE_SUFFIX), Qt::CaseInsensitive) == 0;
}

TPortrait ReadPortraitFile(const QString &asFileName)
{
    // Only a regular file: a device or a pipe could hand over endless bytes.
    const QFileInfo info(asFileName);
    if (!info.isFile())
        throw EVuploraError(QStringLiteral("Cannot read the portrait file."));
    if (info.size() > PORTRAIT_MAX_FILE_BYTES)
        throw EVuploraError(QStringLiteral("The portrait file is larger than 8 MiB."));
    QFile file(asFileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EVuploraError(QStringLiteral("Cannot read the portrait file."));
    // One byte over the limit tells a file that grew since it was looked at.
    const QByteArray data = file.read(PORTRAIT_MAX_FILE_BYTES + 1);
    if (file.error() != QFileDevice::NoError)
        throw EVuploraError(QStringLiteral("Cannot read the portrait file."));
    if (data.size() > PORTRAIT_MAX_FILE_BYTES)
        throw EVuploraError(QStringLiteral("The portrait file is larger than 8 MiB."));
    return ReadPortrait(data);
}

QString NotOpenedMessage(const QString &asFileName, const QString &asReason)
{
    return QStringLiteral("The portrait file '%1' was not opened: %2").arg(QFileInfo(asFileName).fileName(), asReason);
}

QString LayerDisplayName(TYPE_FACE_ITEM fiType, bool abLangCN)
{
    static const std::array<const char *, FACE_ITEM_TYPE_COUNT> EN = {
        "emoji", "face", "hair", "eyes", "nose", "mouth", "eyebrows", "glasses", "body", "background",
        "speech bubble", "foreground"};
    static const std::array<const char *, FACE_ITEM_TYPE_COUNT> CN = {
        "表情", "脸", "发型", "眼睛", "鼻子", "嘴巴", "眉毛", "眼镜", "身体", "背景", "气泡", "前景"};
    return QString::fromUtf8((abLangCN ? CN : EN)[fiType]);
}

QString LayersNotRestoredMessage(const QList<TYPE_FACE_ITEM> &aoLayers, bool abLangCN)
{
    QStringList names;
    for (TYPE_FACE_ITEM type : aoLayers)
        names.append(LayerDisplayName(type, abLangCN));
    if (abLangCN)
        return QStringLiteral("当前素材包中没有文件里的部分素材，以下图层未能恢复：") + names.join(QStringLiteral("、"));
    return QStringLiteral("This pack lacks some parts the portrait file names; these layers were not restored: ")
           + names.join(QStringLiteral(", ")) + QLatin1Char('.');
}

TPortrait TfrmVuplora::CapturePortrait() const
{
    TPortrait portrait;
    portrait.Pack = giPackIndex;
    for (TYPE_FACE_ITEM type : BitmapLayers()) {
        const TLayerImage *layer = LayerImage(slCanvas, type);
        TPortraitLayer &out = portrait.Layers[type];
        out.Present = !layer->Bitmap().isNull();
        // The face shows giFaceIndex, which a random portrait sets without its item.
        out.Index = type == fiFace ? giFaceIndex : (layer->FaceItem() ? layer->FaceItem()->miIndex : 0);
        out.Color = layer->FaceItem() ? layer->FaceItem()->miColor : 0;
        out.Pos = layer->pos();
        out.Visible = layer->isVisible();
    }
    const TPaopaoFrame *frame = slCanvas->slPaopao;
    TPortraitBubble &bubble = portrait.Bubble;
    bubble.Shown = frame->isVisible();
    bubble.Index = frame->imgPaopao->FaceItem() ? frame->imgPaopao->FaceItem()->miIndex : 0;
    if (goPaopaoStream)
        bubble.Document = goPaopaoStream->data();
    bubble.Text = gsPaopaoText;
    bubble.ConfirmedText = gsNewPaopaoText;
    bubble.Frame = QRectF(frame->pos(), QSizeF(frame->Width(), frame->Height()));
    portrait.Watermark = slCanvas->imgIcon->pos();
    return portrait;
}

TPortraitShown TfrmVuplora::CaptureShown() const
{
    TPortraitShown shown;
    for (TYPE_FACE_ITEM type : BitmapLayers())
        shown.Pictures[type] = LayerImage(slCanvas, type)->Bitmap();
    const TPaopaoFrame *frame = slCanvas->slPaopao;
    shown.EditShown = frame->imgPaopaoEdit->isVisible();
    return shown;
}

QList<TYPE_FACE_ITEM> TfrmVuplora::ApplyPortrait(const TPortrait &aoPortrait, const TPortraitShown *aoShown)
{
    // Everything that can fail runs before anything the user sees changes:
    // the pack's index, then the pictures, then the bubble's document.
    const qint32 previousPack = giPackIndex;
    struct TPackBack {
        qint32 Pack;
        bool Keep = false;
        ~TPackBack()
        {
            if (!Keep)
                giPackIndex = Pack;
        }
    } packBack{previousPack};
    std::unique_ptr<TFaceRes> newRes;
    TFaceRes *res = goFaceRes;
    if (aoPortrait.Pack != previousPack) {
        giPackIndex = aoPortrait.Pack;
        newRes = std::make_unique<TFaceRes>();
        newRes->LoadRes(goFaceRes->ResName().isEmpty() ? QStringLiteral("res_girl") : goFaceRes->ResName());
        res = newRes.get();
    }

    QList<TYPE_FACE_ITEM> notRestored;
    std::array<std::optional<QImage>, FACE_ITEM_TYPE_COUNT> pictures;
    for (TYPE_FACE_ITEM type : BitmapLayers()) {
        const TPortraitLayer &layer = aoPortrait.Layers[type];
        if (!layer.Present) {
            pictures[type] = QImage();
            continue;
        }
        if (aoShown && !aoShown->Dropped && !aoShown->Pictures[type].isNull()) {
            pictures[type] = aoShown->Pictures[type];
            continue;
        }
        const TFaceItemDataList *items = res->GetFaceItem(type);
        if (!items || layer.Index >= qint32(items->size())) {
            notRestored.append(type);
            continue;
        }
        const TLayerImage *image = LayerImage(slCanvas, type);
        if (image->property(SHOWN_PICTURE).toString()
            == PictureKey(aoPortrait.Pack, layer, image->Bitmap().cacheKey())) {
            pictures[type] = image->Bitmap();
            continue;
        }
        QImage bitmap;
        GetItemPicture(*res, bitmap, type, layer.Index, layer.Color);
        pictures[type] = bitmap;
    }

    const TPortraitBubble &bubble = aoPortrait.Bubble;
    TPaopaoFrame *frame = slCanvas->slPaopao;
    TSVGDocument *svg = SVGDoc->SVG();
    const bool newDocument = !goPaopaoStream || goPaopaoStream->data() != bubble.Document;
    const auto loadDocument = [&] {
        if (bubble.Document.isEmpty()) {
            // Nothing has ever been loaded while the bubble's source is empty.
            if (goPaopaoStream && goPaopaoStream->size() > 0)
                svg->Clear();
            return;
        }
        QBuffer data;
        data.setData(bubble.Document);
        data.open(QIODevice::ReadOnly);
        try {
            svg->LoadFromStream(data);
        } catch (const std::exception &e) {
            // The bubble goes back to the document it showed.
            if (goPaopaoStream && goPaopaoStream->size() > 0) {
                goPaopaoStream->seek(0);
                svg->LoadFromStream(*goPaopaoStream);
            } else {
                svg->Clear();
            }
            // The document's own message names an offset inside the bubble's
            // document, not inside the file: say which part it is.
            throw EVuploraError(QStringLiteral("its speech bubble document is not valid: %1")
                                    .arg(QString::fromUtf8(e.what())));
        }
    };
    const auto placeFrame = [&] {
        if (frame->pos() != bubble.Frame.topLeft())
            frame->setPos(bubble.Frame.topLeft());
        if (QSizeF(frame->Width(), frame->Height()) != bubble.Frame.size())
            frame->SetSize(bubble.Frame.size());
    };
    if (newDocument)
        loadDocument();

    // From here on nothing fails.
    packBack.Keep = true;
    if (newRes) {
        delete goFaceRes;
        goFaceRes = newRes.release();
    }
    for (TYPE_FACE_ITEM type : BitmapLayers()) {
        if (!pictures[type])
            continue;
        const TPortraitLayer &layer = aoPortrait.Layers[type];
        TLayerImage *image = LayerImage(slCanvas, type);
        if (image->Bitmap().cacheKey() != pictures[type]->cacheKey())
            image->SetBitmap(*pictures[type]);
        image->setProperty(SHOWN_PICTURE, PictureKey(aoPortrait.Pack, layer, image->Bitmap().cacheKey()));
        if (image->pos() != layer.Pos)
            image->setPos(layer.Pos);
        if (image->isVisible() != layer.Visible)
            image->setVisible(layer.Visible);
        if (TFaceItem *item = image->FaceItem()) {
            item->miIndex = layer.Index;
            item->miColor = layer.Color;
        }
        if (type == fiFace)
            giFaceIndex = layer.Index;
    }

    if (goPaopaoStream && newDocument) {
        goPaopaoStream->buffer() = bubble.Document;
        goPaopaoStream->seek(0);
    }
    // A file written before texts were fitted shows them fitted too.
    FitPaopaoText();
    gsPaopaoText = bubble.Text;
    gsNewPaopaoText = bubble.ConfirmedText;
    if (TFaceItem *item = frame->imgPaopao->FaceItem())
        item->miIndex = bubble.Index;
    placeFrame();
    if (aoShown) {
        if (!bubble.Shown && frame->isVisible()) {
            frame->SetSelectionShown(false);
            frame->imgPaopaoClose->setVisible(false);
        }
        if (frame->imgPaopaoEdit->isVisible() != aoShown->EditShown)
            frame->imgPaopaoEdit->setVisible(aoShown->EditShown);
    } else {
        frame->SetSelectionShown(false);
        frame->imgPaopaoClose->setVisible(false);
        frame->imgPaopaoEdit->setVisible(!gsPaopaoText.isEmpty());
    }
    if (frame->isVisible() != bubble.Shown)
        frame->setVisible(bubble.Shown);
    if (slCanvas->imgIcon->pos() != aoPortrait.Watermark)
        slCanvas->imgIcon->setPos(aoPortrait.Watermark);

    // The browser shows the new pack's items of the current category.
    if (previousPack != giPackIndex)
        ShowItems(CurrentCategory());
    return notRestored;
}

void TfrmVuplora::SavePortraitFile(const QString &asFileName)
{
    const QByteArray data = WritePortrait(CapturePortrait());
    // As with pictures, an existing file is replaced only by a complete one.
    try {
        SafeWriteFile(asFileName, data);
    } catch (const ESafeWriteError &) {
        throw EVuploraError(QString::fromLatin1(SAVE_FAILED));
    }
}

void TfrmVuplora::OpenPortraitFile(const QString &asFileName)
{
    // A file opened during a slide would be overtaken by the slide's item.
    if (FChanging)
        return;
    const TPortrait portrait = ReadPortraitFile(asFileName);
    const int packBefore = giPackIndex;
    QList<TYPE_FACE_ITEM> notRestored;
    {
        // Opening is one step that undo takes back, like a random portrait; a file
        // of the other pack starts a new history, as going back to the packs does,
        // since older steps name items of the pack no longer loaded.
        const TRecordStep step(FHistory, QStringLiteral("Open portrait"));
        try {
            notRestored = ApplyPortrait(portrait);
        } catch (const std::exception &e) {
            throw EVuploraError(NotOpenedMessage(asFileName, QString::fromUtf8(e.what())));
        }
    }
    if (giPackIndex != packBefore && FHistory)
        FHistory->Reset();
    if (!notRestored.isEmpty())
        TVuploraApplication::ReportError(LayersNotRestoredMessage(notRestored, gbLangCN));
}

void TfrmVuplora::imgSavePortraitClick()
{
    if (FChanging)
        return;
    ISaveDialogService *dialog = Platform().SaveDialog;
    if (!dialog)
        return;
    TSaveDialogOptions options;
    options.Filter = QLatin1String(PORTRAIT_FILE_FILTER);
    options.DefaultExt = QLatin1Char('.') + QLatin1String(PORTRAIT_FILE_SUFFIX);
    options.FileName = PortraitDialogName(FNow());
    if (IShellService *shell = Platform().Shell)
        options.InitialDir = shell->DocumentsFolder();
    QString fileName;
    if (dialog->Execute(this, options, fileName))
        SavePortraitFile(fileName);
}

void TfrmVuplora::imgOpenPortraitClick()
{
    if (FChanging)
        return;
    IOpenDialogService *dialog = Platform().OpenDialog;
    if (!dialog)
        return;
    TOpenDialogOptions options;
    options.Filter = QLatin1String(PORTRAIT_FILE_FILTER);
    if (IShellService *shell = Platform().Shell)
        options.InitialDir = shell->DocumentsFolder();
    QString fileName;
    if (dialog->Execute(this, options, fileName))
        OpenPortraitFile(fileName);
}

void TfrmVuplora::CopyPicture()
{
    if (FChanging)
        return;
    const QImage picture = PortraitPicture(1.0);
    QByteArray png;
    try {
        png = PngEncode(picture);
    } catch (const EImageIOError &) {
        throw EVuploraError(QStringLiteral("Copying the picture failed."));
    }
    // PNG bytes keep the transparency for programs that ask for them; the image
    // form lets Qt offer whatever other formats the clipboard's readers ask for.
    auto *mime = new QMimeData;
    mime->setData(QStringLiteral("image/png"), png);
    mime->setImageData(picture);
    QGuiApplication::clipboard()->setMimeData(mime);
}

void InstallPortraitFileActions(TfrmVuplora *aoWindow)
{
    const struct {
        const char *Name;
        TEditorCommand Command;
        void (TfrmVuplora::*Handler)();
    } actions[] = {
        {"actSavePortrait", TEditorCommand::SavePortrait, &TfrmVuplora::imgSavePortraitClick},
        {"actOpenPortrait", TEditorCommand::OpenPortrait, &TfrmVuplora::imgOpenPortraitClick},
        {"actCopyPicture", TEditorCommand::CopyPicture, &TfrmVuplora::CopyPicture},
    };
    for (const auto &a : actions) {
        auto *action = new QAction(aoWindow);
        action->setObjectName(QLatin1String(a.Name));
        action->setShortcuts(CommandKeys(a.Command));
        action->setShortcutContext(Qt::WindowShortcut);
        QObject::connect(action, &QAction::triggered, aoWindow,
                         Reporting([aoWindow, handler = a.Handler] { (aoWindow->*handler)(); }));
        aoWindow->addAction(action);
    }
    // Drops over the canvas go to the window too.
    aoWindow->setAcceptDrops(true);
    aoWindow->slCanvas->setAcceptDrops(false);
    aoWindow->slCanvas->viewport()->setAcceptDrops(false);
    aoWindow->installEventFilter(new TPortraitDrop(aoWindow));
}

std::unique_ptr<TfrmVuplora> StartUpWithPortraitFile(const QString &asFileName)
{
    std::optional<TPortrait> portrait;
    try {
        portrait = ReadPortraitFile(asFileName);
    } catch (const EVuploraError &e) {
        TVuploraApplication::ReportError(e.Message());
    }
    if (portrait)
        giPackIndex = portrait->Pack;
    else
        ShowSelectPack();
    auto frm = std::make_unique<TfrmVuplora>();
    CreateEditPaopao();
    // The window shows its random portrait when the file's cannot be put on it;
    // what went wrong is said once the window is up.
    QString message;
    if (portrait) {
        try {
            const QList<TYPE_FACE_ITEM> notRestored = frm->ApplyPortrait(*portrait);
            // The file's portrait is where the history starts.
            if (frm->FHistory)
                frm->FHistory->Reset();
            if (!notRestored.isEmpty())
                message = LayersNotRestoredMessage(notRestored, gbLangCN);
        } catch (const std::exception &e) {
            message = NotOpenedMessage(asFileName, QString::fromUtf8(e.what()));
        }
    }
    frm->show();
    if (!message.isEmpty())
        TVuploraApplication::ReportError(message);
    return frm;
}
