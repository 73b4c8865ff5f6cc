#pragma once
// Avatars: a square picture of the portrait's head for profile images. The
// head is what the face, hair, brows, eyes, nose, mouth, glasses and emoji
// layers draw on the canvas; the square is centred on their drawn pixels with a
// margin around them, moved only as far as it takes to stay on the canvas (a
// head too large for a margin fills the canvas's width), and shows the backdrop
// under them or stays transparent. The avatar is
// made from the portrait value (TPortrait) and the pack alone, so the editor's
// export and `vuplora portrait --avatar` give the same square for the same
// portrait.

#include "assets/untVuplora.h"
#include "assets/untVuploraPortrait.h"

#include <QDialog>
#include <QImage>
#include <QRectF>

#include <array>

class TfrmVuplora;

// The sizes offered, in pixels.
inline constexpr std::array<int, 3> AVATAR_SIZES = {256, 512, 1024};
bool IsAvatarSize(int aiSize);

// The head and the backdrop of a portrait, each drawn once at canvas size; an
// avatar of any size and either backdrop choice is cut from them.
struct TAvatarParts {
    QImage Head;
    QImage Backdrop;
    // The square of the canvas the avatar shows, in canvas units.
    QRectF Square;
};

TAvatarParts ComposeAvatarParts(TFaceRes &aoRes, const TPortrait &aoPortrait);
QImage RenderAvatar(const TAvatarParts &aoParts, int aiSize, bool abBackdrop);
QImage RenderAvatar(TFaceRes &aoRes, const TPortrait &aoPortrait, int aiSize, bool abBackdrop);

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The export dialog: size, backdrop, a preview, and Save, which asks for a file
// name as saving a picture does and writes a PNG. The portrait is composed once,
// when the dialog opens; the choices only cut and scale it.
class TfrmAvatar : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAvatar(TfrmVuplora *aoWindow);

    QComboBox *cmbSize;
    QCheckBox *chkBackdrop;
    QLabel *imgPreview;
    QPushButton *btnSave;

    // The avatar as chosen now.
    QImage Avatar() const;
    // Asks for the file and writes it; the dialog closes once it is written.
    void Save();

    static constexpr int PREVIEW_SIZE = 256;

private:
    void UpdatePreview();
    TfrmVuplora *moWindow;
    TAvatarParts moParts;
};

void ShowAvatarDialog(TfrmVuplora *aoWindow);
