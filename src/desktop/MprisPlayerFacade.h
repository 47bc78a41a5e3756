#pragma once
// What the MPRIS service needs of the player: its state and the commands a
// desktop's media keys and sound applets give. The program implements it over
// the main window and the playlist (MprisMainWindow); tests implement it with
// a fake. All calls come from the GUI thread.

#include <QString>

class MprisPlayerFacade {
public:
    enum class Status { Stopped, Playing, Paused };

    virtual ~MprisPlayerFacade() = default;

    virtual Status status() const = 0;
    // Absolute path of the loaded file; empty when nothing is loaded.
    virtual QString trackPath() const = 0;
    // Length and play position of the loaded file in seconds (0 when none).
    virtual double trackLengthSeconds() const = 0;
    virtual double positionSeconds() const = 0;
    // The volume bar, 0..100.
    virtual int volume() const = 0;
    // The playing speed, 1.0 as recorded (MinimumRate to MaximumRate of
    // MprisPlayerAdaptor).
    virtual double rate() const = 0;
    // Whether next() / previous() would start another playlist row.
    virtual bool canGoNext() const = 0;
    virtual bool canGoPrevious() const = 0;

    // The play/pause button: plays when stopped or paused, pauses when playing.
    // Only called while a file is loaded.
    virtual void playPause() = 0;
    // The stop button: stop and rewind.
    virtual void stop() = 0;
    // The next and previous file buttons (the playlist's rules).
    virtual void next() = 0;
    virtual void previous() = 0;
    // Moves the play position of the loaded file (0 <= seconds <= length).
    virtual void setPositionSeconds(double seconds) = 0;
    // Sets the volume bar (0..100) as if the user had moved it.
    virtual void setVolume(int volume) = 0;
    // Sets the speed (within the range; the player takes its nearest step).
    virtual void setRate(double rate) = 0;
    // A local audio file handed to the player from outside, taken as a second
    // start of the program hands its file over.
    virtual void openFile(const QString& path) = 0;
    // Shows the main window in front.
    virtual void raise() = 0;
    // Closes the main window through its normal close path (which may ask
    // about unsaved markers and may be cancelled).
    virtual void quit() = 0;
};
