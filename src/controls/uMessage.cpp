#include "controls/uMessage.h"

#include "platform/TColor.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>

namespace {
TfrmMsg* g_frmMsg = nullptr;

constexpr int kLabelPixelSize = 15;
constexpr QPoint kLabelPos(8, 8);
constexpr int kExtraWidth = 25;
constexpr int kExtraHeight = 20;
}  // namespace

TfrmMsg* frmMsg() { return g_frmMsg; }

TfrmMsg::TfrmMsg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    if (!g_frmMsg)
        g_frmMsg = this;
    // A notice must not take the keyboard from the window the user works in.
    setAttribute(Qt::WA_ShowWithoutActivating);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clDarkBackground));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Panel1->setLineWidth(1);
    Panel1->setToolTip(QStringLiteral("Click to Close"));

    Label1 = new QLabel(Panel1);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);  // file names are never markup
    QFont font = Label1->font();
    font.setPixelSize(kLabelPixelSize);
    Label1->setFont(font);
    QPalette labelPal = Label1->palette();
    labelPal.setColor(QPalette::WindowText, Qt::white);
    Label1->setPalette(labelPal);
    Label1->move(kLabelPos);

    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmMsg::Timer1Timer);

    Panel1->installEventFilter(this);
    Label1->installEventFilter(this);
}

TfrmMsg::~TfrmMsg() {
    if (g_frmMsg == this)
        g_frmMsg = nullptr;
}

void TfrmMsg::ShowMessageTimeout(const QString& Msg, int Timeout, QPoint Pos) {
    // Every kind of line break starts a new line (the file facts use CR).
    QString text = Msg;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    Label1->setText(text);
    Label1->adjustSize();
    resize(Label1->width() + kExtraWidth, Label1->height() + kExtraHeight);
    Panel1->setGeometry(rect());
    move(Pos);
    if (Timeout <= 0)
        return;
    SetTimerInterval(Timeout);
    SetTimerEnabled(true);
    show();
}

void TfrmMsg::Timer1Timer() {
    SetTimerEnabled(false);
    hide();
}

void TfrmMsg::FormClick() { hide(); }

bool TfrmMsg::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Panel1 || watched == Label1) && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
            FormClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmMsg::SetTimerInterval(int ms) {
    if (ms == Timer1->interval())
        return;
    Timer1->setInterval(ms);
    if (Timer1->isActive())
        Timer1->start();  // restart with the new time
}

void TfrmMsg::SetTimerEnabled(bool enabled) {
    if (enabled == Timer1->isActive())
        return;
    if (enabled)
        Timer1->start();
    else
        Timer1->stop();
}
