#include "timeline/uEditor.h"

#include "platform/FileHelpers.h"
#include "platform/TColor.h"

#include <QDateTime>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

TfrmEditMarker* g_editor = nullptr;
std::function<void(TfrmEditMarker&)> g_editorMade;

constexpr int kBarHeight = 33;

QFont buttonFont() {
    QFont f;  // the desktop's sans-serif font stands for Segoe UI Semibold
    f.setPixelSize(13);
    f.setWeight(QFont::DemiBold);
    return f;
}

QToolButton* makeFlatButton(QWidget* parent, const QString& caption, int width) {
    auto* b = new QToolButton(parent);
    b->setText(caption);
    b->setAutoRaise(true);
    b->setFixedWidth(width);
    b->setFixedHeight(kBarHeight - 4);
    b->setFont(buttonFont());
    // A style sheet that names only the text colour leaves the hover and
    // pressed looks to the style, which paints them light under white text.
    b->setStyleSheet(QStringLiteral(
        "QToolButton { color: white; background: transparent; border: 1px solid transparent;"
        " border-radius: 2px; }"
        "QToolButton:hover { background: rgb(88, 88, 88); border-color: rgb(120, 120, 120); }"
        "QToolButton:pressed { background: rgb(40, 40, 40); }"));
    return b;
}

}  // namespace

TfrmEditMarker::TfrmEditMarker(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint) {
    g_editor = this;
    setObjectName(QStringLiteral("frmEditMarker"));
    setWindowTitle(QStringLiteral("Edit Marker"));
    setSizeGripEnabled(true);
    setMinimumSize(400, 250);
    resize(682, 253);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, ToQColor(clDarkBackground));
    setPalette(pal);
    setAutoFillBackground(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFixedHeight(kBarHeight);
    SpeedButton3 = makeFlatButton(Panel1, QStringLiteral("Clear"), 50);
    SpeedButton3->setObjectName(QStringLiteral("SpeedButton3"));
    SpeedButton4 = makeFlatButton(Panel1, QStringLiteral("Date/Time"), 76);
    SpeedButton4->setObjectName(QStringLiteral("SpeedButton4"));
    auto* top = new QHBoxLayout(Panel1);
    top->setContentsMargins(2, 2, 2, 2);
    top->setSpacing(2);
    top->addWidget(SpeedButton3);
    top->addWidget(SpeedButton4);
    top->addStretch();

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setFrameShape(QFrame::Box);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont memoFont;  // 15-pixel text until the EditorFontSize setting is applied
    memoFont.setPixelSize(15);
    Memo1->setFont(memoFont);
    QPalette memoPal = Memo1->palette();
    memoPal.setColor(QPalette::Base, ToQColor(clDarkBackground));
    memoPal.setColor(QPalette::Text, Qt::white);
    Memo1->setPalette(memoPal);

    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFixedHeight(kBarHeight);
    Panel2->setFrameShape(QFrame::StyledPanel);
    SpeedButton2 = makeFlatButton(Panel2, QStringLiteral("OK"), 71);
    SpeedButton2->setObjectName(QStringLiteral("SpeedButton2"));
    btnCancel = makeFlatButton(Panel2, QStringLiteral("CANCEL"), 71);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto* bottom = new QHBoxLayout(Panel2);
    bottom->setContentsMargins(2, 2, 2, 2);
    bottom->setSpacing(2);
    bottom->addStretch();
    bottom->addWidget(SpeedButton2);
    bottom->addWidget(btnCancel);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(Panel1);
    column->addWidget(Memo1, 1);
    column->addWidget(Panel2);

    connect(SpeedButton2, &QToolButton::clicked, this, &TfrmEditMarker::SpeedButton2Click);
    connect(btnCancel, &QToolButton::clicked, this, &TfrmEditMarker::btnCancelClick);
    connect(SpeedButton3, &QToolButton::clicked, this, &TfrmEditMarker::SpeedButton3Click);
    connect(SpeedButton4, &QToolButton::clicked, this, &TfrmEditMarker::SpeedButton4Click);

    // The dialog sees keys before its controls.
    for (QWidget* w : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(SpeedButton2),
                       static_cast<QWidget*>(btnCancel), static_cast<QWidget*>(SpeedButton3),
                       static_cast<QWidget*>(SpeedButton4)})
        w->installEventFilter(this);
}

TfrmEditMarker::~TfrmEditMarker() {
    if (g_editor == this)
        g_editor = nullptr;
}

TfrmEditMarker* frmEditMarker() {
    if (!g_editor) {
        new TfrmEditMarker();  // lives for the rest of the run, like every window
        if (g_editorMade)
            g_editorMade(*g_editor);
    }
    return g_editor;
}

void SetEditorMadeHook(std::function<void(TfrmEditMarker&)> hook) { g_editorMade = std::move(hook); }

void TfrmEditMarker::FormKeyPress(QChar& Key) {
    if (Key == QChar(27)) {
        Key = QChar(0);
        btnCancelClick();
    }
}

void TfrmEditMarker::SpeedButton2Click() { accept(); }

void TfrmEditMarker::btnCancelClick() { reject(); }

void TfrmEditMarker::SpeedButton3Click() { Memo1->clear(); }

void TfrmEditMarker::SpeedButton4Click() {
    const QLocale locale = QLocale::system();
    Memo1->appendPlainText(locale.toString(QDateTime::currentDateTime(), QLocale::ShortFormat));
}

bool TfrmEditMarker::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Ctrl+Enter is OK; a plain Enter still makes a new line in the memo.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
            key->modifiers().testFlag(Qt::ControlModifier)) {
            SpeedButton2Click();
            return true;
        }
        QChar c = key->key() == Qt::Key_Escape ? QChar(27)
                  : key->text().isEmpty()      ? QChar(0)
                                               : key->text().at(0);
        if (c != QChar(0)) {
            FormKeyPress(c);
            if (c == QChar(0))
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmEditMarker::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        QChar c(27);
        FormKeyPress(c);
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmEditMarker::showEvent(QShowEvent* event) {
    centreOnScreen();
    QDialog::showEvent(event);
}

void TfrmEditMarker::centreOnScreen() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(s->availableGeometry().center());
    move(frame.topLeft());
}

QString JoinMemoLines(const QString& memoText) {
    QString text = memoText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    for (QChar breakChar : {QChar(u'\r'), QChar(0x2028), QChar(0x2029)})
        text.replace(breakChar, QChar(u'\n'));

    QStringList lines = text.split(QChar(u'\n'));
    if (text.isEmpty())
        lines.clear();
    else if (text.endsWith(QChar(u'\n')))
        lines.removeLast();  // the empty line after a final line break

    if (lines.isEmpty())
        return QString();
    if (lines.size() == 1)
        return lines.first();
    // Each break is the memo's CR LF: two characters, two spaces.
    return text.replace(QChar(u'\n'), QStringLiteral("  "));
}

QString EditMarkerDescription(const QString& Description) {
    TfrmEditMarker* editor = frmEditMarker();
    editor->Memo1->clear();
    if (!IsBlank(Description))
        editor->Memo1->setPlainText(Description);
    // All of it selected, so that typing replaces a placeholder at once.
    editor->Memo1->selectAll();
    editor->Memo1->setFocus();
    if (editor->exec() != QDialog::Accepted)
        return Description;
    // The raw text: the plain text would turn a no-break space into a space,
    // so an unchanged description would come back changed.
    return JoinMemoLines(editor->Memo1->document()->toRawText());
}
