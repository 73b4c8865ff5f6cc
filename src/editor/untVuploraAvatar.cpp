#include "editor/untVuploraAvatar.h"

#include "editor/untVuploraForm.h"
#include "editor/untVuploraHeadless.h"
#include "editor/untVuploraSettings.h"
#include "errors/errors.h"
#include "platform/errorreport.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Room around the head, as a share of its larger side.
constexpr qreal MARGIN = 0.12;

// The portrait with only the given layers shown.
TPortrait OnlyLayers(const TPortrait &aoPortrait, std::initializer_list<TYPE_FACE_ITEM> aoShown)
{
    TPortrait out = aoPortrait;
    for (int t = 0; t < FACE_ITEM_TYPE_COUNT; ++t)
        out.Layers[t].Visible =
            out.Layers[t].Visible && std::find(aoShown.begin(), aoShown.end(), TYPE_FACE_ITEM(t)) != aoShown.end();
    return out;
}

// The smallest rectangle holding every pixel that is not fully transparent.
QRect DrawnBounds(const QImage &aoImage)
{
    int left = aoImage.width(), right = -1, top = aoImage.height(), bottom = -1;
    for (int y = 0; y < aoImage.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(aoImage.constScanLine(y));
        int first = -1, last = -1;
        for (int x = 0; x < aoImage.width(); ++x)
            if (qAlpha(line[x]) != 0) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (first < 0)
            continue;
        left = std::min(left, first);
        right = std::max(right, last);
        top = std::min(top, y);
        bottom = y;
    }
    return right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

QString Text(const char *asEnglish, const char *asChinese)
{
    return QString::fromUtf8(gbLangCN ? asChinese : asEnglish);
}

} // namespace

bool IsAvatarSize(int aiSize)
{
    return std::find(AVATAR_SIZES.begin(), AVATAR_SIZES.end(), aiSize) != AVATAR_SIZES.end();
}

TAvatarParts ComposeAvatarParts(TFaceRes &aoRes, const TPortrait &aoPortrait)
{
    TAvatarParts parts;
    parts.Head = RenderPortrait(aoRes, OnlyLayers(aoPortrait, {fiFace, fiHair, fiBrow, fiEye, fiNose, fiMouth,
                                                               fiGlasses, fiEmoji}));
    parts.Backdrop = RenderPortrait(aoRes, OnlyLayers(aoPortrait, {fiBG}));
    const QRect drawn = DrawnBounds(parts.Head);
    // Without a head the square is the top of the canvas, where one would be.
    if (drawn.isEmpty()) {
        parts.Square = QRectF(0, 0, CANVAS_WIDTH, CANVAS_WIDTH);
        return parts;
    }
    // The square shows what the canvas shows: it stays on the canvas, where the
    // backdrop is, and a head too large for that fills the canvas's width.
    const qreal side = std::min<qreal>(std::max(drawn.width(), drawn.height()) * (1 + 2 * MARGIN), CANVAS_WIDTH);
    parts.Square = QRectF(0, 0, side, side);
    parts.Square.moveCenter(QRectF(drawn).center());
    parts.Square.moveLeft(std::clamp<qreal>(parts.Square.left(), 0, CANVAS_WIDTH - side));
    parts.Square.moveTop(std::clamp<qreal>(parts.Square.top(), 0, CANVAS_HEIGHT - side));
    return parts;
}

QImage RenderAvatar(const TAvatarParts &aoParts, int aiSize, bool abBackdrop)
{
    QImage out(aiSize, aiSize, QImage::Format_ARGB32_Premultiplied);
    out.fill(Qt::transparent);
    QPainter painter(&out);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    const qreal scale = aiSize / aoParts.Square.width();
    painter.scale(scale, scale);
    painter.translate(-aoParts.Square.topLeft());
    if (abBackdrop)
        painter.drawImage(QPointF(0, 0), aoParts.Backdrop);
    painter.drawImage(QPointF(0, 0), aoParts.Head);
    return out;
}

QImage RenderAvatar(TFaceRes &aoRes, const TPortrait &aoPortrait, int aiSize, bool abBackdrop)
{
    return RenderAvatar(ComposeAvatarParts(aoRes, aoPortrait), aiSize, abBackdrop);
}

TfrmAvatar::TfrmAvatar(TfrmVuplora *aoWindow)
    : QDialog(aoWindow), moWindow(aoWindow), moParts(ComposeAvatarParts(*goFaceRes, aoWindow->CapturePortrait()))
{
    setObjectName(QStringLiteral("dlgAvatar"));
    setWindowTitle(Text("Export avatar", "导出头像图标"));
    auto *layout = new QVBoxLayout(this);
    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setFixedSize(PREVIEW_SIZE, PREVIEW_SIZE);
    imgPreview->setAlignment(Qt::AlignCenter);
    layout->addWidget(imgPreview, 0, Qt::AlignHCenter);
    auto *form = new QFormLayout;
    cmbSize = new QComboBox(this);
    cmbSize->setObjectName(QStringLiteral("cmbSize"));
    for (int size : AVATAR_SIZES)
        cmbSize->addItem(QStringLiteral("%1 x %1").arg(size), size);
    cmbSize->setCurrentIndex(1);
    form->addRow(Text("Size:", "尺寸："), cmbSize);
    chkBackdrop = new QCheckBox(Text("With the backdrop", "带背景"), this);
    chkBackdrop->setObjectName(QStringLiteral("chkBackdrop"));
    chkBackdrop->setChecked(true);
    form->addRow(QString(), chkBackdrop);
    layout->addLayout(form);
    auto *buttons = new QDialogButtonBox(this);
    btnSave = buttons->addButton(Text("Save...", "保存..."), QDialogButtonBox::AcceptRole);
    btnSave->setObjectName(QStringLiteral("btnSave"));
    buttons->addButton(Text("Cancel", "取消"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, Reporting([this] { Save(); }));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(chkBackdrop, &QCheckBox::toggled, this, [this] { UpdatePreview(); });
    UpdatePreview();
}

QImage TfrmAvatar::Avatar() const
{
    return RenderAvatar(moParts, cmbSize->currentData().toInt(), chkBackdrop->isChecked());
}

void TfrmAvatar::UpdatePreview()
{
    // The preview is cut at its own size, not scaled down from a large avatar.
    imgPreview->setPixmap(QPixmap::fromImage(RenderAvatar(moParts, PREVIEW_SIZE, chkBackdrop->isChecked())));
}

void TfrmAvatar::Save()
{
    ISaveDialogService *dialog = Platform().SaveDialog;
    if (!dialog)
        return;
    QString name = SuggestedSaveName(moWindow->FNow());
    name.insert(name.indexOf(u'_'), QStringLiteral("_avatar"));
    QString fileName;
    if (!dialog->Execute(this, PictureSaveOptions(name), fileName))
        return;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || !QImageWriter(&file, "png").write(Avatar()) || !file.commit())
        throw EVuploraError(QStringLiteral("Saving bitmap failed."));
    SetSettingPictureFolder(QFileInfo(fileName).absolutePath());
    accept();
}

void ShowAvatarDialog(TfrmVuplora *aoWindow)
{
    if (aoWindow->FChanging)
        return;
    TfrmAvatar dialog(aoWindow);
    dialog.exec();
}
