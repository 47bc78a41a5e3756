// TForm1's file information: the facts of the current file in a notice at the
// pointer, from the timeline menu or a click on the file name.

#include "mainwindow/uMain.h"

#include "controls/uMessage.h"
#include "playback/uAudioInfo.h"
#include "platform/FileHelpers.h"
#include "settings/LangTexts.h"
#include "timeline/TimeUtils.h"

#include <QAction>
#include <QCursor>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>

#include <functional>

namespace {

// How long the notice stays, and where it opens relative to the pointer.
constexpr int FileInfoTimeoutMs = 12000;
constexpr QPoint FileInfoOffset(-120, -20);

// Lines end with a lone CR; the notice shows each as a line of its own.
constexpr QChar CR(u'\r');

QString FileInfoText(const TAudioInfo& info, const QString& audioFileName) {
    // A file named relative to the working folder still shows where it is.
    const QString folder = AddTrailingBackslash(QFileInfo(audioFileName).absolutePath());
    return uLang::Form1_FileInfo_msg + CR + QString(22, QLatin1Char('-')) + CR +
           uLang::Form1_Name_msg + ' ' + info.FileName + CR +
           uLang::Form1_Folder_msg + ' ' + folder + CR +
           info.FileSizeTxt + " | " + uLang::Form1_Duration_msg + ' ' + SecondsToTimeStr(info.DurationSec, true) +
           " | " + uLang::Form1_Sample_msg + ' ' + QString::number(info.SampleRate) + CR +
           uLang::Form1_Channels_msg + ' ' + QString::number(info.Channels) + " | " + uLang::Form1_Bitrate_msg +
           ' ' + QString::number(info.BitsPerSample) + " | " + uLang::Form1_Format_msg + ' ' + info.Format;
}

// Runs a command on a left click (press and release on the label), as a
// label has no click signal of its own.
class LabelClick : public QObject {
public:
    LabelClick(QLabel* label, std::function<void()> command) : QObject(label), command_(std::move(command)) {
        label->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* label = static_cast<QLabel*>(watched);
        if (event->type() == QEvent::MouseButtonPress) {
            pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        } else if (event->type() == QEvent::MouseButtonRelease && pressed_) {
            pressed_ = false;
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
                command_();
                return true;
            }
        }
        return false;
    }

private:
    std::function<void()> command_;
    bool pressed_ = false;
};

}  // namespace

void TForm1::ConnectFileInfo() {
    miFileInfo->setEnabled(true);
    connect(miFileInfo, &QAction::triggered, this, &TForm1::miFileInfoClick);
    new LabelClick(lbName, [this] { miFileInfoClick(); });
}

void TForm1::miFileInfoClick() {
    if (FChannel == 0)
        return;
    TAudioInfo info;
    QString text = uLang::Form1_NoInfo_msg;
    if (GetAudioInfo(FAudioFileName, info)) {
        // The quick read estimates the length (an MP3's encoder delay and
        // padding count, a VBR file without a header is guessed from its bit
        // rate); the loaded stream knows it exactly and the window shows that.
        if (FDuration > 0)
            info.DurationSec = FDuration;
        text = FileInfoText(info, FAudioFileName);
    }
    NoticeWindow().ShowMessageTimeout(text, FileInfoTimeoutMs, QCursor::pos() + FileInfoOffset);
}
