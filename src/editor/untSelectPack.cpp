#include "editor/untSelectPack.h"

#include "assets/untVuplora.h"
#include "editor/untImageControl.h"
#include "editor/untVuploraForm.h"
#include "platform/platform.h"
#include "platform/resources.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr qreal CARD_SHADOW_DISTANCE = 10;
constexpr qreal CARD_SHADOW_DIRECTION = 50;
constexpr qreal CARD_SHADOW_SOFTNESS = 0.3;
constexpr qreal CARD_SHADOW_OPACITY = 0.6;

TImageControl *AddPicture(QWidget *aoParent, const char *asName, const QRect &aoBox,
                          const QString &asPicture)
{
    auto *img = new TImageControl(aoParent);
    img->setObjectName(QLatin1String(asName));
    img->setGeometry(aoBox);
    img->SetPicture(LayoutPicture(asPicture));
    return img;
}

// Centre of the area the window is placed over: the editor window's rectangle
// when it exists (even hidden, it keeps its position), else the screen.
QPoint PlacementCentre()
{
    if (frmVuplora)
        return QRectF(frmVuplora->frameGeometry()).center().toPoint();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        return QRectF(screen->geometry()).center().toPoint();
    return QPoint(0, 0);
}

} // namespace

TfrmSelectPack::TfrmSelectPack(QWidget *aoParent)
    : QDialog(aoParent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSelectPack"));
    setAttribute(Qt::WA_TranslucentBackground);
    setModal(true);
    setFixedSize(WIDTH, HEIGHT);

    // Created bottom to top: a later sibling lies above an earlier one, so in the
    // strip where the cards overlap the second card takes the click.
    imgPack1 = AddPicture(this, "imgPack1", QRect(118, 179, 344, 734), QStringLiteral("pack1.png"));
    imgPack2 = AddPicture(this, "imgPack2", QRect(438, 179, 344, 734), QStringLiteral("pack2.png"));
    imgLogo = AddPicture(this, "imgLogo", QRect(291, 24, 307, 129), QStringLiteral("logo.png"));
    imgPack1Emoji = AddPicture(this, "imgPack1Emoji", QRect(118, 179, 344, 734),
                               QStringLiteral("pack1_emoji.png"));
    imgPack2Emoji = AddPicture(this, "imgPack2Emoji", QRect(438, 179, 344, 734),
                               QStringLiteral("pack2_emoji.png"));
    imgLogo->SetHitTest(false);
    imgPack1Emoji->SetHitTest(false);
    imgPack2Emoji->SetHitTest(false);

    for (TImageControl *card : {imgPack1, imgPack2}) {
        card->SetMouseOverEffect(MakeShadowEffect(CARD_SHADOW_DISTANCE, CARD_SHADOW_DIRECTION,
                                                  CARD_SHADOW_SOFTNESS, CARD_SHADOW_OPACITY));
        card->setCursor(Qt::PointingHandCursor);
    }
    connect(imgPack1, &TImageControl::Click, this, &TfrmSelectPack::imgPack1Click);
    connect(imgPack2, &TImageControl::Click, this, &TfrmSelectPack::imgPack2Click);
}

void TfrmSelectPack::imgPack1Click()
{
    ChoosePack(1, QStringLiteral("res_audio_1"));
}

void TfrmSelectPack::imgPack2Click()
{
    ChoosePack(2, QStringLiteral("res_audio_2"));
}

void TfrmSelectPack::ChoosePack(int aiPack, const QString &asSound)
{
    giPackIndex = aiPack;
    PlayAudio(asSound);
    close();
}

void TfrmSelectPack::showEvent(QShowEvent *aoEvent)
{
    if (!mbPlaced) {
        // From the full size, so on a low screen the window reaches beyond the top
        // and the bottom edge by the same amount.
        mbPlaced = true;
        move(PlacementCentre() - QPoint(WIDTH / 2, HEIGHT / 2));
    }
    QDialog::showEvent(aoEvent);
}

void ShowSelectPack()
{
    TfrmSelectPack frm;
    frm.exec();
}

void PlayAudio(const QString &asResName)
{
    // A missing sound fails whether or not there is a player.
    const QUrl source = ResourceProvider().Url(asResName);
    if (ISoundService *sound = Platform().Sound)
        sound->PlaySound(source);
}

bool IsLangCN()
{
    const ILocaleService *locale = Platform().Locale;
    return locale && locale->GetCurrentLangID() == QLatin1String("zh");
}
