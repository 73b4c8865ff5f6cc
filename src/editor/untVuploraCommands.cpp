// The editor window's commands: save the portrait, a random portrait, the web
// site, and back to the pack choice.

#include "editor/untVuploraForm.h"

#include "compose/untVuploraCompose.h"
#include "editor/untHelper.h"
#include "editor/untSelectPack.h"
#include "editor/untVuploraLocks.h"
#include "editor/untVuploraRecovery.h"
#include "editor/untVuploraSettings.h"
#include "editor/untVuploraUndo.h"
#include "errors/errors.h"
#include "imageio/picture_writer.h"
#include "platform/platform.h"
#include "platform/safewrite.h"

#include <QFileInfo>
#include <QWindow>

namespace {

const char SAVE_FAILED[] = "Saving bitmap failed.";

} // namespace

QString SuggestedSaveName(const QDateTime &aoNow)
{
    return QStringLiteral("Vuplora_") + aoNow.toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss"))
           + QStringLiteral(".png");
}

void TfrmVuplora::imgTabSaveClick()
{
    // A save during a slide would capture the part slid out of the canvas.
    if (FChanging)
        return;
    ISaveDialogService *dialog = Platform().SaveDialog;
    if (!dialog)
        return;
    QString fileName;
    if (!dialog->Execute(this, PictureSaveOptions(SuggestedSaveName(FNow())), fileName))
        return;

    // The button comes back whatever happens below.
    rgtToolbar->imgTabSave->setEnabled(false);
    struct TEnable {
        TImageControl *Button;
        ~TEnable() { Button->setEnabled(true); }
    } enable{rgtToolbar->imgTabSave};
    SaveToFile(fileName);
    SetSettingPictureFolder(QFileInfo(fileName).absolutePath());
}

TSaveDialogOptions PictureSaveOptions(const QString &asFileName)
{
    TSaveDialogOptions options;
    options.Filter = gbLangCN ? QStringLiteral("PNG 图像|*.png") : QStringLiteral("PNG image|*.png");
    options.DefaultExt = QStringLiteral(".png");
    options.FileName = asFileName;
    options.InitialDir = PictureFolder();
    return options;
}

QString PictureFolder()
{
    const QString last = SettingPictureFolder();
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    if (IShellService *shell = Platform().Shell)
        return shell->PicturesFolder();
    return {};
}

QImage TfrmVuplora::PortraitPicture(qreal arDisplayScale) const
{
    // The layers' own pictures: after going back to the pack choice some
    // layers still show items of the pack before.
    return RenderPortrait(CapturePortrait(), CaptureShown().Pictures, arDisplayScale);
}

void TfrmVuplora::SaveToFile(const QString &asFileName)
{
    const qreal displayScale = windowHandle() ? windowHandle()->devicePixelRatio() : devicePixelRatioF();
    const QImage bitmap = PortraitPicture(displayScale);
    if (bitmap.isNull())
        throw EVuploraError(QString::fromLatin1(SAVE_FAILED));
    // A failed save leaves an existing file of that name as it was, and a device
    // or a pipe under the name alone (platform/safewrite.h).
    try {
        SafeWriteFile(asFileName, PictureWriter(bitmap, QFileInfo(asFileName).suffix().toLower().toLatin1()));
    } catch (const ESafeWriteError &) {
        throw EVuploraError(QString::fromLatin1(SAVE_FAILED));
    }
}

void TfrmVuplora::imgTabRandomClick()
{
    if (FChanging)
        return;
    const TRecordStep step(FHistory, QStringLiteral("Random portrait"));
    RandomPortrait();
}

void TfrmVuplora::imgTabWebClick()
{
    TMisc::Open(QString::fromUtf16(PRODUCT_WEB_ADDRESS));
}

void TfrmVuplora::ResetColors()
{
    for (TLayerImage *layer : {slCanvas->imgHair, slCanvas->imgFace, slCanvas->imgGlass, slCanvas->imgFG,
                               slCanvas->imgBrow, slCanvas->imgEyes, slCanvas->imgNose, slCanvas->imgMouth,
                               slCanvas->imgHand, slCanvas->imgBack})
        if (layer->FaceItem())
            layer->FaceItem()->miColor = 0;
}

void TfrmVuplora::imgTabBackClick()
{
    // Swapping the pack under a paused item click would apply a part of the
    // wrong pack, or one that does not exist.
    if (FChanging)
        return;
    const QPoint place = pos();
    hide();
    // The window comes back where it was, also when reloading fails: a hidden
    // editor would leave the program running without a window.
    struct TShowAgain {
        TfrmVuplora *Window;
        QPoint Place;
        ~TShowAgain()
        {
            Window->move(Place);
            Window->show();
        }
    } showAgain{this, place};
    // Indexes of the old pack mean other items in the new one, also when
    // reloading fails halfway: the history and the locks go with the pack.
    struct TForget {
        TfrmVuplora *Window;
        ~TForget()
        {
            Window->FLocks->Clear();
            Window->FHistory->Reset();
        }
    } forget{this};
    // The portrait left behind is given up, not lost in a crash.
    FRecovery->Remove();
    ShowSelectPack();
    goFaceRes->LoadRes(QStringLiteral("res_girl"));
    ResetColors();
    RandomPortrait();
    imgTabHandClick();
}
