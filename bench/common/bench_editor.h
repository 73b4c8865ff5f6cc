#pragma once
// The editor as the window benchmarks time it: shown on a fake platform with a
// 1920 x 1080 screen, whose dialogs answer from their fields when asked, and a scratch
// folder for the files a benchmark writes.

#include "editor/untVuploraForm.h"
#include "platform/fakeplatform.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

struct TBenchEditor {
    TFakePlatform Fake;
    std::unique_ptr<TPlatformOverride> Use;
    QTemporaryDir Dir;
    std::unique_ptr<TfrmVuplora> Frm;

    TBenchEditor()
    {
        Fake.Screen.Size = QSizeF(1920, 1080);
        Use = std::make_unique<TPlatformOverride>(Fake.Services());
        Frm = std::make_unique<TfrmVuplora>();
        Frm->show();
        (void)QTest::qWaitForWindowExposed(Frm.get());
    }
};
