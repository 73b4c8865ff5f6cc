#include "editor/untVuploraCategories.h"

#include "editor/untVuploraCanvas.h"
#include "editor/untVuploraToolbar.h"
#include "errors/errors.h"

namespace {

using TB = TVuploraToolbar;
using TC = TLayerCanvas;

// clang-format off
const std::array<TCategory, FACE_ITEM_TYPE_COUNT> CATEGORIES = {{
    {fiEmoji,   "imgTabEmoji",  "tab_emoji.png",  &TB::imgTabEmoji,  "geEmoji",  &TB::geEmoji,  "imgEmoji",  &TC::imgEmoji},
    {fiFace,    "imgTabFace",   "tab_face.png",   &TB::imgTabFace,   "geFace",   &TB::geFace,   "imgFace",   &TC::imgFace},
    {fiHair,    "imgTabHair",   "tab_hair.png",   &TB::imgTabHair,   "geHair",   &TB::geHair,   "imgHair",   &TC::imgHair},
    {fiBrow,    "imgTabBrow",   "tab_brow.png",   &TB::imgTabBrow,   "geBrow",   &TB::geBrow,   "imgBrow",   &TC::imgBrow},
    {fiEye,     "imgTabEyes",   "tab_eyes.png",   &TB::imgTabEyes,   "geEye",    &TB::geEye,    "imgEyes",   &TC::imgEyes},
    {fiNose,    "imgTabNose",   "tab_nose.png",   &TB::imgTabNose,   "geNose",   &TB::geNose,   "imgNose",   &TC::imgNose},
    {fiMouth,   "imgTabMouth",  "tab_mouth.png",  &TB::imgTabMouth,  "geMouth",  &TB::geMouth,  "imgMouth",  &TC::imgMouth},
    {fiGlasses, "imgTabGlass",  "tab_glass.png",  &TB::imgTabGlass,  "geGlass",  &TB::geGlass,  "imgGlass",  &TC::imgGlass},
    {fiHand,    "imgTabHand",   "tab_hand.png",   &TB::imgTabHand,   "geHand",   &TB::geHand,   "imgHand",   &TC::imgHand},
    {fiBG,      "imgTabBKG",    "tab_bkg.png",    &TB::imgTabBKG,    "geBKG",    &TB::geBKG,    "imgBack",   &TC::imgBack},
    {fiPaopao,  "imgTabPaopao", "tab_paopao.png", &TB::imgTabPaopao, "gePaopao", &TB::gePaopao, "imgPaopao", nullptr},
    {fiFG,      "imgTabFG",     "tab_fg.png",     &TB::imgTabFG,     "geFG",     &TB::geFG,     "imgFG",     &TC::imgFG},
}};
// clang-format on

} // namespace

const std::array<TCategory, FACE_ITEM_TYPE_COUNT> &Categories()
{
    return CATEGORIES;
}

const TCategory &CategoryOf(TYPE_FACE_ITEM fiType)
{
    for (const TCategory &category : CATEGORIES)
        if (category.Type == fiType)
            return category;
    throw EArgumentOutOfRange();
}
