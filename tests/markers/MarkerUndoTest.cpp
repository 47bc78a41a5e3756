#include "MarkerWindow.h"
#include "ScriptedPrompts.h"
#include "TestEnv.h"
#include "TestWav.h"
#include "settings/uSettings.h"
#include "timeline/MarkerFile.h"
#include "timeline/uEditor.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

// "10:m1" for a marker at 10 s described "m1".
QStringList markersOf(const TForm1& form) {
    QStringList out;
    for (const TMarker& m : form.FMarkers)
        out << QString::number(m.Time) + QLatin1Char(':') + m.Description;
    return out;
}

// Loads a silent 30 s file whose marker file holds markers at 10 and 20 s.
void loadWithSavedMarkers(MarkerWindow& w, const QString& name) {
    const QString audio = TestEnv::root() + QLatin1Char('/') + name + QStringLiteral(".wav");
    ASSERT_TRUE(WriteTestWav(audio, 30, 8000, 1));
    WriteMarkerFile(MarkerFileNameFor(audio), {{10.0, QStringLiteral("m1")}, {20.0, QStringLiteral("m2")}});
    w.form().LoadAudioFile(audio);
    ASSERT_EQ(markersOf(w.form()), QStringList({"10:m1", "20:m2"}));
}

void editSelectedTo(MarkerWindow& w, const QString& text) {
    MarkerWindow::whileEditorShown([text](TfrmEditMarker* editor) {
        editor->Memo1->setPlainText(text);
        editor->SpeedButton2Click();
    });
    w.form().btnEditMarkerClick();
}

void dragMarker(MarkerWindow& w, double from, std::initializer_list<double> via) {
    TForm1& f = w.form();
    // Whole pixels of 0.1 s.
    f.FZoomFactor = 10;
    f.MarkerClickToleranceSec = 0.4;
    const auto px = [&f](double t) { return static_cast<int>(t * f.FZoomFactor); };
    f.PaintBox1MouseDown(Qt::LeftButton, Qt::LeftButton, px(from), 10);
    for (double t : via)
        f.PaintBox1MouseMove(Qt::LeftButton, px(t), 10);
    f.PaintBox1MouseUp(Qt::LeftButton, Qt::NoButton, px(*(via.end() - 1)), 10);
}

TEST(MarkerUndo, EveryChangeIsOneStepBackToTheSavedList) {
    struct Case {
        const char* rule;
        std::function<void(MarkerWindow&)> change;
        QStringList after;
    };
    const Case cases[] = {
        {"add", [](MarkerWindow& w) { w.seek(5); w.form().btnAddMarker->click(); },
         {"5:Edit Description", "10:m1", "20:m2"}},
        {"delete the nearest", [](MarkerWindow& w) { w.seek(11); w.form().btnDeleteMarker->click(); },
         {"20:m2"}},
        {"delete the selected row", [](MarkerWindow& w) { w.selectRow(1); w.form().btmDeleteLvMarker->click(); },
         {"10:m1"}},
        {"delete all", [](MarkerWindow& w) { w.form().miClearMarkersList->trigger(); }, {}},
        {"edit", [](MarkerWindow& w) { w.selectRow(1); editSelectedTo(w, QStringLiteral("chorus")); },
         {"10:m1", "20:chorus"}},
        {"a whole drag", [](MarkerWindow& w) { dragMarker(w, 10, {12, 14, 25}); }, {"20:m2", "25:m1"}},
    };
    for (const Case& c : cases) {
        ScriptedPrompts prompts;
        prompts.answer(Prompts::Answer::Ok);
        MarkerWindow w;
        loadWithSavedMarkers(w, QStringLiteral("undo-table"));
        TForm1& f = w.form();
        c.change(w);
        ASSERT_EQ(markersOf(f), c.after) << c.rule;
        EXPECT_TRUE(f.MarkersChanged()) << c.rule;

        f.miUndoMarkers->trigger();
        EXPECT_EQ(markersOf(f), QStringList({"10:m1", "20:m2"})) << c.rule;
        EXPECT_EQ(f.lvMarkersRows->rowCount(), 2) << c.rule;
        EXPECT_FALSE(f.MarkersChanged()) << c.rule << ": back to what is on disk shows SAVED";
        EXPECT_FALSE(f.miUndoMarkers->isEnabled()) << c.rule;

        f.miRedoMarkers->trigger();
        EXPECT_EQ(markersOf(f), c.after) << c.rule;
        EXPECT_TRUE(f.MarkersChanged()) << c.rule;
    }
}

TEST(MarkerUndo, SavingMovesTheSavedStateAndANewFileStartsANewHistory) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    loadWithSavedMarkers(w, QStringLiteral("undo-save"));
    TForm1& f = w.form();
    w.seek(5);
    f.btnAddMarkerClick();
    f.btnSaveMarkersClick();
    EXPECT_FALSE(f.MarkersChanged());
    f.miUndoMarkersClick();
    EXPECT_TRUE(f.MarkersChanged()) << "the file now holds the added marker";
    f.miRedoMarkersClick();
    EXPECT_FALSE(f.MarkersChanged());

    w.seek(7);
    f.btnAddMarkerClick();
    ASSERT_TRUE(f.miUndoMarkers->isEnabled());
    prompts.answer(Prompts::Answer::No);
    w.loadSilence(30);
    EXPECT_FALSE(f.miUndoMarkers->isEnabled());
    EXPECT_FALSE(f.miRedoMarkers->isEnabled());
}

TEST(MarkerUndo, KeysUndoAndRedo) {
    ScriptedPrompts prompts;
    MarkerWindow w;
    loadWithSavedMarkers(w, QStringLiteral("undo-keys"));
    TForm1& f = w.form();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    w.seek(5);
    f.btnAddMarkerClick();
    const QStringList added = markersOf(f);
    struct Case {
        const char* key;
        Qt::Key k;
        Qt::KeyboardModifiers mods;
        bool added;
    };
    const Case cases[] = {
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, false},
        {"Ctrl+Shift+Z", Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, true},
        {"Ctrl+Z", Qt::Key_Z, Qt::ControlModifier, false},
        {"Ctrl+Y", Qt::Key_Y, Qt::ControlModifier, true},
    };
    for (const Case& c : cases) {
        QTest::keyClick(f.lvMarkers, c.k, c.mods);
        EXPECT_EQ(markersOf(f).size(), c.added ? 3 : 2) << c.key;
    }
}

TEST(MarkerNaming, EnterAndF2EditTheSelectedMarkerWithItsTextSelected) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2}) {
        ScriptedPrompts prompts;
        MarkerWindow w;
        loadWithSavedMarkers(w, QStringLiteral("naming"));
        w.selectRow(0);
        QString selected;
        MarkerWindow::whileEditorShown([&selected](TfrmEditMarker* editor) {
            selected = editor->Memo1->textCursor().selectedText();
            QTest::keyClicks(editor->Memo1, QStringLiteral("Intro"));
            QTest::keyClick(editor->Memo1, Qt::Key_Return, Qt::ControlModifier);
        });
        QTest::keyClick(w.form().lvMarkers, key);
        EXPECT_EQ(selected, QStringLiteral("m1")) << "key " << key;
        EXPECT_EQ(markersOf(w.form()), QStringList({"10:Intro", "20:m2"})) << "key " << key;
    }
}

TEST(MarkerNaming, NameAsYouAddOpensTheEditorForTheNewMarkerOnlyWhenSwitchedOn) {
    for (bool on : {false, true}) {
        ScriptedPrompts prompts;
        TfrmSettings settings;
        settings.SetNameMarkersOnAdd(on);
        MarkerWindow w;
        loadWithSavedMarkers(w, QStringLiteral("name-on-add"));
        w.seek(15);
        w.form().btnPlayPauseClick();
        bool shown = false;
        bool playingMeanwhile = false;
        // Runs only inside the editor's own loop; gone with this scope when
        // the editor never opens.
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            TfrmEditMarker* editor = frmEditMarker();
            shown = editor->isVisible();
            playingMeanwhile = w.form().isPlaying();
            editor->Memo1->setPlainText(QStringLiteral("Bridge"));
            editor->SpeedButton2Click();
        });
        answer.start(0);
        w.form().btnAddMarker->click();
        EXPECT_EQ(shown, on);
        EXPECT_EQ(playingMeanwhile, on) << "the sound goes on while the editor is open";
        const QStringList descriptions = [&] {
            QStringList d;
            for (const TMarker& m : w.form().FMarkers)
                d << m.Description;
            return d;
        }();
        EXPECT_EQ(descriptions, on ? QStringList({"m1", "Bridge", "m2"})
                                   : QStringList({"m1", "Edit Description", "m2"}));
        w.form().Stop();
    }
}

}  // namespace
