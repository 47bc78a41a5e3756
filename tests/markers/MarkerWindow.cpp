#include "MarkerWindow.h"

#include "TestEnv.h"
#include "timeline/uEditor.h"
#include "TestWav.h"

#include <gtest/gtest.h>

#include <QDataStream>
#include <QFile>
#include <QTimer>

namespace {

// A 16-bit mono PCM WAV of silence at 8 kHz.
QString writeSilentWav(double seconds) {
    const QString path = TestEnv::root() + QStringLiteral("/silence-%1.wav").arg(seconds);
    if (!QFile::exists(path))
        WriteTestWav(path, seconds, 8000, 1);
    return path;
}

}  // namespace

MarkerWindow::MarkerWindow() : form_(std::make_unique<TForm1>()) {
    if (!form_->lvMarkers)
        form_->CreateMarkerControls(nullptr, nullptr);
}

MarkerWindow::~MarkerWindow() = default;

void MarkerWindow::loadSilence(double seconds) {
    form_->LoadAudioFile(writeSilentWav(seconds));
    ASSERT_NE(form_->Channel(), 0u) << "the test file did not load";
}

void MarkerWindow::setMarkers(std::initializer_list<double> times) {
    form_->FMarkers.clear();
    int n = 1;
    for (double t : times)
        form_->FMarkers.append({t, QStringLiteral("m%1").arg(n++)});
    form_->RefreshMarkerList();
    form_->SetMarkersChanged(false);
}

void MarkerWindow::seek(double seconds) {
    const DWORD channel = form_->Channel();
    BASS_ChannelSetPosition(channel, BASS_ChannelSeconds2Bytes(channel, seconds), BASS_POS_BYTE);
}

double MarkerWindow::position() const {
    const DWORD channel = form_->Channel();
    return BASS_ChannelBytes2Seconds(channel, BASS_ChannelGetPosition(channel, BASS_POS_BYTE));
}

void MarkerWindow::selectRow(int row) {
    form_->lvMarkers->selectRow(row);
}

QStringList MarkerWindow::column(int column) const {
    QStringList texts;
    const MarkerListModel& rows = *form_->lvMarkersRows;
    for (int r = 0; r < rows.rowCount(); ++r)
        texts << rows.data(rows.index(r, column)).toString();
    return texts;
}

QList<double> MarkerWindow::markerTimes() const {
    QList<double> times;
    for (const TMarker& m : form_->FMarkers)
        times << m.Time;
    return times;
}

void MarkerWindow::whileEditorShown(std::function<void(TfrmEditMarker*)> action) {
    TfrmEditMarker* editor = frmEditMarker();
    QTimer::singleShot(0, editor, [editor, action] { action(editor); });
    // A dialog left open by a broken test is cancelled instead of hanging.
    auto* safety = new QTimer(editor);
    safety->setSingleShot(true);
    QObject::connect(safety, &QTimer::timeout, editor, [editor] { editor->reject(); });
    QObject::connect(editor, &QDialog::finished, safety, &QObject::deleteLater);
    safety->start(5000);
}
