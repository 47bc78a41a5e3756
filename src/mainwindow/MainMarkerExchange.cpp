// TForm1: markers to and from the files other programs read (the marker
// list's and the timeline's menus), and the chapters a file carries shown as
// its markers when it has no marker file.

#include "mainwindow/uMain.h"

#include "audio/bass.h"
#include "controls/StyleImages.h"
#include "platform/AppError.h"
#include "platform/Prompts.h"
#include "settings/LangTexts.h"
#include "timeline/AudioFileMarkers.h"
#include "timeline/MarkerExchange.h"
#include "timeline/MarkerFile.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QStyle>

#include <iterator>

namespace {

QString FormatFilterText(MarkerFormat format) {
    switch (format) {
    case MarkerFormat::Audacity: return uLang::Form1_AudacityLabels_filter;
    case MarkerFormat::Cue: return uLang::Form1_CueSheet_filter;
    case MarkerFormat::FfMetadata: return uLang::Form1_FfMetadata_filter;
    case MarkerFormat::PodcastJson: return uLang::Form1_PodcastJson_filter;
    case MarkerFormat::Timestamps: return uLang::Form1_Timestamps_filter;
    }
    return {};
}

// One filter per format, in kMarkerFormats order: "CUE sheet, ... (*.cue)".
QStringList FormatFilters() {
    QStringList filters;
    for (const MarkerFormat format : kMarkerFormats)
        filters << QStringLiteral("%1 (*.%2)").arg(FormatFilterText(format), MarkerFormatSuffix(format));
    return filters;
}

QStringList ImportFilters() {
    QStringList patterns;
    for (const MarkerFormat format : kMarkerFormats)
        if (const QString p = QStringLiteral("*.") + MarkerFormatSuffix(format); !patterns.contains(p))
            patterns << p;
    return QStringList{QStringLiteral("%1 (%2)").arg(uLang::Form1_AllMarkerFiles_filter, patterns.join(u' '))} +
           FormatFilters() + QStringList{uLang::Form1_AllFiles_filter + QStringLiteral(" (*)")};
}

}  // namespace

void TForm1::AddMarkerExchangeItems(QMenu* menu) {
    const QString suffix = menu == pmTimeline ? QStringLiteral("TL") : QString();
    menu->addSeparator()->setObjectName(QStringLiteral("NMarkerExchange") + suffix);
    QAction* exportItem = menu->addAction(StyleImage(QStyle::SP_DialogSaveButton), uLang::miExportMarkers_caption);
    exportItem->setObjectName(QStringLiteral("miExportMarkers") + suffix);
    QAction* importItem = menu->addAction(StyleImage(QStyle::SP_DialogOpenButton), uLang::miImportMarkers_caption);
    importItem->setObjectName(QStringLiteral("miImportMarkers") + suffix);
    connect(exportItem, &QAction::triggered, this, [this] { miExportMarkersClick(); });
    connect(importItem, &QAction::triggered, this, [this] { miImportMarkersClick(); });
    // The language file is read after the menus are made: take the texts when shown.
    connect(menu, &QMenu::aboutToShow, exportItem, [exportItem, importItem] {
        exportItem->setText(uLang::miExportMarkers_caption);
        importItem->setText(uLang::miImportMarkers_caption);
    });
}

void TForm1::miExportMarkersClick() {
    if (FChannel == 0)
        return;
    if (FMarkers.isEmpty()) {
        prompts().message(uLang::Form1_NoMarkersToExport_msg);
        return;
    }
    Prompts::FileDialog dialog;
    dialog.title = uLang::Form1_ExportMarkers_title;
    dialog.filters = FormatFilters();
    const QFileInfo audio(FAudioFileName);
    dialog.fileName = audio.absolutePath() + u'/' + audio.completeBaseName() + u'.' +
                      MarkerFormatSuffix(kMarkerFormats[0]);
    int chosen = 0;
    QString path = prompts().saveFileWithFilter(dialog, chosen);
    if (path.isEmpty())
        return;
    if (chosen < 0 || chosen >= int(std::size(kMarkerFormats)))
        chosen = 0;
    const MarkerFormat format = MarkerFormatForExportName(path, kMarkerFormats[chosen]);
    if (QFileInfo(path).suffix().isEmpty())
        path += u'.' + MarkerFormatSuffix(format);
    try {
        WriteWholeFile(path, ExportMarkers(format, FMarkers, {FAudioFileName, FDuration}));
    } catch (const AppError& e) {
        prompts().error(e.message());
    }
}

void TForm1::miImportMarkersClick() {
    if (FChannel == 0)
        return;
    Prompts::FileDialog dialog;
    dialog.title = uLang::Form1_ImportMarkers_title;
    dialog.filters = ImportFilters();
    dialog.directory = QFileInfo(FAudioFileName).absolutePath();
    const QStringList files = prompts().openFiles(dialog);
    if (files.isEmpty())
        return;
    try {
        // Read whole before anything changes: bad input leaves the list alone.
        const ImportedMarkers imported = ImportMarkerFile(files.first());
        const int added = MergeImportedMarkers(FMarkers, imported.markers);
        if (added > 0) {
            RefreshMarkerList();
            SetMarkersChanged(true);
            // The whole import is one step to undo.
            RecordMarkerChange(uLang::undo_import_markers);
        }
        prompts().message(uLang::Form1_MarkersImported_msg.arg(added).arg(imported.markers.size() - added));
    } catch (const AppError& e) {
        prompts().error(e.message());
    }
}

void TForm1::LoadChapterMarkers() {
    TMarkerList chapters = ChapterMarkersOf(FChannel);
    if (chapters.isEmpty())
        return;
    FMarkers = std::move(chapters);
    RebuildMarkerView();
    SetMarkersChanged(false);
    // As for a marker file read: deleting them all asks before the file is
    // left, or the chapters would come back as markers next time.
    FMarkersFileLoaded = true;
}
