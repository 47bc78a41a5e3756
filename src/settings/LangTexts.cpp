#include "settings/LangTexts.h"

#include "platform/ProfileFile.h"
#include "platform/UserFolders.h"

#include <QFileInfo>

namespace uLang {

#define VELMO_DEFINE_TEXT(section, key, text) QString key = QString::fromUtf16(text);
VELMO_LANG_TEXTS(VELMO_DEFINE_TEXT)
#undef VELMO_DEFINE_TEXT

const std::vector<TextEntry>& Texts() {
#define VELMO_TEXT_ENTRY(section, key, text) TextEntry{#section, #key, &key, text},
    static const std::vector<TextEntry> texts{VELMO_LANG_TEXTS(VELMO_TEXT_ENTRY)};
#undef VELMO_TEXT_ENTRY
    return texts;
}

QString* FindText(const QString& key) {
    for (const TextEntry& e : Texts())
        if (key == QLatin1String(e.Key))
            return e.Text;
    return nullptr;
}

void ResetTexts() {
    for (const TextEntry& e : Texts())
        *e.Text = QString::fromUtf16(e.Default);
}

QString LanguageFileName() { return GetConfigFolder() + QStringLiteral("VelmoPlayer.lang"); }

void ReadLanguageFile() { ReadLanguageFile(LanguageFileName()); }

void ReadLanguageFile(const QString& fileName) {
    if (!QFileInfo(fileName).isFile())
        return;
    const ProfileFile file(fileName);
    for (const TextEntry& e : Texts())
        *e.Text = file.readString(QLatin1String(e.Section), QLatin1String(e.Key), *e.Text);
}

void WriteLanguageFile() { WriteLanguageFile(LanguageFileName()); }

void WriteLanguageFile(const QString& fileName) {
    if (QFileInfo::exists(fileName))
        return;
    ProfileFile file(fileName);
    for (const TextEntry& e : Texts())
        file.writeString(QLatin1String(e.Section), QLatin1String(e.Key), *e.Text);
    file.saveOrThrow();
}

}  // namespace uLang
