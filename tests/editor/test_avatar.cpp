// The avatar: the head centred in a square of each size, with the backdrop or
// transparent; the export dialog gives what the headless command gives for the
// same portrait, and saves it where pictures go.

#include "editortestsupport.h"

#include "editor/untVuploraAvatar.h"
#include "editor/untVuploraForm.h"
#include "compose/untVuploraHeadless.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

namespace {

using TAvatarTest = TEditorTest;

QRect Drawn(const QImage &aoImage)
{
    QRect r;
    for (int y = 0; y < aoImage.height(); ++y)
        for (int x = 0; x < aoImage.width(); ++x)
            if (qAlpha(aoImage.pixel(x, y)) != 0)
                r |= QRect(x, y, 1, 1);
    return r;
}

TEST_F(TAvatarTest, TheDialogGivesTheCommandsSquareForTheSamePortraitAtEverySize)
{
    TfrmVuplora frm;
    const TPortrait seeded = SeededPortrait(*goFaceRes, 7);
    frm.ApplyPortrait(seeded);
    TfrmAvatar dialog(&frm);
    // What `vuplora portrait --seed 7 --avatar` makes, from a pack of its own.
    TFaceRes res;
    res.LoadRes(QStringLiteral("res_girl"));
    for (int i = 0; i < dialog.cmbSize->count(); ++i) {
        dialog.cmbSize->setCurrentIndex(i);
        const int size = dialog.cmbSize->currentData().toInt();
        for (const bool backdrop : {true, false}) {
            SCOPED_TRACE(size);
            SCOPED_TRACE(backdrop);
            dialog.chkBackdrop->setChecked(backdrop);
            const QImage avatar = dialog.Avatar();
            ASSERT_EQ(avatar.size(), QSize(size, size));
            EXPECT_EQ(avatar, RenderAvatar(res, seeded, size, backdrop));
            // The backdrop fills the square; without it the bottom corners, beside
            // the neck, are clear.
            EXPECT_EQ(qAlpha(avatar.pixel(0, size - 1)), backdrop ? 255 : 0);
            EXPECT_EQ(qAlpha(avatar.pixel(size - 1, size - 1)), backdrop ? 255 : 0);
            if (backdrop) {
                EXPECT_EQ(qAlpha(avatar.pixel(0, 0)), 255);
            }
        }
    }
    EXPECT_EQ(dialog.imgPreview->pixmap().size(), QSize(TfrmAvatar::PREVIEW_SIZE, TfrmAvatar::PREVIEW_SIZE));
}

TEST_F(TAvatarTest, ASmallHeadSitsInTheMiddleWithRoomAroundItAndOnlyTheHeadCounts)
{
    TfrmVuplora frm;
    // Eyes, nose and mouth alone make a head well inside the canvas.
    TPortrait portrait = SeededPortrait(*goFaceRes, 3);
    portrait.Layers[fiFace].Visible = false;
    portrait.Layers[fiHair].Visible = false;
    const int size = 256;
    const QImage avatar = RenderAvatar(*goFaceRes, portrait, size, false);
    const QRect head = Drawn(avatar);
    ASSERT_FALSE(head.isEmpty());
    EXPECT_NEAR(head.center().x(), size / 2.0, 2);
    EXPECT_NEAR(head.center().y(), size / 2.0, 2);
    EXPECT_GE(head.left(), size / 12);
    EXPECT_GE(head.top(), size / 12);
    EXPECT_LE(head.right(), size - size / 12);
    EXPECT_LE(head.bottom(), size - size / 12);

    // The body and the foreground do not count, and a head moved on the
    // canvas takes its square along.
    TPortrait moved = portrait;
    moved.Layers[fiHand].Visible = false;
    moved.Layers[fiFG].Present = false;
    for (TYPE_FACE_ITEM type : {fiBrow, fiEye, fiNose, fiMouth, fiGlasses, fiEmoji})
        moved.Layers[type].Pos += QPointF(30, 40);
    EXPECT_EQ(RenderAvatar(*goFaceRes, moved, size, false), avatar);
}

TEST_F(TAvatarTest, SaveWritesThePictureWherePicturesGo)
{
    QTemporaryDir dir;
    moFake.SaveDialog.ChosenFile = dir.filePath(QStringLiteral("me.png"));
    TfrmVuplora frm;
    frm.FNow = [] { return QDateTime(QDate(2014, 8, 26), QTime(15, 7, 9)); };
    TfrmAvatar dialog(&frm);
    dialog.cmbSize->setCurrentIndex(0);
    QTest::mouseClick(dialog.btnSave, Qt::LeftButton);
    EXPECT_TRUE(moErrors.isEmpty()) << moErrors.join(u'\n');
    EXPECT_EQ(moFake.SaveDialog.LastOptions.FileName, QStringLiteral("Vuplora_avatar_2014-08-26_15-07-09.png"));
    EXPECT_EQ(moFake.SaveDialog.LastOptions.InitialDir, moFake.Shell.Pictures);
    const QImage saved(moFake.SaveDialog.ChosenFile);
    EXPECT_EQ(saved.size(), QSize(256, 256));
    EXPECT_EQ(Premultiplied(saved), dialog.Avatar());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

} // namespace
