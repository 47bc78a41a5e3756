// The MPRIS service on a private bus, against a fake player: what clients read,
// which player commands their calls become, and the change signals they get.

#include "desktop/MprisService.h"

#include <gtest/gtest.h>

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <functional>
#include <memory>
#include <utility>

namespace {

class FakePlayer : public MprisPlayerFacade {
public:
    Status status_ = Status::Stopped;
    QString path_;
    double length_ = 0, position_ = 0;
    int volume_ = 80;
    double rate_ = 1.0;
    bool canNext_ = false, canPrevious_ = false;
    QStringList log;  // commands received, in order

    void load(const QString& path, double length) {
        path_ = path;
        length_ = length;
        position_ = 0;
        status_ = Status::Stopped;
    }

    Status status() const override { return status_; }
    QString trackPath() const override { return path_; }
    double trackLengthSeconds() const override { return length_; }
    double positionSeconds() const override { return position_; }
    int volume() const override { return volume_; }
    double rate() const override { return rate_; }
    bool canGoNext() const override { return canNext_; }
    bool canGoPrevious() const override { return canPrevious_; }

    void playPause() override {
        log << "playPause";
        status_ = status_ == Status::Playing ? Status::Paused : Status::Playing;
    }
    void stop() override {
        log << "stop";
        status_ = Status::Stopped;
        position_ = 0;
    }
    void next() override { log << "next"; }
    void previous() override { log << "previous"; }
    void setPositionSeconds(double s) override {
        log << QString("position %1").arg(s);
        position_ = s;
    }
    void setVolume(int v) override {
        log << QString("volume %1").arg(v);
        volume_ = v;
    }
    void setRate(double r) override {
        log << QString("rate %1").arg(r);
        rate_ = r;
    }
    void openFile(const QString& path) override { log << "open " + path; }
    void raise() override { log << "raise"; }
    void quit() override { log << "quit"; }
};

// Signals the client receives from the player's object.
class SignalLog : public QObject {
    Q_OBJECT
public:
    QList<QDBusMessage> messages;
public Q_SLOTS:
    void take(const QDBusMessage& m) { messages << m; }
};

// A session bus of our own for the whole suite.
class PrivateBus {
public:
    PrivateBus() {
        daemon_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000))
            address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
    }
    ~PrivateBus() {
        daemon_.kill();
        daemon_.waitForFinished(5000);
    }
    const QString& address() const { return address_; }

private:
    QProcess daemon_;
    QString address_;
};

constexpr auto Player = "org.mpris.MediaPlayer2.Player";
constexpr auto Root = "org.mpris.MediaPlayer2";

class MprisServiceTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { bus_ = new PrivateBus; }
    static void TearDownTestSuite() {
        QDBusConnection::disconnectFromBus("mpris-service");
        QDBusConnection::disconnectFromBus("mpris-client");
        delete bus_;
    }

    void SetUp() override {
        if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
            GTEST_SKIP() << "dbus-daemon is not installed";
        ASSERT_FALSE(bus_->address().isEmpty()) << "dbus-daemon did not start";
        service_ = std::make_unique<MprisService>(
            player_, QDBusConnection::connectToBus(bus_->address(), "mpris-service"));
        ASSERT_TRUE(service_->start());
        ASSERT_EQ(service_->serviceName(), "org.mpris.MediaPlayer2.velmoplayer");
        for (const char* name : {"PropertiesChanged", "Seeked"})
            client().connect(service_->serviceName(), MprisService::ObjectPath, "", name, &signals_,
                             SLOT(take(QDBusMessage)));
    }
    void TearDown() override { service_.reset(); }

    static QDBusConnection client() { return QDBusConnection::connectToBus(bus_->address(), "mpris-client"); }

    // Calls a method from the client and waits for the reply (the service
    // answers from this thread's event loop, so the wait must spin it).
    QDBusMessage call(const QString& interface, const QString& method, const QVariantList& args = {}) {
        QDBusMessage m = QDBusMessage::createMethodCall(service_->serviceName(), MprisService::ObjectPath,
                                                        interface, method);
        m.setArguments(args);
        QDBusPendingCall pending = client().asyncCall(m);
        for (int i = 0; i < 500 && !pending.isFinished(); ++i)
            QTest::qWait(10);
        EXPECT_TRUE(pending.isFinished()) << method.toStdString();
        QTest::qWait(20);  // let commands queued behind the reply run
        return pending.reply();
    }
    QVariant get(const QString& interface, const QString& property) {
        const QDBusMessage reply = call("org.freedesktop.DBus.Properties", "Get", {interface, property});
        EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    void set(const QString& property, const QVariant& value) {
        call("org.freedesktop.DBus.Properties", "Set",
             {QString(Player), property, QVariant::fromValue(QDBusVariant(value))});
    }
    static QVariantMap asMap(const QVariant& v) {
        if (v.canConvert<QDBusArgument>())
            return qdbus_cast<QVariantMap>(v.value<QDBusArgument>());
        return v.toMap();
    }
    QVariantMap metadata() { return asMap(get(Player, "Metadata")); }
    QString trackId() { return metadata().value("mpris:trackid").value<QDBusObjectPath>().path(); }

    // The signals received after waiting briefly for stragglers.
    // The signals that arrive until the bus has been quiet for a while, so a
    // slow machine does not push one change's signals into the next.
    QList<QDBusMessage> takeSignals() {
        qsizetype seen = -1;
        for (int quietRounds = 0, round = 0; quietRounds < 3 && round < 40; ++round) {
            QTest::qWait(50);
            quietRounds = signals_.messages.size() == seen ? quietRounds + 1 : 0;
            seen = signals_.messages.size();
        }
        return std::exchange(signals_.messages, {});
    }

    static inline PrivateBus* bus_ = nullptr;
    FakePlayer player_;
    SignalLog signals_;
    std::unique_ptr<MprisService> service_;
};

TEST_F(MprisServiceTest, RootInterfaceNamesThePlayer) {
    EXPECT_EQ(get(Root, "Identity").toString(), "Velmo Player");
    EXPECT_EQ(get(Root, "DesktopEntry").toString(), "velmoplayer");
    EXPECT_EQ(get(Root, "SupportedUriSchemes").toStringList(), QStringList{"file"});
    const QStringList mimes = get(Root, "SupportedMimeTypes").toStringList();
    for (const char* type : {"audio/mpeg", "audio/x-wav", "audio/ogg", "audio/x-ms-wma", "audio/mp4", "audio/flac"})
        EXPECT_TRUE(mimes.contains(type)) << type;
    EXPECT_TRUE(get(Root, "CanQuit").toBool());
    EXPECT_TRUE(get(Root, "CanRaise").toBool());
    EXPECT_FALSE(get(Root, "HasTrackList").toBool());

    call(Root, "Raise");
    call(Root, "Quit");
    EXPECT_EQ(player_.log, (QStringList{"raise", "quit"}));
}

TEST_F(MprisServiceTest, NothingLoadedShowsNoTrackAndCannotPlay) {
    EXPECT_EQ(get(Player, "PlaybackStatus").toString(), "Stopped");
    EXPECT_EQ(metadata(), (QVariantMap{{"mpris:trackid", QVariant::fromValue(QDBusObjectPath(MprisService::NoTrack))}}));
    EXPECT_FALSE(get(Player, "CanPlay").toBool());
    EXPECT_FALSE(get(Player, "CanSeek").toBool());
    EXPECT_TRUE(get(Player, "CanControl").toBool());
    EXPECT_EQ(get(Player, "Position").toLongLong(), 0);

    // Media keys never open the Open dialog.
    for (const char* method : {"Play", "PlayPause", "Pause"})
        call(Player, method);
    call(Player, "Seek", {qlonglong(5'000'000)});
    EXPECT_TRUE(player_.log.isEmpty()) << player_.log.join(", ").toStdString();
}

TEST_F(MprisServiceTest, LoadedTrackIsDescribedInMicroseconds) {
    player_.load("/music/Sängerin/b c.mp3", 200.25);
    player_.status_ = FakePlayer::Status::Paused;
    player_.position_ = 12.5;
    player_.volume_ = 37;
    player_.canNext_ = true;

    const QVariantMap m = metadata();
    EXPECT_TRUE(m.value("mpris:trackid").value<QDBusObjectPath>().path().startsWith("/org/velmoplayer/track/"));
    EXPECT_EQ(m.value("mpris:length").toLongLong(), 200'250'000);
    EXPECT_EQ(m.value("xesam:title").toString(), "b c.mp3");
    EXPECT_EQ(m.value("xesam:url").toString(), "file:///music/S%C3%A4ngerin/b%20c.mp3");
    EXPECT_EQ(get(Player, "PlaybackStatus").toString(), "Paused");
    EXPECT_EQ(get(Player, "Position").toLongLong(), 12'500'000);
    EXPECT_DOUBLE_EQ(get(Player, "Volume").toDouble(), 0.37);
    EXPECT_TRUE(get(Player, "CanGoNext").toBool());
    EXPECT_FALSE(get(Player, "CanGoPrevious").toBool());
    EXPECT_DOUBLE_EQ(get(Player, "Rate").toDouble(), 1.0);
    EXPECT_DOUBLE_EQ(get(Player, "MinimumRate").toDouble(), 0.5);
    EXPECT_DOUBLE_EQ(get(Player, "MaximumRate").toDouble(), 2.0);
}

TEST_F(MprisServiceTest, TransportCallsFollowThePlayState) {
    player_.load("/music/a.mp3", 60);
    const struct {
        FakePlayer::Status before;
        const char* method;
        QStringList commands;
    } cases[] = {
        {FakePlayer::Status::Stopped, "Play", {"playPause"}},
        {FakePlayer::Status::Paused, "Play", {"playPause"}},
        {FakePlayer::Status::Playing, "Play", {}},
        {FakePlayer::Status::Playing, "Pause", {"playPause"}},
        {FakePlayer::Status::Paused, "Pause", {}},
        {FakePlayer::Status::Stopped, "Pause", {}},
        {FakePlayer::Status::Playing, "PlayPause", {"playPause"}},
        {FakePlayer::Status::Paused, "PlayPause", {"playPause"}},
        {FakePlayer::Status::Playing, "Stop", {"stop"}},
        {FakePlayer::Status::Playing, "Next", {"next"}},
        {FakePlayer::Status::Stopped, "Previous", {"previous"}},
    };
    for (const auto& c : cases) {
        player_.status_ = c.before;
        player_.log.clear();
        call(Player, c.method);
        EXPECT_EQ(player_.log, c.commands) << c.method << " from state " << int(c.before);
    }
}

TEST_F(MprisServiceTest, SeeksStayInsideTheTrack) {
    player_.load("/music/a.mp3", 60);
    const QString id = trackId();
    const struct {
        const char* what;
        double from;
        const char* method;
        QVariantList args;
        QStringList commands;
    } cases[] = {
        {"forward", 10, "Seek", {qlonglong(5'000'000)}, {"position 15"}},
        {"back before the start", 10, "Seek", {qlonglong(-20'000'000)}, {"position 0"}},
        {"past the end is Next", 50, "Seek", {qlonglong(20'000'000)}, {"next"}},
        {"absolute", 10, "SetPosition", {QVariant::fromValue(QDBusObjectPath(id)), qlonglong(30'000'000)}, {"position 30"}},
        {"to the very end", 10, "SetPosition", {QVariant::fromValue(QDBusObjectPath(id)), qlonglong(60'000'000)}, {"position 60"}},
        {"beyond the end", 10, "SetPosition", {QVariant::fromValue(QDBusObjectPath(id)), qlonglong(60'000'001)}, {}},
        {"negative", 10, "SetPosition", {QVariant::fromValue(QDBusObjectPath(id)), qlonglong(-1)}, {}},
        {"another track", 10, "SetPosition",
         {QVariant::fromValue(QDBusObjectPath("/org/velmoplayer/track/999")), qlonglong(30'000'000)}, {}},
    };
    for (const auto& c : cases) {
        player_.position_ = c.from;
        player_.log.clear();
        call(Player, c.method, c.args);
        EXPECT_EQ(player_.log, c.commands) << c.what;
    }
}

TEST_F(MprisServiceTest, VolumeMapsToTheVolumeBar) {
    const struct {
        double set;
        int bar;
    } cases[] = {{0.5, 50}, {0.0, 0}, {1.0, 100}, {0.333, 33}, {1.7, 100}, {-0.2, 0}};
    for (const auto& c : cases) {
        set("Volume", c.set);
        EXPECT_EQ(player_.volume_, c.bar) << c.set;
        EXPECT_DOUBLE_EQ(get(Player, "Volume").toDouble(), c.bar / 100.0) << c.set;
    }
}

// Rate is the speed: kept within its range, 0 pauses and keeps the speed.
TEST_F(MprisServiceTest, RateSetsTheSpeedWithinItsRange) {
    player_.load("/music/a.mp3", 60);
    player_.status_ = FakePlayer::Status::Playing;
    const struct {
        double set;
        QStringList commands;
        double rate;
    } cases[] = {{0.75, {"rate 0.75"}, 0.75}, {3.0, {"rate 2"}, 2.0}, {0.1, {"rate 0.5"}, 0.5},
                 {0.0, {"playPause"}, 0.5}};
    for (const auto& c : cases) {
        player_.log.clear();
        set("Rate", c.set);
        EXPECT_EQ(player_.log, c.commands) << c.set;
        EXPECT_DOUBLE_EQ(get(Player, "Rate").toDouble(), c.rate) << c.set;
    }
}

TEST_F(MprisServiceTest, OpenUriTakesLocalFilesOnly) {
    call(Player, "OpenUri", {QString("file:///music/new%20song.flac")});
    EXPECT_EQ(player_.log, QStringList{"open /music/new song.flac"});

    player_.log.clear();
    const QDBusMessage reply = call(Player, "OpenUri", {QString("https://example.org/stream.mp3")});
    EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), "org.freedesktop.DBus.Error.NotSupported");
    EXPECT_TRUE(player_.log.isEmpty());
}

TEST_F(MprisServiceTest, ChangesAreAnnouncedOnce) {
    player_.load("/music/a.mp3", 60);
    service_->refresh();
    takeSignals();

    // Each change: what the player does, the properties announced.
    const struct {
        const char* what;
        std::function<void()> change;
        QStringList announced;
    } cases[] = {
        {"nothing changed", [] {}, {}},
        {"playback starts", [&] { player_.status_ = FakePlayer::Status::Playing; }, {"PlaybackStatus"}},
        {"volume bar moved", [&] { player_.volume_ = 20; }, {"Volume"}},
        {"speed changed", [&] { player_.rate_ = 1.25; }, {"Rate"}},
        {"playlist grows", [&] { player_.canNext_ = true; }, {"CanGoNext"}},
        {"another file", [&] { player_.load("/music/b.mp3", 30); }, {"Metadata", "PlaybackStatus"}},
        {"the same file again after a failed load",
         [&] {
             // A client reads the metadata while nothing is loaded. Read it
             // here rather than over the bus: waiting for a reply would let
             // the service's own poll see the empty player and announce it.
             player_.path_.clear();
             service_->trackId();
             player_.load("/music/b.mp3", 30);
         },
         {"Metadata"}},
        {"file closed", [&] { player_.path_.clear(); }, {"CanPause", "CanPlay", "CanSeek", "Metadata"}},
    };
    QString lastTrack;
    for (const auto& c : cases) {
        c.change();
        service_->refresh();
        const auto received = takeSignals();
        QStringList announced;
        for (const QDBusMessage& m : received) {
            ASSERT_EQ(m.member(), "PropertiesChanged") << c.what;
            EXPECT_EQ(m.arguments().value(0).toString(), Player) << c.what;
            announced << asMap(m.arguments().value(1)).keys();
            if (announced.contains("Metadata")) {
                const QString track = trackId();
                EXPECT_NE(track, lastTrack) << c.what;
                lastTrack = track;
            }
        }
        announced.sort();
        QStringList expected = c.announced;
        expected.sort();
        EXPECT_EQ(announced, expected) << c.what;
    }
}

TEST_F(MprisServiceTest, PositionJumpsAreAnnouncedAsSeeked) {
    player_.load("/music/a.mp3", 60);
    player_.status_ = FakePlayer::Status::Paused;
    player_.position_ = 10;
    service_->refresh();
    takeSignals();

    const auto seekedTo = [&](std::function<void()> act) -> QList<qlonglong> {
        act();
        QList<qlonglong> positions;
        for (const QDBusMessage& m : takeSignals()) {
            EXPECT_EQ(m.member(), "Seeked");
            positions << m.arguments().value(0).toLongLong();
        }
        return positions;
    };

    EXPECT_EQ(seekedTo([&] { service_->refresh(); }), QList<qlonglong>{}) << "standing still";
    EXPECT_EQ(seekedTo([&] { player_.position_ = 10.2; service_->refresh(); }), QList<qlonglong>{})
        << "within the tolerance";
    EXPECT_EQ(seekedTo([&] { player_.position_ = 42; service_->refresh(); }), QList<qlonglong>{42'000'000})
        << "a click on the timeline";
    EXPECT_EQ(seekedTo([&] { call(Player, "Seek", {qlonglong(-2'000'000)}); }), QList<qlonglong>{40'000'000})
        << "a seek through MPRIS";
}

}  // namespace

#include "MprisServiceTest.moc"
