// The pack selection window: which pack a click chooses, its sound, closing
// without a choice, hover shadows, placement, and the interface language.

#include "editortestsupport.h"

#include "editor/untImageControl.h"
#include "editor/untVuploraForm.h"

#include <QApplication>
#include <QGraphicsEffect>
#include <QGuiApplication>
#include <QScreen>
#include <QtEndian>

namespace {

using TSelectPackTest = TEditorTest;

struct TClickCase {
    const char *Where;
    QPoint Pos;
    int PackBefore;
    int PackAfter;
    const char *Sound; // nullptr: no choice, the window stays open
};

TEST_F(TSelectPackTest, ClickChoosesThePackUnderThePointer)
{
    const TClickCase cases[] = {
        {"overlap of the two cards", QPoint(450, 500), 1, 2, "res_audio_2"},
        {"overlay of pack 1", QPoint(200, 400), 2, 1, "res_audio_1"},
        {"overlay of pack 2", QPoint(700, 800), 1, 2, "res_audio_2"},
        {"left edge of pack 1", QPoint(118, 179), 2, 1, "res_audio_1"},
        {"logo", QPoint(440, 80), 2, 2, nullptr},
        {"transparent margin", QPoint(40, 500), 2, 2, nullptr},
    };
    for (const TClickCase &c : cases) {
        SCOPED_TRACE(c.Where);
        giPackIndex = c.PackBefore;
        moFake.Sound.Played.clear();
        bool stillOpen = false;
        const auto script = WhenPackWindowShown([&](TfrmSelectPack *frm) {
            ClickAt(frm, c.Pos);
            stillOpen = frm->isVisible();
            if (stillOpen)
                frm->close();
        });
        ShowSelectPack();

        EXPECT_EQ(giPackIndex, c.PackAfter);
        EXPECT_EQ(stillOpen, c.Sound == nullptr);
        if (c.Sound) {
            ASSERT_EQ(moFake.Sound.Played.size(), 1);
            // The player gets the compiled-in sound by its resource URL.
            EXPECT_EQ(moFake.Sound.Played.first(), QUrl(QStringLiteral("qrc:/") + QLatin1String(c.Sound)));
        } else {
            EXPECT_TRUE(moFake.Sound.Played.isEmpty());
        }
    }
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TSelectPackTest, ClosingWithoutChoiceKeepsThePackAndPlaysNothing)
{
    for (const int pack : {1, 2}) {
        giPackIndex = pack;
        const auto script = WhenPackWindowShown([](TfrmSelectPack *frm) { frm->close(); });
        ShowSelectPack();
        EXPECT_EQ(giPackIndex, pack);
    }
    EXPECT_TRUE(moFake.Sound.Played.isEmpty());
}

TEST_F(TSelectPackTest, WithoutSoundServiceTheChoiceStillCounts)
{
    TPlatform services = moFake.Services();
    services.Sound = nullptr;
    TPlatformOverride noSound(services);
    const auto script = WhenPackWindowShown([](TfrmSelectPack *frm) { ClickAt(frm, QPoint(600, 500)); });
    ShowSelectPack();
    EXPECT_EQ(giPackIndex, 2);
    EXPECT_TRUE(moErrors.isEmpty());
}

TEST_F(TSelectPackTest, MissingSoundFailsAfterThePackIsSetAndTheWindowStaysUsable)
{
    // Everything the window needs except the second sound.
    TMemoryResourceProvider resources;
    resources.Add(QStringLiteral("res_audio_1"), ResourceProvider().Open(QStringLiteral("res_audio_1")));
    TScopedResourceProvider use(resources);

    bool stillOpen = false;
    int packAfterFailure = 0;
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *frm) {
        ClickAt(frm, QPoint(600, 500));
        stillOpen = frm->isVisible();
        packAfterFailure = giPackIndex;
        // The failed click leaves nothing stuck: the next one chooses as usual.
        ClickAt(frm, QPoint(200, 500));
        if (frm->isVisible())
            frm->close();
    });
    ShowSelectPack();

    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(packAfterFailure, 2);
    EXPECT_EQ(moErrors, QStringList{QStringLiteral("Resource res_audio_2 not found")});
    EXPECT_EQ(giPackIndex, 1);
    EXPECT_EQ(moFake.Sound.Played, QList<QUrl>{resources.Url(QStringLiteral("res_audio_1"))});
}

TEST_F(TSelectPackTest, ShadowFollowsThePointer)
{
    const auto script = WhenPackWindowShown([](TfrmSelectPack *frm) {
        QGraphicsEffect *se1 = frm->imgPack1->graphicsEffect();
        QGraphicsEffect *se2 = frm->imgPack2->graphicsEffect();
        EXPECT_FALSE(se1->isEnabled());
        EXPECT_FALSE(se2->isEnabled());
        // The pointer enters the window over its transparent margin first.
        MovePointerTo(frm, QPoint(40, 40));
        MovePointerTo(frm, QPoint(300, 600));
        EXPECT_TRUE(se1->isEnabled());
        EXPECT_FALSE(se2->isEnabled());
        // Over the overlap the upper card has the pointer.
        MovePointerTo(frm, QPoint(450, 600));
        EXPECT_FALSE(se1->isEnabled());
        EXPECT_TRUE(se2->isEnabled());
        MovePointerTo(frm, QPoint(40, 40));
        EXPECT_FALSE(se1->isEnabled());
        EXPECT_FALSE(se2->isEnabled());
        frm->close();
    });
    ShowSelectPack();
}

TEST_F(TSelectPackTest, LayoutStackingAndPointerInput)
{
    TfrmSelectPack frm;
    EXPECT_TRUE(frm.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(frm.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_EQ(frm.size(), QSize(888, 1136));
    const struct {
        TImageControl *Control;
        QRect Box;
        bool TakesInput;
    } expected[] = {
        {frm.imgPack1, QRect(118, 179, 344, 734), true},
        {frm.imgPack2, QRect(438, 179, 344, 734), true},
        {frm.imgLogo, QRect(291, 24, 307, 129), false},
        {frm.imgPack1Emoji, QRect(118, 179, 344, 734), false},
        {frm.imgPack2Emoji, QRect(438, 179, 344, 734), false},
    };
    // Children are listed bottom to top.
    const QObjectList children = frm.children();
    int previous = -1;
    for (const auto &e : expected) {
        SCOPED_TRACE(e.Control->objectName().toStdString());
        EXPECT_EQ(e.Control->geometry(), e.Box);
        EXPECT_EQ(e.Control->HitTest(), e.TakesInput);
        EXPECT_FALSE(e.Control->Picture().isNull());
        const int at = static_cast<int>(children.indexOf(e.Control));
        EXPECT_GT(at, previous);
        previous = at;
    }
    // The logo picture keeps its proportions inside its larger box.
    const QRectF logo = FitRect(frm.imgLogo->Picture().size(), QRectF(0, 0, 307, 129));
    EXPECT_NEAR(logo.width() / logo.height(), 245.0 / 90.0, 0.01);
}

TEST_F(TSelectPackTest, CentredOnTheScreenThenOverTheEditor)
{
    // The offscreen screen is lower than the window: it reaches beyond the top
    // and the bottom edge by the same amount.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto script = WhenPackWindowShown([&](TfrmSelectPack *frm) {
        EXPECT_EQ(QRectF(frm->frameGeometry()).center(), QRectF(screen).center());
        EXPECT_LT(frm->frameGeometry().top(), screen.top());
        EXPECT_EQ(frm->frameGeometry().top() - screen.top(), screen.bottom() - frm->frameGeometry().bottom());
        frm->close();
    });
    ShowSelectPack();

    TfrmVuplora editor;
    editor.show();
    editor.move(screen.topLeft() + QPoint(30, 40));
    const QRect editorRect = editor.frameGeometry();
    editor.hide();
    const auto script2 = WhenPackWindowShown([&](TfrmSelectPack *frm) {
        EXPECT_LE((QRectF(frm->frameGeometry()).center() - QRectF(editorRect).center()).manhattanLength(), 1);
        frm->close();
    });
    ShowSelectPack();
}

TEST_F(TSelectPackTest, InterfaceIsChineseOnlyForExactlyZh)
{
    const struct {
        const char *LangID;
        bool Chinese;
    } cases[] = {{"zh", true}, {"en", false}, {"ja", false}, {"ZH", false}, {"zh-CN", false}, {"", false}};
    for (const auto &c : cases) {
        moFake.Locale.LangID = QLatin1String(c.LangID);
        EXPECT_EQ(IsLangCN(), c.Chinese) << c.LangID;
    }
    TPlatform services = moFake.Services();
    services.Locale = nullptr;
    TPlatformOverride noLocale(services);
    EXPECT_FALSE(IsLangCN());
}

TEST_F(TSelectPackTest, SoundsArePcmStereo16BitAt11025Hz)
{
    const struct {
        const char *Name;
        double Seconds;
    } sounds[] = {{"res_audio_1", 1.4}, {"res_audio_2", 1.1}};
    for (const auto &s : sounds) {
        SCOPED_TRACE(s.Name);
        // Names are matched without regard to case.
        const QByteArray wav = ResourceProvider().Open(QLatin1String(s.Name).toString().toUpper());
        ASSERT_GE(wav.size(), 44);
        EXPECT_EQ(wav.left(4), "RIFF");
        EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
        const auto *h = reinterpret_cast<const uchar *>(wav.constData());
        EXPECT_EQ(qFromLittleEndian<quint16>(h + 20), 1);     // PCM
        EXPECT_EQ(qFromLittleEndian<quint16>(h + 22), 2);     // channels
        EXPECT_EQ(qFromLittleEndian<quint32>(h + 24), 11025); // samples per second
        EXPECT_EQ(qFromLittleEndian<quint16>(h + 34), 16);    // bits per sample
        EXPECT_EQ(wav.mid(36, 4), "data");
        const double seconds = qFromLittleEndian<quint32>(h + 40) / (11025.0 * 4);
        EXPECT_NEAR(seconds, s.Seconds, 0.05);
    }
}

} // namespace
