#pragma once
// The pack selection window: two picture cards, a click on one chooses that
// pack (giPackIndex) and plays its sound. Shown at start-up and when the user
// goes back from the editor.

#include <QDialog>
#include <QString>

class TImageControl;

class TfrmSelectPack : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSelectPack(QWidget *aoParent = nullptr);

    // Client size of the window; also the size its centre is computed from.
    static constexpr int WIDTH = 888;
    static constexpr int HEIGHT = 1136;

    void imgPack1Click();
    void imgPack2Click();

    TImageControl *imgPack1;
    TImageControl *imgPack2;
    TImageControl *imgLogo;
    TImageControl *imgPack1Emoji;
    TImageControl *imgPack2Emoji;

protected:
    void showEvent(QShowEvent *aoEvent) override;

private:
    void ChoosePack(int aiPack, const QString &asSound);
    bool mbPlaced = false;
};

// Shows a new pack selection window modally and frees it when it closes. The
// window is centred on the screen, or over the editor window once that exists.
void ShowSelectPack();

// Plays the named WAV resource asynchronously; a sound still playing is cut off.
// A missing resource fails with the resource loader's error.
void PlayAudio(const QString &asResName);

// True when the platform's current language is exactly "zh".
bool IsLangCN();
