#include "editor/untStartup.h"

#include "editor/untSelectPack.h"
#include "editor/untVuploraPaopao.h"

std::unique_ptr<TfrmVuplora> StartUp()
{
    // The editor is created only after the pack window has closed, so the index
    // it loads is the chosen pack's.
    ShowSelectPack();
    auto frm = std::make_unique<TfrmVuplora>();
    CreateEditPaopao();
    frm->show();
    return frm;
}
