#pragma once
// rgColor: the colour bar along the bottom of the editor. Sixteen swatches
// (the first stands for "no colour") and a free colour picker. The window keeps
// the bar hidden; its handlers work all the same.

#include "assets/untVuploraProcs.h"
#include "editor/untImageControl.h"

#include <QWidget>

#include <array>

inline constexpr int COLOR_SWATCH_COUNT = 16;

// The colour a swatch applies, by its Tag (1 to 16); any other tag gives 0, no
// colour.
TAlphaColor SwatchColor(int aiTag);

// cmbColor: shows a colour and lets the user pick another from a drop-down.
// Setting the colour always raises Change, also when it is the colour shown;
// block the signals to set it quietly.
class TColorComboBox : public QWidget {
    Q_OBJECT
public:
    explicit TColorComboBox(QWidget *aoParent = nullptr);

    TAlphaColor Color() const { return miColor; }
    void SetColor(TAlphaColor aiColor);

Q_SIGNALS:
    void Change();

protected:
    void paintEvent(QPaintEvent *aoEvent) override;
    void mouseReleaseEvent(QMouseEvent *aoEvent) override;

private:
    TAlphaColor miColor = 0xFFFFFFFF;
};

class TVuploraColorBar : public QWidget {
    Q_OBJECT
public:
    explicit TVuploraColorBar(QWidget *aoParent = nullptr);

    static constexpr int HEIGHT = 50;

    // imgColor1 .. imgColor16 (Tag 1 .. 16) and their glows geColor1 .. geColor16.
    std::array<TImageControl *, COLOR_SWATCH_COUNT> imgColor{};
    std::array<QGraphicsEffect *, COLOR_SWATCH_COUNT> geColor{};
    TColorComboBox *cmbColor;

protected:
    void paintEvent(QPaintEvent *aoEvent) override;
};
