#include "platform/QtPrompts.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>

#include <utility>

namespace {

QMessageBox::Icon iconFor(Prompts::Kind kind) {
    switch (kind) {
    case Prompts::Kind::Information: return QMessageBox::Information;
    case Prompts::Kind::Warning: return QMessageBox::Warning;
    case Prompts::Kind::Error: return QMessageBox::Critical;
    case Prompts::Kind::Confirmation: return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsFor(Prompts::Buttons buttons) {
    switch (buttons) {
    case Prompts::Buttons::Ok: return QMessageBox::Ok;
    case Prompts::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompts::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// A message box centred over a window, or on the screen without one. It
// wraps a long text only while it is being shown, so it can be centred only
// then, before it appears.
class CentredMessageBox final : public QMessageBox {
public:
    CentredMessageBox(Icon icon, const QString& title, const QString& text, StandardButtons buttons,
                      QWidget* over)
        : QMessageBox(icon, title, text, buttons, over), over_(over) {}

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (over_ && over_->isVisible())
            move(over_->frameGeometry().center() - rect().center());
        else if (QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }

private:
    QPointer<QWidget> over_;
};

// The path itself when it is a folder, else its nearest existing parent.
QString nearestFolder(const QString& path) {
    QString folder = QFileInfo(path).absoluteFilePath();
    while (!QFileInfo(folder).isDir() && folder != QDir::rootPath())
        folder = QFileInfo(folder).absolutePath();
    return folder;
}

// A proposed path in a folder that does not exist (yet) is offered by its name
// in the nearest folder that does: the dialog would read the whole path as
// relative to its own folder and save somewhere else.
void selectProposedFile(QFileDialog* dialog, const QString& fileName) {
    const QFileInfo proposed(fileName);
    if (!proposed.isAbsolute() || proposed.absoluteDir().exists()) {
        dialog->selectFile(fileName);
        return;
    }
    dialog->setDirectory(nearestFolder(proposed.absolutePath()));
    dialog->selectFile(proposed.fileName());
}

QFileDialog* makeDialog(const Prompts::FileDialog& request) {
    auto* dialog = new QFileDialog(QApplication::activeWindow(), request.title, request.directory);
    dialog->setNameFilters(request.filters);
    if (request.filterIndex >= 0 && request.filterIndex < request.filters.size())
        dialog->selectNameFilter(request.filters.at(request.filterIndex));
    if (!request.fileName.isEmpty())
        selectProposedFile(dialog, request.fileName);
    if (!request.defaultSuffix.isEmpty())
        dialog->setDefaultSuffix(request.defaultSuffix);
    if (!request.confirmOverwrite)
        dialog->setOption(QFileDialog::DontConfirmOverwrite);
    return dialog;
}

}  // namespace

Prompts::Answer QtPrompts::ask(Kind kind, const QString& text, Buttons buttons) {
    if (holding_ && buttons == Buttons::Ok) {
        held_.append(Held{kind, text});
        return Answer::Ok;
    }
    return showBox(kind, text, buttons);
}

Prompts::Answer QtPrompts::showBox(Kind kind, const QString& text, Buttons buttons) {
    CentredMessageBox box(iconFor(kind), QApplication::applicationDisplayName(), text, buttonsFor(buttons),
                          over_.data());
    if (buttons == Buttons::OkCancel || buttons == Buttons::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons == Buttons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Ok: return Answer::Ok;
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    default:
        return buttons == Buttons::Ok ? Answer::Ok
             : buttons == Buttons::YesNo ? Answer::No
                                          : Answer::Cancel;
    }
}

void QtPrompts::holdMessages() { holding_ = true; }

void QtPrompts::showHeldMessages(QWidget* window) {
    const QPointer<QWidget> previous = std::exchange(over_, QPointer<QWidget>(window));
    // Still holding: a message that comes in while one is shown waits its turn.
    while (!held_.isEmpty()) {
        const Held next = held_.takeFirst();
        showBox(next.kind, next.text, Buttons::Ok);
    }
    holding_ = false;
    over_ = previous;
}

QStringList QtPrompts::openFiles(const FileDialog& request) {
    std::unique_ptr<QFileDialog> dialog(makeDialog(request));
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (dialog->exec() != QDialog::Accepted)
        return {};
    return dialog->selectedFiles();
}

QString QtPrompts::saveFile(const FileDialog& request) {
    int chosenFilter = 0;
    return saveFileWithFilter(request, chosenFilter);
}

QString QtPrompts::saveFileWithFilter(const FileDialog& request, int& chosenFilter) {
    std::unique_ptr<QFileDialog> dialog(makeDialog(request));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    chosenFilter = request.filterIndex;
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return {};
    if (const qsizetype index = request.filters.indexOf(dialog->selectedNameFilter()); index >= 0)
        chosenFilter = int(index);
    return dialog->selectedFiles().constFirst();
}

QString QtPrompts::pickFolder(const QString& title, const QString& directory) {
    // A default that is no folder (the playlist's "Documents/NeuList") starts
    // in its nearest existing folder rather than the working folder.
    const QString start = QFileInfo(directory).isAbsolute() ? nearestFolder(directory) : directory;
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, start);
}
