#pragma once
// TForm1, the player's main window. Its members are defined in the folder of
// the subsystem they belong to:
//   src/app/uMain.cpp           creation, layout, show, close, resize, compact, intake
//   src/playback/Main*.cpp      transport, position timer, end of track, volume, equalizer
//   src/timeline/Main*.cpp      timeline view, zoom, mouse, marker file, marker commands, keys
// Each section below is kept by the subsystem named in its heading; add members
// to your own section only.

#include <QWidget>

class TForm1 : public QWidget {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // ---- app: lifecycle, layout, intake ---------------------------------------

    // ---- playback: engine, volume, equalizer ----------------------------------

    // ---- timeline: view, zoom, mouse, marker model and file ---------------------

    // ---- markers: commands, marker list, editor --------------------------------

    // ---- keyboard and wheel ------------------------------------------------------
};

// The one main window of the running player (nullptr before it is created).
TForm1* Form1();
