#include "timeline/uEditor.h"

#include "app/DarkLook.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

TEST(Editor, JoiningRuleTable) {
    struct Case {
        const char* memo;
        const char* description;
    };
    const Case cases[] = {
        {"", ""},
        {"Intro", "Intro"},
        {"Intro\n", "Intro"},                  // a final break adds no line
        {"Intro\npart 2", "Intro  part 2"},    // each break is CR LF: two spaces
        {"Intro\r\npart 2", "Intro  part 2"},
        {"a\nb\n", "a  b  "},                  // two lines ending with a break
        {"  padded  ", "  padded  "},          // one line is kept exactly
        {"a\xe2\x80\xa8" "b", "a  b"},         // a soft line break is a break too
    };
    for (const Case& c : cases)
        EXPECT_EQ(JoinMemoLines(QString::fromUtf8(c.memo)), QString::fromUtf8(c.description))
            << c.memo;
}

// Runs action on the editor once it is shown modally, with a safety timer
// that cancels the dialog so a broken test fails instead of hanging.
QString editWhileShown(const QString& description, std::function<void(TfrmEditMarker*)> action) {
    TfrmEditMarker* editor = frmEditMarker();
    bool ran = false;
    QTimer::singleShot(0, editor, [&] {
        ran = true;
        action(editor);
    });
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, editor, [editor] { editor->reject(); });
    safety.start(5000);
    const QString result = EditMarkerDescription(description);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(safety.isActive()) << "the dialog did not close by itself";
    return result;
}

// The white captions of the flat buttons stay readable with the pointer over
// them: the background stays dark in the program's style.
TEST(Editor, FlatButtonsStayDarkUnderThePointer) {
    InstallHintStyle();
    TfrmEditMarker* editor = frmEditMarker();
    for (QToolButton* button : {editor->SpeedButton3, editor->SpeedButton4}) {
        for (bool hovered : {false, true}) {
            button->setAttribute(Qt::WA_UnderMouse, hovered);
            const QImage image = button->grab().toImage();
            // The band along the top edge, above the caption.
            int sum = 0;
            int count = 0;
            for (int y = 2; y < 5; ++y)
                for (int x = 3; x < image.width() - 3; ++x, ++count)
                    sum += QColor(image.pixel(x, y)).lightness();
            EXPECT_LT(sum / count, 110) << button->text().toStdString() << (hovered ? " hovered" : "");
        }
        button->setAttribute(Qt::WA_UnderMouse, false);
    }
}

TEST(Editor, OkReturnsTheMemoText) {
    const QString result = editWhileShown("old", [](TfrmEditMarker* e) {
        EXPECT_EQ(e->Memo1->toPlainText(), "old");
        QTest::keyClicks(e->Memo1, " plus");
        QTest::keyClick(e->Memo1, Qt::Key_Return);  // Enter starts a new line
        QTest::keyClicks(e->Memo1, "next");
        e->SpeedButton2->click();
    });
    EXPECT_EQ(result, "old plus  next");
}

TEST(Editor, OkWithoutChangesGivesTheDescriptionBack) {
    const QString kept = QString::fromUtf8("12\xC2\xA0h \xE2\x80\x94 caf\xC3\xA9  end ");  // no-break space
    const QString result = editWhileShown(kept, [](TfrmEditMarker* e) { e->SpeedButton2->click(); });
    EXPECT_EQ(result.toStdString(), kept.toStdString());
}

TEST(Editor, BlankDescriptionStartsWithAnEmptyMemo) {
    const QString result = editWhileShown("   ", [](TfrmEditMarker* e) {
        EXPECT_TRUE(e->Memo1->toPlainText().isEmpty());
        e->SpeedButton2->click();
    });
    EXPECT_EQ(result, "");
}

TEST(Editor, ClearThenOkGivesEmptyDescription) {
    const QString result = editWhileShown("something", [](TfrmEditMarker* e) {
        e->SpeedButton3->click();
        e->SpeedButton2->click();
    });
    EXPECT_EQ(result, "");
}

TEST(Editor, DateTimeAppendsALine) {
    const QString result = editWhileShown("Take", [](TfrmEditMarker* e) {
        e->SpeedButton4->click();
        EXPECT_EQ(e->Memo1->document()->blockCount(), 2);
        e->SpeedButton2->click();
    });
    EXPECT_TRUE(result.startsWith("Take  ")) << result.toStdString();
    EXPECT_GT(result.size(), 8);
}

TEST(Editor, CancelEscAndCloseBoxKeepTheDescription) {
    const std::function<void(TfrmEditMarker*)> ways[] = {
        [](TfrmEditMarker* e) { e->btnCancel->click(); },
        [](TfrmEditMarker* e) { QTest::keyClick(e->Memo1, Qt::Key_Escape); },
        [](TfrmEditMarker* e) { QTest::keyClick(e->SpeedButton2, Qt::Key_Escape); },
        [](TfrmEditMarker* e) { e->close(); },
    };
    for (const auto& way : ways) {
        const QString result = editWhileShown("keep me", [&](TfrmEditMarker* e) {
            e->Memo1->setPlainText("changed");
            way(e);
        });
        EXPECT_EQ(result, "keep me");
    }
}

}  // namespace
