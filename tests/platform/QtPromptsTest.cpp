// The message boxes the running program shows.

#include "platform/QtPrompts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

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
