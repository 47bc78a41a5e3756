#pragma once
// The MPRIS interface org.mpris.MediaPlayer2.Player: transport, position,
// volume and the loaded track's metadata. Positions and lengths are
// microseconds; Volume 0.0..1.0 is the volume bar 0..100. There is no loop or
// shuffle mode and one playback rate. Next and Previous are playlist steps.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class MprisService;

class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ MinimumRate)
    Q_PROPERTY(double MaximumRate READ MaximumRate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ CanPlay)
    Q_PROPERTY(bool CanPause READ CanPause)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    // Exported on the service's object.
    explicit MprisPlayerAdaptor(MprisService* service);

    QString PlaybackStatus() const;
    double Rate() const;
    // 0 pauses, as MPRIS asks; other rates are not supported and ignored.
    void SetRate(double rate);
    static constexpr double kMinimumRate = 0.5;
    static constexpr double kMaximumRate = 2.0;
    double MinimumRate() const { return kMinimumRate; }
    double MaximumRate() const { return kMaximumRate; }
    QVariantMap Metadata() const;
    double Volume() const;
    // Below 0 counts as 0, above 1 as 1.
    void SetVolume(double volume);
    qlonglong Position() const;
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    // Play, pause and seek act on the loaded file; with nothing loaded they do
    // nothing (media keys never open the Open dialog).
    bool CanPlay() const { return loaded(); }
    bool CanPause() const { return loaded(); }
    bool CanSeek() const { return loaded(); }
    bool CanControl() const { return true; }

public Q_SLOTS:
    void Next();
    void Previous();
    void Pause();
    void PlayPause();
    void Stop();
    void Play();
    // Relative to the present position; before the start seeks to 0, past the
    // end acts as Next.
    void Seek(qlonglong Offset);
    // Ignored unless TrackId names the loaded track and Position lies within it.
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
    // Local files only (file://); they take the path of a file handed over by
    // a second start of the program.
    void OpenUri(const QString& Uri);

Q_SIGNALS:
    void Seeked(qlonglong Position);

private:
    bool loaded() const;

    MprisService* service_;
};
