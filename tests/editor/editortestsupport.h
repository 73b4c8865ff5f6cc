#pragma once
// Shared set-up of the editor tests: platform doubles, a recorded error report,
// real pointer input through the window system, and the scripting of modal
// windows.

#include "assets/untVuplora.h"
#include "editor/untSelectPack.h"
#include "platform_ui/errorreport.h"
#include "platform/fakeplatform.h"
#include "platform/resources.h"

#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QPoint>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

inline std::ostream &operator<<(std::ostream &aoOut, const QString &asText)
{
    return aoOut << asText.toStdString();
}

class TEditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    TFakePlatform moFake;
    // Messages that reached the framework's error report.
    QStringList moErrors;

private:
    std::unique_ptr<TPlatformOverride> moOverride;
    TErrorReporter moPreviousReporter;
};

// The editor on a pack of the test's own making: an index and its members,
// with the application's logos and sounds beside them. UsePack in SetUp.
class TCustomPackTest : public TEditorTest {
protected:
    void UsePack(const QJsonObject &aoIndex, const QList<std::pair<QString, QByteArray>> &aoMembers);
    void TearDown() override;

    TMemoryResourceProvider moResources;

private:
    std::unique_ptr<TScopedResourceProvider> moUse;
};

// A picture as the bytes of a PNG file.
QByteArray PngBytes(const QImage &aoImage);

// Shows a window and waits until it is on screen and active, so that its
// shortcuts work.
void ShowActive(QWidget *aoWindow);

// A left click, a pointer move: sent to the window, which finds the control
// under the point as it does for real input.
void ClickAt(QWidget *aoWindow, const QPoint &aoPos);
void MovePointerTo(QWidget *aoWindow, const QPoint &aoPos);

// Runs aoAction on the pack selection window once its modal show is running.
// If no pack window shows within a few seconds the test fails and the modal
// window in its place, if any, is closed so the test cannot hang. The script
// lives as long as the returned object.
[[nodiscard]] std::unique_ptr<QObject> WhenPackWindowShown(std::function<void(TfrmSelectPack *)> aoAction);

class TfrmEditPaopao;
class TLayerCanvas;

// Runs aoAction on the bubble's text dialog once its modal show is running;
// the script lives as long as the returned object.
[[nodiscard]] std::unique_ptr<QObject> WhenTextDialogShown(std::function<void(TfrmEditPaopao *)> aoAction);
// Answers the next text dialog: puts asText in its memo (unless null) and
// presses confirm or cancel. Records what the memo showed when it opened.
[[nodiscard]] std::unique_ptr<QObject> AnswerDialog(const QString &asText, bool abConfirm,
                                                    QString *aoShown = nullptr);

// A left-button drag on the canvas between two points in canvas units, through
// the view's own event handling.
void DragOnCanvas(TLayerCanvas *aoCanvas, const QPointF &aoFrom, const QPointF &aoTo);

// A picture decoded the way layers hold pictures.
QImage Premultiplied(const QImage &aoImage);
QImage ResourcePicture(const QString &asName);

// The test pack's full image of an item, read from the folder it was built from.
QImage TestPackItem(int aiPack, TYPE_FACE_ITEM fiType, int aiIndex);

// True when every pixel is transparent (a null picture counts as empty).
bool IsEmptyPicture(const QImage &aoImage);
