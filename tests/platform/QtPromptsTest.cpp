// The message boxes the running program shows.

#include "platform/QtPrompts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

TEST(QtPrompts, MessageBoxIsCentredOnTheScreenAlsoWithALongText) {
    // A text long enough to be wrapped: the box knows its size only once shown.
    const QString longText =
        QStringLiteral("When you first launch an audio file from Explorer,Windows may ask you to confirm "
                       "opening it in VelmoPlayer. Select VelmoPlayer, check the \"always Use....\" box "
                       "and click OK.");
    for (const QString& text : {QStringLiteral("Close"), longText}) {
        SCOPED_TRACE(text.toStdString());
        QRect shown;
        QTimer::singleShot(0, [&shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            shown = box->frameGeometry();
            box->accept();
        });
        QtPrompts prompts;
        prompts.ask(Prompts::Kind::Information, text, Prompts::Buttons::Ok);
        const QPoint offset = shown.center() - QGuiApplication::primaryScreen()->availableGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 8) << "box at " << shown.x() << "," << shown.y();
    }
}

// Messages of the start-up work wait for the main window and then appear,
// in order, over it; questions cannot wait. Every box carries the program's
// name.
TEST(QtPrompts, HeldMessagesAppearOverTheShownWindow) {
    QStringList shown;
    QList<QPoint> offsets;
    QWidget window;
    window.setGeometry(40, 60, 500, 300);
    // Answers whatever box is up, as a user would.
    QTimer user;
    user.setInterval(10);
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        shown << box->windowTitle() + ": " + box->text();
        offsets << box->frameGeometry().center() - window.frameGeometry().center();
        box->done(QMessageBox::Ok);
    });
    user.start();

    QtPrompts prompts;
    prompts.holdMessages();
    EXPECT_EQ(prompts.ask(Prompts::Kind::Information, "Файл не найден: a.mp3", Prompts::Buttons::Ok),
              Prompts::Answer::Ok);
    prompts.error("second");
    EXPECT_TRUE(shown.isEmpty()) << "held while the window is not shown";
    EXPECT_TRUE(prompts.confirmOkCancel("asked at once"));
    EXPECT_EQ(shown, QStringList{"Velmo Player: asked at once"});

    window.show();
    prompts.showHeldMessages(&window);
    EXPECT_EQ(shown, QStringList({"Velmo Player: asked at once", "Velmo Player: Файл не найден: a.mp3",
                                  "Velmo Player: second"}));
    ASSERT_EQ(offsets.size(), 3);
    for (int i : {1, 2})
        EXPECT_LE(offsets[i].manhattanLength(), 8) << "box " << i << " off the window's centre";

    // The hold is over: a later message appears at once.
    prompts.message("later");
    EXPECT_EQ(shown.last(), "Velmo Player: later");
}

TEST(QtPrompts, SaveDialogOffersAProposedNameInAMissingFolderInTheNearestFolder) {
    // The default playlist lies in a Documents folder that may not exist yet:
    // pressing Save must not make the path relative to the dialog's folder.
    QTemporaryDir dir;
    struct Case {
        QString proposed;
        QString saved;
    };
    const Case cases[] = {
        {dir.filePath("Documents/NeuList"), dir.filePath("NeuList.vpl")},
        {dir.filePath("gone/deeper/list.vpl"), dir.filePath("list.vpl")},
        {dir.filePath("here.vpl"), dir.filePath("here.vpl")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proposed.toStdString());
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            QMetaObject::invokeMethod(dialog, "accept");  // pressing Save
        });
        Prompts::FileDialog request;
        request.filters = {QStringLiteral("Play List Files (*.vpl)")};
        request.fileName = c.proposed;
        request.defaultSuffix = QStringLiteral("vpl");
        QtPrompts prompts;
        EXPECT_EQ(prompts.saveFile(request).toStdString(), c.saved.toStdString());
    }
}

TEST(QtPrompts, FolderPickerStartsInTheNearestFolderOfADefaultThatIsNoFolder) {
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("music"));
    const std::pair<QString, QString> cases[] = {
        {dir.filePath("music"), dir.filePath("music")},
        {dir.filePath("Documents/NeuList"), dir.path()},
    };
    for (const auto& [given, shown] : cases) {
        SCOPED_TRACE(given.toStdString());
        QString seen;
        QTimer::singleShot(0, [&seen] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            seen = dialog->directory().absolutePath();
            dialog->reject();
        });
        QtPrompts prompts;
        EXPECT_EQ(prompts.pickFolder(QStringLiteral("Select Folder For Audio Files Search"), given), QString());
        EXPECT_EQ(seen.toStdString(), shown.toStdString());
    }
}
