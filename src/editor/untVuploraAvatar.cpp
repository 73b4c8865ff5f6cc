#include "editor/untVuploraAvatar.h"

#include "editor/untVuploraForm.h"
#include "editor/untVuploraSettings.h"
#include "errors/errors.h"
#include "platform_ui/errorreport.h"
#include "platform/platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QImageWriter>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace {

QString Text(const char *asEnglish, const char *asChinese)
{
    return QString::fromUtf8(gbLangCN ? asChinese : asEnglish);
}

} // namespace

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
