#include "platform/ProfileFile.h"

#include "platform/AppError.h"

#include <QFile>
#include <QSaveFile>

#include <limits>

namespace {
const QByteArray kBom("\xEF\xBB\xBF");

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
}  // namespace

ProfileFile::ProfileFile(const QString& path) : path_(path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    QByteArray bytes = file.readAll();
    loaded_ = true;
    if (bytes.startsWith(kBom)) {
        bom_ = true;
        bytes.remove(0, kBom.size());
    }
    const int firstBreak = bytes.indexOf('\n');
    if (firstBreak > 0 && bytes.at(firstBreak - 1) == '\r')
        eol_ = QStringLiteral("\r\n");
    const QString text = QString::fromUtf8(bytes);
    lines_ = text.split(QLatin1Char('\n'));
    if (!lines_.isEmpty() && lines_.last().isEmpty())
        lines_.removeLast();  // the final line break ends the last line
    for (QString& line : lines_) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
}

bool ProfileFile::isSectionHeader(const QString& line, QString* name) {
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1Char('[')))
        return false;
    const int close = trimmed.indexOf(QLatin1Char(']'));
    if (close < 0)
        return false;
    if (name)
        *name = trimmed.mid(1, close - 1).trimmed();
    return true;
}

ProfileFile::Entry ProfileFile::parseEntry(const QString& line) {
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(QLatin1Char(';')))
        return {};
    const int eq = trimmed.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return {};
    return {trimmed.left(eq).trimmed(), trimmed.mid(eq + 1).trimmed()};
}

int ProfileFile::findSection(const QString& section) const {
    QString name;
    for (int i = 0; i < lines_.size(); ++i) {
        if (isSectionHeader(lines_.at(i), &name) && sameName(name, section))
            return i;
    }
    return -1;
}

int ProfileFile::sectionEnd(int sectionLine) const {
    int i = sectionLine + 1;
    while (i < lines_.size() && !isSectionHeader(lines_.at(i), nullptr))
        ++i;
    return i;
}

int ProfileFile::findKey(int sectionLine, const QString& key) const {
    const int end = sectionEnd(sectionLine);
    for (int i = sectionLine + 1; i < end; ++i) {
        const Entry entry = parseEntry(lines_.at(i));
        if (!entry.key.isEmpty() && sameName(entry.key, key))
            return i;
    }
    return -1;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& def) const {
    const int sectionLine = findSection(section);
    if (sectionLine < 0)
        return def;
    const int keyLine = findKey(sectionLine, key);
    if (keyLine < 0)
        return def;
    return parseEntry(lines_.at(keyLine)).value.left(MaxValueLength);
}

int ProfileFile::parseInteger(const QString& text, bool* ok) {
    *ok = false;
    QString digits = text.trimmed();
    bool negative = false;
    if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
        negative = digits.startsWith(QLatin1Char('-'));
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith(QLatin1Char('$'))) {
        base = 16;
        digits.remove(0, 1);
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        digits.remove(0, 2);
    }
    // QString::toULongLong would accept blanks and its own prefixes; only
    // plain digits of the chosen base are numbers here.
    if (digits.isEmpty())
        return 0;
    for (const QChar c : digits) {
        const char16_t u = c.unicode();
        const bool decimal = u >= u'0' && u <= u'9';
        const bool hexLetter = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(decimal || (base == 16 && hexLetter)))
            return 0;
    }
    bool converted = false;
    const qulonglong magnitude = digits.toULongLong(&converted, base);
    if (!converted)
        return 0;
    qlonglong value = 0;
    if (base == 16) {
        // Hexadecimal spells the 32 bits: $FFFFFFFF is -1.
        if (magnitude > 0xFFFFFFFFull)
            return 0;
        value = static_cast<qint32>(static_cast<quint32>(magnitude));
    } else {
        if (magnitude > 0x80000000ull)
            return 0;
        value = static_cast<qlonglong>(magnitude);
    }
    if (negative)
        value = -value;
    if (value < std::numeric_limits<qint32>::min() || value > std::numeric_limits<qint32>::max())
        return 0;
    *ok = true;
    return static_cast<int>(value);
}

int ProfileFile::readInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int value = parseInteger(readString(section, key, QString()), &ok);
    return ok ? value : def;
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool def) const {
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    QString clean = value;
    clean.replace(QLatin1String("\r\n"), QLatin1String(" "));
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString line = key + QLatin1Char('=') + clean;

    const int sectionLine = findSection(section);
    if (sectionLine < 0) {
        lines_ << QLatin1Char('[') + section + QLatin1Char(']') << line;
        return;
    }
    const int keyLine = findKey(sectionLine, key);
    if (keyLine >= 0) {
        lines_[keyLine] = line;
        return;
    }
    // After the section's last non-blank line, so blank lines that separate
    // it from the next section stay below the new key.
    int insertAt = sectionEnd(sectionLine);
    while (insertAt > sectionLine + 1 && lines_.at(insertAt - 1).trimmed().isEmpty())
        --insertAt;
    lines_.insert(insertAt, line);
}

void ProfileFile::writeInteger(const QString& section, const QString& key, int value) {
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray ProfileFile::toBytes() const {
    QByteArray bytes;
    if (bom_)
        bytes += kBom;
    const QByteArray eol = eol_.toLatin1();
    for (const QString& line : lines_) {
        bytes += line.toUtf8();
        bytes += eol;
    }
    return bytes;
}

bool ProfileFile::save() {
    if (path_.isEmpty())
        return false;
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    // flush() reports a full disk; commit() alone would rename a short file
    // over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

void ProfileFile::saveOrThrow() {
    if (!save())
        throw AppError(QStringLiteral("Unable to write to %1").arg(path_));
}
