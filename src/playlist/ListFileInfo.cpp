#include "playlist/uList.h"

#include "timeline/TimeUtils.h"

#include <QLabel>

namespace {

TfrmList::TFileFactsReader g_factsReader;
std::optional<int> g_factsWaitMs;  // set: facts are read off the GUI thread

// The two lines of the facts of FileName as `reader` reads them.
QString FactsText(const TfrmList::TFileFactsReader& reader, const QString& FileName) {
    TfrmList::TFileFacts info;
    if (!reader || !reader(FileName, info))
        return QStringLiteral("NO FILE INFO");
    // The two lines are separated by a lone CR, as the label shows them.
    return info.FileName + " | " + info.FileSizeTxt + " | Duration: " + SecondsToTimeStr(info.DurationSec, true) +
           " | SampleRate: " + QString::number(info.SampleRate) + '\r' + "Channels: " +
           QString::number(info.Channels) + " | Bitrate: " + QString::number(info.BitsPerSample) +
           " | Format: " + info.Format;
}

}  // namespace

void TfrmList::OnSelectionChanged() {
    const int row = SelectedRow();
    if (row >= 0 && !FPlaylist.isEmpty())
        DisplayFileInfo(FPlaylist.model().location(row));
}

void TfrmList::SetFileFactsReader(TFileFactsReader Reader, std::optional<int> WaitMs) {
    g_factsReader = std::move(Reader);
    g_factsWaitMs = WaitMs;
}

QString TfrmList::FileInfoText(const QString& FileName) { return FactsText(g_factsReader, FileName); }

void TfrmList::DisplayFileInfo(const QString& FileName) {
    if (!g_factsWaitMs) {
        FFactsRead.cancel();
        ShowFileInfoText(FileInfoText(FileName));
        return;
    }
    auto read = [FileName, reader = g_factsReader] { return FactsText(reader, FileName); };
    if (!FFactsRead.start(read, [this](const QString& text) { ShowFileInfoText(text); }, *g_factsWaitMs))
        ShowFileInfoText(QString());
}

void TfrmList::ShowFileInfoText(const QString& text) {
    // A label breaks its lines at LF only; the lone CR becomes one here.
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(shown);
    Label1->adjustSize();
}
