#include "svg/controls/svg_document_component.h"

#include <QBuffer>
#include <algorithm>

TRSFmxSVGDocument::TRSFmxSVGDocument(QObject *aParent)
    : QObject(aParent), FSVG(std::make_unique<TSVGDocument>())
{
    FSVG->SetOnChange([this](TSVGDocument *) { DocumentChange(); });
}

TRSFmxSVGDocument::~TRSFmxSVGDocument()
{
    // Viewers are detached before the document goes, so none paints a freed tree.
    const std::vector<ISVGViewer *> viewers = std::move(FViewers);
    FViewers.clear();
    for (ISVGViewer *viewer : viewers)
        viewer->DocumentDestroying(this);
    FSVG->SetOnChange(nullptr);
}

void TRSFmxSVGDocument::DocumentChange()
{
    Q_EMIT Changing(this);
    // A viewer may detach itself or another viewer while it handles the change; the
    // ones gone by then are skipped.
    const std::vector<ISVGViewer *> viewers = FViewers;
    for (ISVGViewer *viewer : viewers)
        if (std::find(FViewers.begin(), FViewers.end(), viewer) != FViewers.end())
            viewer->DocumentChanged(this);
    Q_EMIT Change(this);
}

void TRSFmxSVGDocument::SetLines(const QStringList &Value)
{
    FLines = Value;
    FFilename.clear();
    LoadSVGFromStrings(FLines);
}

void TRSFmxSVGDocument::SetFilename(const QString &Value)
{
    if (Value == FFilename)
        return;
    FFilename = Value;
    FLines.clear();
    FSVG->Clear();
    if (!FFilename.isEmpty())
        FSVG->LoadFromFile(FFilename);
}

void TRSFmxSVGDocument::LoadSVGFromStrings(const QStringList &Value)
{
    FSVG->Clear();
    if (Value.isEmpty())
        return;
    // One line break after every line, as a string list writes itself out.
    QByteArray bytes;
    for (const QString &line : Value) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    FSVG->LoadFromStream(stream);
}

void TRSFmxSVGDocument::AddViewer(ISVGViewer *Viewer)
{
    if (Viewer && std::find(FViewers.begin(), FViewers.end(), Viewer) == FViewers.end())
        FViewers.push_back(Viewer);
}

void TRSFmxSVGDocument::RemoveViewer(ISVGViewer *Viewer)
{
    FViewers.erase(std::remove(FViewers.begin(), FViewers.end(), Viewer), FViewers.end());
}
