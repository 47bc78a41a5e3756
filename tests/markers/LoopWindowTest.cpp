// The loop of the section around the play head and the speed, as the main
// window runs them: key R, what marker edits, Stop, seeks and a new file do
// to the loop, and the speed keys.

#include "MarkerWindow.h"
#include "ScriptedPrompts.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <functional>

namespace {

void pressKey(TForm1& form, int key) {
    int k = key;
    form.FormKeyDown(k);
}

// The loop the audio library plays, in seconds; {0, 0} for none.
std::pair<double, double> libraryLoop(TForm1& form) {
    QWORD start = 0, end = 0;
    BASS_ChannelGetLoop(form.Channel(), &start, &end);
    return {BASS_ChannelBytes2Seconds(form.Channel(), start), BASS_ChannelBytes2Seconds(form.Channel(), end)};
}

TEST(LoopWindow, KeyRLoopsTheSectionAroundThePlayHeadAndEndsIt) {
    MarkerWindow w;
    w.loadSilence(30);
    w.setMarkers({10, 20});
    w.seek(15);
    pressKey(w.form(), TForm1::VK_R);
    ASSERT_TRUE(w.form().LoopActive());
    EXPECT_EQ(*w.form().Loop(), (LoopSection{10, 20, true, true}));
    EXPECT_EQ(libraryLoop(w.form()), std::make_pair(10.0, 20.0));
    pressKey(w.form(), TForm1::VK_R);
    EXPECT_FALSE(w.form().LoopActive());
    EXPECT_EQ(libraryLoop(w.form()), std::make_pair(0.0, 0.0));

    // After the last marker the section runs to the track's last frame.
    w.seek(25);
    pressKey(w.form(), TForm1::VK_R);
    EXPECT_EQ(libraryLoop(w.form()), std::make_pair(20.0, 30.0));
}

TEST(LoopWindow, MarkerEditsStopAndSeeksMoveOrEndTheLoop) {
    struct Case {
        const char* what;
        std::function<void(MarkerWindow&)> edit;
        std::optional<LoopSection> loop;  // afterwards
    };
    const Case cases[] = {
        {"its start marker dragged",
         [](MarkerWindow& w) {
             TForm1& f = w.form();
             f.FZoomFactor = 10;
             f.MarkerClickToleranceSec = 0.4;
             f.PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, 100, 10);
             f.PaintBox1MouseMove(Qt::LeftButton, 120, 10);
             f.PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, 120, 10);
             w.seek(15);  // the drop moved the play head to the marker
         },
         LoopSection{12, 20, true, true}},
        {"its end marker deleted (the nearest to the play head)",
         [](MarkerWindow& w) {
             w.seek(19);
             w.form().btnDeleteMarkerClick();
         },
         std::nullopt},
        {"another marker deleted",
         [](MarkerWindow& w) {
             w.seek(24);
             w.form().btnDeleteMarkerClick();  // the nearest: at 25
             w.seek(15);
         },
         LoopSection{10, 20, true, true}},
        {"all markers deleted", [](MarkerWindow& w) { w.form().miDeleteAllMarkersClick(); }, std::nullopt},
        {"undo of the marker that started it", [](MarkerWindow& w) { w.form().miUndoMarkersClick(); }, std::nullopt},
        {"Stop", [](MarkerWindow& w) { w.form().btnStopClick(); }, std::nullopt},
        {"a seek into another section",
         [](MarkerWindow& w) {
             w.seek(22);
             w.form().Timer1Timer();
         },
         LoopSection{20, 25, true, true}},
        {"a new file", [](MarkerWindow& w) { w.loadSilence(30); }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPrompts prompts;
        prompts.answer(Prompts::Answer::Ok);
        MarkerWindow w;
        w.loadSilence(30);
        w.setMarkers({10, 20, 25});
        // One change to undo: the marker at 10 added last.
        w.form().FMarkers.removeFirst();
        w.form().RecordMarkerChange(QStringLiteral("remove"));
        w.form().FMarkers.prepend(TMarker{10, QString()});
        w.form().RecordMarkerChange(QStringLiteral("add"));
        w.seek(15);
        w.form().ToggleLoop();
        ASSERT_TRUE(w.form().LoopActive());
        c.edit(w);
        w.form().Timer1Timer();
        EXPECT_EQ(w.form().Loop(), c.loop);
    }
}

TEST(LoopWindow, SpeedKeysStepWithinTheLimits) {
    MarkerWindow w;
    w.loadSilence(5);
    struct Case {
        int key;
        int from, expected;
    };
    const Case cases[] = {
        {TForm1::VK_OEM_6, 100, 105}, {TForm1::VK_OEM_4, 100, 95}, {TForm1::VK_OEM_4, 50, 50},
        {TForm1::VK_OEM_6, 200, 200}, {TForm1::VK_OEM_5, 150, 100},
    };
    for (const Case& c : cases) {
        w.form().SetSpeed(c.from);
        pressKey(w.form(), c.key);
        EXPECT_EQ(w.form().Speed(), c.expected) << c.key << " from " << c.from;
        float tempo = -1;
        BASS_ChannelGetAttribute(w.form().Channel(), BASS_ATTRIB_TEMPO, &tempo);
        EXPECT_EQ(tempo, float(c.expected - 100));
        if (auto* label = w.form().findChild<QLabel*>(QStringLiteral("lbSpeed"))) {
            EXPECT_EQ(label->text(), QStringLiteral("%1%").arg(c.expected));
        }
    }
    w.form().SetSpeed(100);
}

}  // namespace
