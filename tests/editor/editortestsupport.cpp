#include "editortestsupport.h"

#include "PackArchive.h"
#include "TestPackPaths.h"
#include "editor/untVuploraCanvas.h"
#include "editor/untVuploraPaopao.h"
#include "editor/untVuploraRecovery.h"
#include "editor/untVuploraSettings.h"

#include <QApplication>
#include <QBuffer>
#include <QJsonDocument>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

void TEditorTest::SetUp()
{
    // Every test starts from a first run: nothing remembered, nothing to recover.
    SetSettingColorsShown(false);
    SetSettingPictureFolder(QString());
    QFile::remove(RecoveryFileName());
    giPackIndex = 1;
    moFake.Screen.Size = QSizeF(1920, 1080);
    moOverride = std::make_unique<TPlatformOverride>(moFake.Services());
    moPreviousReporter = TVuploraApplication::SetErrorReporter(
        [this](const QString &asMessage) { moErrors.append(asMessage); });
}

void TEditorTest::TearDown()
{
    TVuploraApplication::SetErrorReporter(moPreviousReporter);
    moOverride.reset();
    giPackIndex = 1;
}

void TCustomPackTest::UsePack(const QJsonObject &aoIndex,
                              const QList<std::pair<QString, QByteArray>> &aoMembers)
{
    std::vector<TPackFile> files{{QStringLiteral("res1.json"), QJsonDocument(aoIndex).toJson()}};
    for (const auto &[name, data] : aoMembers)
        files.push_back({name, data});
    moResources.Add(QStringLiteral("RES_GIRL"), BuildPackArchive(files));
    for (const char *name : {"res_logo_en", "res_logo_cn", "res_audio_1", "res_audio_2"})
        moResources.Add(QLatin1String(name), ResourceProvider().Open(QLatin1String(name)));
    moUse = std::make_unique<TScopedResourceProvider>(moResources);
}

void TCustomPackTest::TearDown()
{
    moUse.reset();
    TEditorTest::TearDown();
}

void ShowActive(QWidget *aoWindow)
{
    aoWindow->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(aoWindow));
    aoWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(aoWindow));
}

QByteArray PngBytes(const QImage &aoImage)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    aoImage.save(&buffer, "PNG");
    return png;
}

void ClickAt(QWidget *aoWindow, const QPoint &aoPos)
{
    QTest::mouseClick(aoWindow->windowHandle(), Qt::LeftButton, Qt::NoModifier, aoPos);
}

void MovePointerTo(QWidget *aoWindow, const QPoint &aoPos)
{
    QTest::mouseMove(aoWindow->windowHandle(), aoPos);
}

std::unique_ptr<QObject> WhenPackWindowShown(std::function<void(TfrmSelectPack *)> aoAction)
{
    auto timer = std::make_unique<QTimer>();
    QElapsedTimer clock;
    clock.start();
    QTimer *t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, clock, aoAction]() {
        QWidget *modal = QApplication::activeModalWidget();
        auto *frm = qobject_cast<TfrmSelectPack *>(modal);
        if (frm && frm->isVisible()) {
            t->stop();
            aoAction(frm);
            return;
        }
        if (clock.elapsed() > 5000) {
            t->stop();
            ADD_FAILURE() << "the pack selection window did not show";
            if (modal)
                modal->close();
        }
    });
    timer->start(5);
    return timer;
}

std::unique_ptr<QObject> WhenTextDialogShown(std::function<void(TfrmEditPaopao *)> aoAction)
{
    auto timer = std::make_unique<QTimer>();
    QTimer *t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, aoAction] {
        auto *dialog = qobject_cast<TfrmEditPaopao *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible())
            return;
        t->stop();
        aoAction(dialog);
    });
    t->start(5);
    return timer;
}

std::unique_ptr<QObject> AnswerDialog(const QString &asText, bool abConfirm, QString *aoShown)
{
    return WhenTextDialogShown([=](TfrmEditPaopao *aoDialog) {
        if (aoShown)
            *aoShown = aoDialog->mmoText->toPlainText();
        if (!asText.isNull())
            aoDialog->mmoText->setPlainText(asText);
        if (abConfirm)
            aoDialog->imgConfirmClick();
        else
            aoDialog->imgCancelClick();
    });
}

void DragOnCanvas(TLayerCanvas *aoCanvas, const QPointF &aoFrom, const QPointF &aoTo)
{
    QWidget *viewport = aoCanvas->viewport();
    const QPoint from = aoCanvas->mapFromScene(aoFrom);
    const QPoint to = aoCanvas->mapFromScene(aoTo);
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, from);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), viewport->mapToGlobal(QPointF(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, to);
}

QImage Premultiplied(const QImage &aoImage)
{
    return aoImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage ResourcePicture(const QString &asName)
{
    return Premultiplied(QImage::fromData(ResourceProvider().Open(asName)));
}

QImage TestPackItem(int aiPack, TYPE_FACE_ITEM fiType, int aiIndex)
{
    const QString description = QStringLiteral("vuplora-testpack/p%1/%2/%3")
                                    .arg(aiPack)
                                    .arg(QLatin1String(FACE_ITEM_NAMES[fiType]))
                                    .arg(aiIndex);
    const QString stem = QString::fromLatin1(
        QCryptographicHash::hash(description.toUtf8(), QCryptographicHash::Md5).toHex());
    const QDir dir(TestPackMembersDir());
    for (const char *ext : {".png", ".jpg"}) {
        const QString path = dir.filePath(stem + QLatin1String(ext));
        if (QFile::exists(path))
            return Premultiplied(QImage(path));
    }
    return QImage();
}

bool IsEmptyPicture(const QImage &aoImage)
{
    if (aoImage.isNull())
        return true;
    const QImage img = Premultiplied(aoImage);
    for (int y = 0; y < img.height(); ++y) {
        const auto *line = reinterpret_cast<const quint32 *>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(line[x]) != 0)
                return false;
    }
    return true;
}
