#pragma once
// Portrait files, the clipboard and dropped files for the editor window:
// Ctrl+Shift+S writes the composition to a portrait file, Ctrl+O (or a file
// dropped on the window, or named on the command line) opens one, Ctrl+C copies
// the picture. The composition itself (TPortrait) and its file form live in
// assets/untVuploraPortrait.h; the window captures and applies it
// (TfrmVuplora::CapturePortrait / ApplyPortrait).
//
// Failures: a file that cannot be read fails with "Cannot read the portrait
// file." or "The portrait file is larger than 8 MiB.", a malformed one with the
// messages of ReadPortrait; writing fails with "Saving portrait file failed.".
// A file whose items the pack lacks opens what it can and reports
// LayersNotRestoredMessage.

#include "assets/untVuploraPortrait.h"

#include <QString>
#include <QStringList>

#include <memory>

class TfrmVuplora;

// The filter of the portrait file dialogs.
inline constexpr char PORTRAIT_FILE_FILTER[] = "Vuplora portrait|*.vuplora";

// The composition held in a portrait file; fails as described above.
TPortrait ReadPortraitFile(const QString &asFileName);
// True for a name a portrait file carries (its extension, in any case).
bool IsPortraitFileName(const QString &asFileName);

// What opening a file says when the file reads but its portrait cannot be put on
// the window (its bubble's document does not load): "The portrait file '%1' was not
// opened: %2", the file's name and the part that failed.
QString NotOpenedMessage(const QString &asFileName, const QString &asReason);

// Names of layers as the user knows them, in the interface language.
QString LayerDisplayName(TYPE_FACE_ITEM fiType, bool abLangCN);
// What opening a file says when some of its layers could not be restored.
QString LayersNotRestoredMessage(const QList<TYPE_FACE_ITEM> &aoLayers, bool abLangCN);

// The window's actions for portrait files and the clipboard (Ctrl+Shift+S,
// Ctrl+O, Ctrl+C) and its acceptance of dropped portrait files.
void InstallPortraitFileActions(TfrmVuplora *aoWindow);

// Start-up with a portrait file named on the command line: the pack selection
// is skipped for the file's pack and the editor opens the file. A file that
// cannot be read is reported and start-up goes on as usual.
std::unique_ptr<TfrmVuplora> StartUpWithPortraitFile(const QString &asFileName);
