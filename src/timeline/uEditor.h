#pragma once
// TfrmEditMarker, the marker description editor, and EditMarkerDescription,
// which shows it modally. One instance exists for the rest of the run once
// it is first needed; it is reused for every edit.
// GUI thread only.

#include <QDialog>

#include <functional>

class QFrame;
class QPlainTextEdit;
class QToolButton;

class TfrmEditMarker : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEditMarker(QWidget* parent = nullptr);
    ~TfrmEditMarker() override;

    QFrame* Panel1 = nullptr;          // top bar: Clear, Date/Time
    QToolButton* SpeedButton3 = nullptr;  // "Clear"
    QToolButton* SpeedButton4 = nullptr;  // "Date/Time"
    QPlainTextEdit* Memo1 = nullptr;   // the description being edited
    QFrame* Panel2 = nullptr;          // bottom bar: OK, CANCEL
    QToolButton* SpeedButton2 = nullptr;  // "OK"
    QToolButton* btnCancel = nullptr;     // "CANCEL"

    // Esc (character 27) anywhere in the dialog cancels; Key becomes 0 when
    // it was used.
    void FormKeyPress(QChar& Key);

public slots:
    void SpeedButton2Click();  // OK
    void btnCancelClick();     // CANCEL
    void SpeedButton3Click();  // empties the memo
    void SpeedButton4Click();  // appends a line with the local date and time

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centreOnScreen();
};

// The editor of the running program; created on first use.
TfrmEditMarker* frmEditMarker();
// Runs on the editor frmEditMarker has just created (the running program
// gives it the settings read before); empty for nothing.
void SetEditorMadeHook(std::function<void(TfrmEditMarker&)> hook);

// The description the memo's text stands for when OK is pressed. The memo
// counts its lines without an empty last line left by a final line break.
// No line gives empty text, one line is returned as it is, and from two lines
// on the whole text is returned with every line break made two spaces (the
// memo's breaks are CR LF, each character becoming one space), so that a
// description never holds a line break. memoText uses "\n" (or "\r\n", "\r",
// U+2028, U+2029) between lines.
QString JoinMemoLines(const QString& memoText);

// Shows the editor modally with Description in its memo (nothing when
// Description is blank), all of it selected. OK (or Ctrl+Enter) gives the
// memo's text by JoinMemoLines; CANCEL, Esc and the close box give
// Description unchanged.
QString EditMarkerDescription(const QString& Description);
