#include "editor/untVuploraPaopao.h"

#include "assets/untVuploraPaopaoDoc.h"
#include "editor/untImageControl.h"
#include "editor/untVuploraForm.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>

TfrmEditPaopao *frmEditPaopao = nullptr;

namespace {

const QColor BACKGROUND(0xF2, 0xF2, 0xF2);

// Blanks and control characters at either end do not count as text.
bool IsBlankOrControl(QChar c)
{
    return c.isSpace() || c.category() == QChar::Other_Control;
}

QString Trimmed(const QString &asText)
{
    qsizetype start = 0;
    qsizetype end = asText.size();
    while (start < end && IsBlankOrControl(asText[start]))
        ++start;
    while (end > start && IsBlankOrControl(asText[end - 1]))
        --end;
    return asText.mid(start, end - start);
}

} // namespace

TfrmEditPaopao::TfrmEditPaopao(QWidget *aoParent) : QDialog(aoParent)
{
    setObjectName(QStringLiteral("frmEditPaopao"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFixedSize(WIDTH, HEIGHT);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BACKGROUND);
    setPalette(palette);
    setAutoFillBackground(true);

    mmoText = new QPlainTextEdit(this);
    mmoText->setObjectName(QStringLiteral("mmoText"));
    mmoText->setGeometry(32, 24, 353, 65);
    QFont font = mmoText->font();
    font.setPixelSize(22);
    mmoText->setFont(font);
    mmoText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmoText->setPlainText(QStringLiteral("请输入你的内容"));

    imgCancel = new TImageControl(this);
    imgCancel->setObjectName(QStringLiteral("imgCancel"));
    imgCancel->setGeometry(32, 104, 150, 40);
    imgCancel->SetPicture(LayoutPicture(QStringLiteral("paopao_cancel.png")));
    imgCancel->setCursor(Qt::PointingHandCursor);
    imgConfirm = new TImageControl(this);
    imgConfirm->setObjectName(QStringLiteral("imgConfirm"));
    imgConfirm->setGeometry(232, 104, 150, 40);
    imgConfirm->SetPicture(LayoutPicture(QStringLiteral("paopao_confirm.png")));
    imgConfirm->setCursor(Qt::PointingHandCursor);
    connect(imgCancel, &TImageControl::Click, this, &TfrmEditPaopao::imgCancelClick);
    connect(imgConfirm, &TImageControl::Click, this, &TfrmEditPaopao::imgConfirmClick);
}

void TfrmEditPaopao::imgConfirmClick()
{
    const QString text = mmoText->toPlainText();
    if (!Trimmed(text).isEmpty() && text != gsPaopaoText)
        gsNewPaopaoText = text;
    close();
}

void TfrmEditPaopao::imgCancelClick()
{
    close();
}

void TfrmEditPaopao::showEvent(QShowEvent *aoEvent)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - QPoint(WIDTH / 2, HEIGHT / 2));
    QDialog::showEvent(aoEvent);
}

void CreateEditPaopao()
{
    if (!frmEditPaopao)
        frmEditPaopao = new TfrmEditPaopao;
}

void ReleaseEditPaopao()
{
    delete frmEditPaopao;
    frmEditPaopao = nullptr;
}

void ShowEditPaopao()
{
    TfrmEditPaopao dialog;
    dialog.mmoText->setPlainText(gsPaopaoText);
    dialog.exec();
}
