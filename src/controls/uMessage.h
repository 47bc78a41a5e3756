#pragma once
// TfrmMsg: the borderless, always-on-top notice that shows a text at a
// screen point and hides itself after a time, or at once when clicked.
// One instance, made for the first notice, lives for the rest of the run
// and is reused for every notice.

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

class TfrmMsg : public QWidget {
    Q_OBJECT
public:
    explicit TfrmMsg(QWidget* parent = nullptr);
    ~TfrmMsg() override;

    // Puts Msg in the label, sizes the window to it (label + 25 by label + 20)
    // and places its top-left corner at Pos, unadjusted to the screen. With a
    // positive Timeout (ms) it shows the window and starts the countdown; a
    // running countdown restarts only when Timeout differs from it.
    void ShowMessageTimeout(const QString& Msg, int Timeout, QPoint Pos);

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void Timer1Timer();
    void FormClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The timer behaves as a window timer: a new interval restarts a running
    // countdown only when it differs; enabling a running timer does nothing.
    void SetTimerInterval(int ms);
    void SetTimerEnabled(bool enabled);
};

// The one notice window of the running player (nullptr before it exists).
TfrmMsg* frmMsg();
