#pragma once
// A main window for the marker command tests: its marker controls exist, and
// a silent WAV file made in the test folder is loaded, paused at 0 s.

#include "mainwindow/uMain.h"
#include "audio/bass.h"
#include "timeline/MarkerListModel.h"

#include <QTableView>

#include <functional>
#include <memory>

class TfrmEditMarker;

class MarkerWindow {
public:
    MarkerWindow();
    ~MarkerWindow();

    TForm1& form() { return *form_; }
    // Loads a silent mono WAV of the given length.
    void loadSilence(double seconds);
    void setMarkers(std::initializer_list<double> times);
    void seek(double seconds);
    double position() const;
    void selectRow(int row);
    // A column of the list's rows as text, top to bottom.
    QStringList column(int column) const;
    QList<double> markerTimes() const;
    // Shows the editor through action, run once the dialog is open.
    static void whileEditorShown(std::function<void(TfrmEditMarker*)> action);

private:
    std::unique_ptr<TForm1> form_;
};
