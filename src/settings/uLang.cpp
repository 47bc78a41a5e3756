#include "settings/uLang.h"

#include <QAction>
#include <QWidget>

namespace {

// Sets a property of the window's child named name, when both exist.
void setOn(QWidget* window, const QString& name, const char* property, const QString& text) {
    // An empty name would match the first unnamed control.
    if (!window || name.isEmpty())
        return;
    if (QObject* control = window->findChild<QObject*>(name))
        control->setProperty(property, text);
}

void setHint(QWidget* window, const QString& name, const QString& text) {
    setOn(window, name, "toolTip", text);
}

void setCaption(QWidget* window, const QString& name, const QString& text) {
    setOn(window, name, "text", text);
}

// "Form1_btnStop_hint" with prefix "Form1_" and suffix "_hint" names "btnStop".
QString controlName(const char* key, QLatin1String prefix, QLatin1String suffix) {
    QString name = QLatin1String(key);
    if (!name.startsWith(prefix) || !name.endsWith(suffix))
        return QString();
    return name.mid(prefix.size(), name.size() - prefix.size() - suffix.size());
}

void applyHints(QWidget* window, const char* section, QLatin1String prefix) {
    for (const uLang::TextEntry& e : uLang::Texts())
        if (qstrcmp(e.Section, section) == 0)
            setHint(window, controlName(e.Key, prefix, QLatin1String("_hint")), *e.Text);
}

}  // namespace

void ApplyLanguage(QWidget* Form1, QWidget* frmList, QWidget* frmSettings) {
    using namespace uLang;

    // 1. Main window hints. The timeline never shows a hint, whatever the file says.
    setHint(Form1, QStringLiteral("PaintBox1"), QString());
    for (const TextEntry& e : Texts())
        if (qstrcmp(e.Section, "main_hints") == 0 && e.Text != &Form1_PaintBox1_hint)
            setHint(Form1, controlName(e.Key, QLatin1String("Form1_"), QLatin1String("_hint")), *e.Text);

    // 2. Playlist window hints.
    applyHints(frmList, "list_hints", QLatin1String("frmList_"));

    // 3. Settings window hints.
    applyHints(frmSettings, "settings_hints", QLatin1String("frmSettings_"));

    // 4. Settings window captions: the information label from its four lines,
    // then the other sixteen.
    setCaption(frmSettings, QStringLiteral("lbInfoAssociations"),
               QStringList{frmSettings_lbInfo_1, frmSettings_lbInfo_2, frmSettings_lbInfo_3,
                           frmSettings_lbInfo_4}
                   .join(QLatin1Char('\n')));
    for (const TextEntry& e : Texts()) {
        if (qstrcmp(e.Section, "settings_captions") != 0 || QByteArray(e.Key).startsWith("frmSettings_lbInfo_"))
            continue;
        setCaption(frmSettings, controlName(e.Key, QLatin1String("frmSettings_"), QLatin1String()), *e.Text);
    }

    // 5 and 6. Menus: the first ten items belong to the main window, the
    // rest to the playlist window, whose Settings1 shares miSettings_caption.
    int item = 0;
    for (const TextEntry& e : Texts()) {
        if (qstrcmp(e.Section, "popup_menu") != 0)
            continue;
        QWidget* window = item++ < 10 ? Form1 : frmList;
        setCaption(window, controlName(e.Key, QLatin1String(), QLatin1String("_caption")), *e.Text);
    }
    setCaption(frmList, QStringLiteral("Settings1"), miSettings_caption);

    // 7. The settings window's captions of the features added since. Their
    // menu items take their texts when the menu opens.
    for (const TextEntry& e : Texts()) {
        if (qstrcmp(e.Section, "extra") == 0)
            setCaption(frmSettings, controlName(e.Key, QLatin1String("frmSettings_"), QLatin1String()), *e.Text);
    }
}
