#pragma once
// TfrmVuplora, the editor's main window: toolbar across the top, item browser on
// the right, the portrait canvas on the left. The window is thin: the toolbar,
// the canvas with its layers and the browser live in their own units; this one
// holds the window's state, its creation steps and the random portrait.

#include "assets/untVuplora.h"
#include "editor/untVuploraBrowser.h"
#include "editor/untVuploraCanvas.h"
#include "editor/untVuploraToolbar.h"

#include <QLoggingCategory>
#include <QPointF>
#include <QWidget>

#include <random>

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
    void setImage(TLayerControl *moImg);
};

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
    QWidget *rgColor = nullptr;
    QWidget *plPreview = nullptr;
    TItemBrowser *changeBox = nullptr;
    TImageControl *imgThumbback = nullptr;

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
    void InitLayer(TLayerControl *aoLayer, TYPE_FACE_ITEM fiType);

    void SetFace(qint32 aiIndex);
    void RandomItem(QImage &aoBitmap, TYPE_FACE_ITEM fiType, TFaceItem &aoItem);
    // RandomItem on a layer's own bitmap and TFaceItem.
    void RandomLayer(TLayerImage *aoLayer, TYPE_FACE_ITEM fiType);
    void RandomPortrait();
    void FreeLayerItems();

    // Tabs and browser.
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
    struct TTab {
        TImageControl *Tab;
        QGraphicsEffect *Glow;
        TLayerControl *Layer;
        TYPE_FACE_ITEM Category;
    };

    void FormCreate();
    void FormDestroy();
    void CreateControls();
    void ConnectTabs();
    void TabClick(const TTab &aoTab);
    const TTab &TabOf(TImageControl *aoTab) const;
    void LoadLogo();
    void SetOuterSize(int aiWidth, int aiHeight);
    void ApplyOuterSize();
    void LayoutChildren();

    QList<TTab> moTabs;
    QSize moOuterSize;
    QMargins moAppliedMargins;
    bool mbPlaced = false;
    std::mt19937 moRandom;
};

// The rows of the sizing rule, highest screens first; lower screens keep the
// designed sizes.
const QList<TScreenFit> &ScreenFits();
