#include "PlayerWindow.h"

#include "audio/AudioTestApi.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

PlayerWindow::PlayerWindow(bool untimed) {
    velmo::audio::test::useNullOutput(untimed);
    prompts_ = std::make_unique<ScriptedPrompts>();
    form_ = std::make_unique<TForm1>();
    form_->show();
    QCoreApplication::processEvents();
}

PlayerWindow::~PlayerWindow() {
    form_.reset();
    // The playlist window outlives the main window in the program; here each
    // test starts with a fresh one.
    delete frmList();
    prompts_.reset();
    velmo::audio::test::useDeviceOutput();
}

void PlayerWindow::click(QAbstractButton* button) {
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

bool PlayerWindow::closeWindow() {
    form_->close();
    QCoreApplication::processEvents();
    return !form_->isVisible();
}

QStringList PlayerWindow::errors() const {
    QStringList texts;
    for (const ScriptedPrompts::Asked& asked : prompts_->asked)
        if (asked.kind == Prompts::Kind::Error)
            texts << asked.text;
    return texts;
}

double PlayerWindow::position() const {
    const DWORD channel = form_->Channel();
    return BASS_ChannelBytes2Seconds(channel, BASS_ChannelGetPosition(channel, BASS_POS_BYTE));
}
