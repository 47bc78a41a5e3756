#pragma once
// The player as MPRIS sees it: the main window's engine, volume bar and
// buttons, and the playlist window's rows. Every command takes the path the
// window's own controls take, so the same rules apply (marker saving before a
// playlist step, the hand-off rules for an opened file, the close question).

#include "desktop/MprisPlayerFacade.h"

class TForm1;

class MprisMainWindow : public MprisPlayerFacade {
public:
    explicit MprisMainWindow(TForm1& form) : form_(form) {}

    Status status() const override;
    QString trackPath() const override;
    double trackLengthSeconds() const override;
    double positionSeconds() const override;
    int volume() const override;
    bool canGoNext() const override;
    bool canGoPrevious() const override;

    void playPause() override;
    void stop() override;
    void next() override;
    void previous() override;
    void setPositionSeconds(double seconds) override;
    void setVolume(int volume) override;
    double rate() const override;
    void setRate(double rate) override;
    void openFile(const QString& path) override;
    void raise() override;
    void quit() override;

private:
    TForm1& form_;
};
