// The editor window's colour bar: a swatch or the picker recolours the current
// bitmap layer and stores the colour in its TFaceItem.

#include "editor/untVuploraForm.h"

#include "assets/untVuploraProcs.h"
#include "compose/untVuploraCompose.h"
#include "editor/untVuploraSettings.h"
#include "editor/untVuploraUndo.h"

void TfrmVuplora::imgColor1Click(QObject *Sender)
{
    // Only the swatches (plain picture controls) share this handler.
    if (!Sender || Sender->metaObject() != &TImageControl::staticMetaObject)
        return;
    // Setting the picker raises its change event even for the colour it shows,
    // and that applies the colour.
    rgColor->cmbColor->SetColor(SwatchColor(static_cast<TImageControl *>(Sender)->Tag()));
}

void TfrmVuplora::cmbColorChange(QObject *)
{
    ApplyColor(rgColor->cmbColor->Color());
}

void TfrmVuplora::ApplyColor(TAlphaColor aiColor)
{
    TLayerImage *L = FCurrentImage.Image;
    // The background cannot be recoloured.
    if (!L || L == slCanvas->imgBack || !L->FaceItem())
        return;
    const TRecordStep step(FHistory, QStringLiteral("Colour"));
    TFaceItem &item = *L->FaceItem();
    item.miColor = aiColor;
    QImage bitmap = L->Bitmap();
    GetItemPicture(*goFaceRes, bitmap, item.moType, item.miIndex, aiColor);
    L->SetBitmap(bitmap);
    // The face's picture reloads by its item, uncoloured, and becomes the
    // face shown (SetFace).
    if (item.moType == fiFace)
        giFaceIndex = item.miIndex;
}

void TfrmVuplora::SetColorsShown(bool abShown)
{
    rgColor->setVisible(abShown);
    // The browser gives the bar its place at the bottom.
    LayoutChildren();
    SetSettingColorsShown(abShown);
}

bool TfrmVuplora::ColorsShown() const
{
    return rgColor->isVisibleTo(this);
}
