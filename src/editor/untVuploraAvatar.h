#pragma once
// The export dialog of avatars (see RenderAvatar).

#include "compose/untVuploraCompose.h"

#include <QDialog>

class TfrmVuplora;
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
