#pragma once
// TfrmVuplora, the editor's main window: toolbar across the top, item browser on
// the right, the portrait canvas on the left. The window is thin: the toolbar,
// the canvas with its layers and the browser live in their own units; this one
// holds the window's state, its creation steps and the random portrait.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"
#include "compose/untVuploraHeadless.h"
#include "editor/untVuploraBrowser.h"
#include "editor/untVuploraCanvas.h"
#include "editor/untVuploraColorBar.h"
#include "editor/untVuploraToolbar.h"
#include "platform/savedialogservice.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QPointF>
#include <QWidget>

#include <array>
#include <functional>

Q_DECLARE_LOGGING_CATEGORY(lcVuploraRandom)

// Window size chosen by FitToScreen (outer size, title bar included).
extern qint32 giWindowWidth;
extern qint32 giWindowHeight;
// Item index of the face on the face layer.
extern qint32 giFaceIndex;
// Bubble text last confirmed by the user.
extern QString gsNewPaopaoText;
// The interface is Chinese.
extern bool gbLangCN;
// Browser cells per row, and whether the cell size has been computed.
extern qint32 giItemsPerRow;
extern bool gbItemSizeSet;
// InitLayers has run.
extern bool gbLayersReady;

// Puts the editor's globals back to their initial values. The editor window is
// created once per run, so this is what a new window starts from.
void ResetEditorGlobals();

// The file name save suggests for a portrait saved at the given local time:
// "Vuplora_YYYY-MM-DD_HH-MM-SS.png".
QString SuggestedSaveName(const QDateTime &aoNow);

// What the picture save dialogs show: a PNG filter in the interface language,
// the suggested name, and the folder they open in (PictureFolder: the one
// pictures were last saved to while it exists, else the user's pictures folder).
TSaveDialogOptions PictureSaveOptions(const QString &asFileName);
QString PictureFolder();

// Canvas gestures, in canvas units: a release more than STROKE_VERTICAL below
// or above its press is a vertical stroke, more than STROKE_HORIZONTAL to the
// side a horizontal one; a nudged layer stays within NUDGE_RANGE of its default
// Y; the watermark may hang WATERMARK_OVERHANG over the left and top edges.
inline constexpr float STROKE_VERTICAL = 20;
inline constexpr float STROKE_HORIZONTAL = 50;
inline constexpr int NUDGE_RANGE = 20;
inline constexpr int WATERMARK_OVERHANG = 30;

// One row of the sizing rule: for screens at least MinHeight high.
struct TScreenFit {
    int MinHeight;
    int WindowWidth;
    int WindowHeight;
    int PanelWidth;
    qreal CanvasScale;
    int ItemsPerRow;
};

// The layer the item browser works on. Image keeps naming the last bitmap layer
// while the bubble image is current.
struct TCurrentImage {
    bool bSVG = false;
    TLayerImage *Image = nullptr;
    TPaopaoImage *SVG = nullptr;
    void setImage(QGraphicsObject *moImg);
};

// What the window shows beside a portrait's value: the pictures its layers
// hold, so that putting the portrait back need not decode them again, and the
// bubble's edit button, which the selection decides. The bubble's picture is
// made from the value alone.
struct TPortraitShown {
    // By category; null for a layer without a picture, and all null once
    // dropped (older undo steps), when they are made again from the pack.
    std::array<QImage, FACE_ITEM_TYPE_COUNT> Pictures;
    bool Dropped = false;
    bool EditShown = false;
};

class TRSFmxSVGDocument;
class TPortraitHistory;
class TLayerLocks;
class TRecoveryWriter;
class TfrmVuplora;
// The editor window while it exists.
extern TfrmVuplora *frmVuplora;

class TfrmVuplora : public QWidget {
    Q_OBJECT
public:
    // Runs the creation steps; an error in them (a missing resource, a pack
    // index that fails to load) propagates and no window is left behind.
    explicit TfrmVuplora(QWidget *aoParent = nullptr);
    ~TfrmVuplora() override;

    static constexpr int DESIGN_PANEL_WIDTH = 350;

    // Controls.
    TLayerCanvas *slCanvas = nullptr;
    TVuploraToolbar *rgtToolbar = nullptr;
    TVuploraColorBar *rgColor = nullptr;
    QWidget *plPreview = nullptr;
    TItemBrowser *changeBox = nullptr;
    TImageControl *imgThumbback = nullptr;
    // The document the bubble image shows.
    TRSFmxSVGDocument *SVGDoc = nullptr;
    // Undo and redo of the portrait's changes, and the layers random keeps.
    TPortraitHistory *FHistory = nullptr;
    TLayerLocks *FLocks = nullptr;
    // Keeps the portrait in a recovery file (untVuploraRecovery.h).
    TRecoveryWriter *FRecovery = nullptr;

    // State.
    TCurrentImage FCurrentImage;
    TImageControl *FCurrentTab = nullptr;
    bool FChanging = false;
    float FDownX = 0;
    float FDownY = 0;
    bool FisMouseDown = false;
    bool DownLogo = false;
    QPointF DownLogoPos;

    // Creation steps.
    void FitToScreen();
    void InitLayers();
    void InitLayer(QGraphicsObject *aoLayer, TYPE_FACE_ITEM fiType);

    void SetFace(qint32 aiIndex);
    void RandomItem(QImage &aoBitmap, TYPE_FACE_ITEM fiType, TFaceItem &aoItem);
    // RandomItem on a layer's own bitmap and TFaceItem.
    void RandomLayer(TLayerImage *aoLayer, TYPE_FACE_ITEM fiType);
    // A random portrait from a fresh seed: the categories a roll changes,
    // but not the locked ones.
    void RandomPortrait();
    // The picks of a seed, the same as `vuplora portrait --seed` makes;
    // abNew: also the categories only a new portrait picks (the background),
    // and the locked ones.
    void RandomPortrait(quint64 aiSeed, bool abNew);
    void FreeLayerItems();

    // Tabs and browser.
    void TabClick(TYPE_FACE_ITEM fiType);
    // The tab aiStep places to the right of the current one (left when
    // negative), wrapping around at the ends.
    void StepTab(int aiStep);
    TYPE_FACE_ITEM CurrentCategory() const;
    void SelectTab(TImageControl *aoTab);
    void ShowItems(TYPE_FACE_ITEM fiType);
    void ClearItems();
    void imgTabEmojiClick();
    void imgTabFaceClick();
    void imgTabHairClick();
    void imgTabBrowClick();
    void imgTabEyesClick();
    void imgTabNoseClick();
    void imgTabMouthClick();
    void imgTabGlassClick();
    void imgTabHandClick();
    void imgTabBKGClick();
    void imgTabPaopaoClick();
    void imgTabFGClick();
    // A click on a browser cell, or a swipe's choice (Sender absent).
    void changeBoxItemClick(QObject *Sender, QListWidgetItem *Item);

    // Colour bar.
    void imgColor1Click(QObject *Sender);
    void cmbColorChange(QObject *Sender);
    void ApplyColor(TAlphaColor aiColor);
    // Shows or hides the colour bar; the choice is remembered for the next run.
    void SetColorsShown(bool abShown);
    bool ColorsShown() const;

    // Canvas pointer input, in canvas units; the watermark's in its own.
    void slCanvasMouseDown(QObject *Sender, Qt::MouseButton Button, float X, float Y);
    void slCanvasMouseUp(QObject *Sender, Qt::MouseButton Button, float X, float Y);
    void slCanvasClick(QObject *Sender);
    void imgIconMouseDown(QObject *Sender, Qt::MouseButton Button, float X, float Y);
    void imgIconMouseMove(QObject *Sender, float X, float Y);
    void imgIconMouseUp(QObject *Sender, Qt::MouseButton Button, float X, float Y);
    // What a stroke does: move the current layer one unit down (aiDirection
    // 1) or up (-1) within its range, and choose the next (1) or previous (-1)
    // item of the browser.
    void NudgeLayer(int aiDirection);
    void StepItem(int aiStep);

    // Speech bubble.
    void slPaopaoClick(QObject *Sender);
    void imgPaopaoCloseClick(QObject *Sender);
    void imgPaopaoEditClick(QObject *Sender);
    // Puts the confirmed text (gsNewPaopaoText, when there is one) into the
    // bubble document and shows it.
    void ApplyPaopaoText();
    // Fits the bubble document's text to its bubble (untVuploraBubbleText.h)
    // and shows the result.
    void FitPaopaoText();

    // Commands.
    void imgTabSaveClick();
    void imgTabRandomClick();
    void imgTabWebClick();
    void imgTabBackClick();
    void ResetColors();
    // The picture a save and a copy write: the portrait composed from the
    // window's value and its layers' pictures at arDisplayScale pixels per
    // canvas unit, without the bubble's selection and buttons.
    QImage PortraitPicture(qreal arDisplayScale) const;

    // The portrait as a value, and putting one on the canvas: the one capture
    // and the one apply that undo, portrait files and the rest build on
    // (untVuploraPortraitFile.cpp).
    TPortrait CapturePortrait() const;
    TPortraitShown CaptureShown() const;
    // Puts a whole composition on the canvas: its pack (switching to it), each
    // layer's item, colour, place and visibility, the bubble and the watermark;
    // only what differs is touched. Returns the layers whose items the pack
    // lacks; they keep what they showed. A pack that does not load, a picture
    // that fails to decode or a bubble document that fails to load raise their
    // error and change nothing. With aoShown (what the window showed with that
    // portrait) its pictures are shown again instead of made anew and the
    // bubble's buttons come back as they were; without it the bubble comes
    // unselected.
    QList<TYPE_FACE_ITEM> ApplyPortrait(const TPortrait &aoPortrait, const TPortraitShown *aoShown = nullptr);
    void SavePortraitFile(const QString &asFileName);
    void OpenPortraitFile(const QString &asFileName);
    void imgSavePortraitClick();
    void imgOpenPortraitClick();
    void CopyPicture();

    // The local time save suggests its file name from; tests fix it.
    std::function<QDateTime()> FNow = [] { return QDateTime::currentDateTime(); };

    // Diagnostic log of the random picks; off unless the logging category
    // "vuplora.random" is enabled for debug output.
    static void Log(const QString &asLog);
    template <typename... TArgs>
    static void Log(const char *asFormat, TArgs... aoArgs)
    {
        if (lcVuploraRandom().isDebugEnabled())
            Log(QString::asprintf(asFormat, aoArgs...));
    }

Q_SIGNALS:
    // The user closed the window.
    void Closed();

protected:
    void showEvent(QShowEvent *aoEvent) override;
    void moveEvent(QMoveEvent *aoEvent) override;
    void resizeEvent(QResizeEvent *aoEvent) override;
    void closeEvent(QCloseEvent *aoEvent) override;

private:
    void FormCreate();
    void FormDestroy();
    void CreateControls();
    void ConnectControls();
    void ApplyItem(TYPE_FACE_ITEM c, qint32 i);
    void ShowEmojiOrFeatures(TYPE_FACE_ITEM c, qint32 i);
    void ApplyBubble(qint32 i);
    void HidePaopaoSelection();
    // Moves a layer's X from where it is to arTo in arSeconds, linearly, and
    // returns when the move has ended; input is processed meanwhile.
    void SlideLayerX(TLayerControl *aoLayer, qreal arFrom, qreal arTo, qreal arSeconds);
    void SaveToFile(const QString &asFileName);
    void LoadLogo();
    void SetOuterSize(int aiWidth, int aiHeight);
    void ApplyOuterSize();
    void LayoutChildren();

    QSize FOuterSize;
    QMargins FAppliedMargins;
    bool FPlaced = false;
    int ItemCount(TYPE_FACE_ITEM fiType) const;

    TSeededPicks FPicks;
};

// The rows of the sizing rule, highest screens first; lower screens keep the
// designed sizes.
const QList<TScreenFit> &ScreenFits();
