#include "editor/untStartup.h"

#include "editor/untSelectPack.h"

std::unique_ptr<TfrmVuplora> StartUp()
{
    // The editor is created only after the pack window has closed, so the index
    // it loads is the chosen pack's.
    ShowSelectPack();
    auto frm = std::make_unique<TfrmVuplora>();
    // The bubble text dialog joins here once the bubble editing exists.
    frm->show();
    return frm;
}
