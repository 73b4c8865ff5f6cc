#include "editor/untVuploraToolbar.h"

#include "editor/untVuploraCategories.h"

#include <QPainter>

namespace {

constexpr int TAB_WIDTH = 64;
constexpr int SEPARATOR_WIDTH = 10;
constexpr int WEB_WIDTH = 65;

QGraphicsEffect *ToolbarShadow()
{
    return MakeShadowEffect(3, 45, 0.3, 0.6);
}

QGraphicsEffect *TabGlow(TImageControl *aoTab)
{
    QGraphicsEffect *glow = MakeGlowEffect(QColor(0, 255, 0), 0.4, 0.9);
    aoTab->SetEffect(glow, false);
    return glow;
}

} // namespace

TVuploraToolbar::TVuploraToolbar(QWidget *aoParent) : QWidget(aoParent)
{
    setObjectName(QStringLiteral("rgtToolbar"));
    setFixedHeight(HEIGHT);

    imgTabBack = Add("imgTabBack", TAB_WIDTH, QStringLiteral("tab_back.png"));
    imgTabSave = Add("imgTabSave", TAB_WIDTH, QStringLiteral("tab_save.png"));
    imgTabRandom = Add("imgTabRandom", TAB_WIDTH, QStringLiteral("tab_random.png"));
    img1 = Add("img1", SEPARATOR_WIDTH, QStringLiteral("separator.png"));
    for (const TCategory &category : Categories()) {
        TImageControl *tab = Add(category.TabName, TAB_WIDTH, QLatin1String(category.TabPicture));
        this->*category.Tab = tab;
        this->*category.Glow = TabGlow(tab);
        (this->*category.Glow)->setObjectName(QLatin1String(category.GlowName));
    }
    img2 = Add("img2", SEPARATOR_WIDTH, QStringLiteral("separator.png"));
    imgTabWeb = Add("imgTabWeb", WEB_WIDTH, QStringLiteral("tab_web.png"));

    for (TImageControl *command : {imgTabBack, imgTabSave, imgTabRandom})
        command->SetMouseOverEffect(ToolbarShadow());
    for (TImageControl *separator : {img1, img2}) {
        separator->SetEffect(ToolbarShadow(), true);
        separator->SetHitTest(false);
        separator->unsetCursor();
    }

    geWeb = TabGlow(imgTabWeb);
}

TImageControl *TVuploraToolbar::Add(const char *asName, int aiWidth, const QString &asPicture)
{
    auto *img = new TImageControl(this);
    img->setObjectName(QLatin1String(asName));
    // Each control starts where the one before it ends.
    const int x = moControls.isEmpty() ? 0 : moControls.last()->geometry().right() + 1;
    img->setGeometry(x, 0, aiWidth, HEIGHT);
    img->SetPicture(LayoutPicture(asPicture));
    img->setCursor(Qt::PointingHandCursor);
    moControls.append(img);
    return img;
}

void TVuploraToolbar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
}

TImageControl *TVuploraToolbar::Tab(TYPE_FACE_ITEM fiType) const
{
    return this->*CategoryOf(fiType).Tab;
}

QGraphicsEffect *TVuploraToolbar::Glow(TYPE_FACE_ITEM fiType) const
{
    return this->*CategoryOf(fiType).Glow;
}
