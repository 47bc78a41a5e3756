#pragma once
// An INI ("profile") file held in memory: load once, read and set many keys,
// save once. Reading and writing follow the rules of the classic Windows
// profile functions, so files written by hand keep working:
//   - section and key names match without regard to case; the first matching
//     section and the first matching key in it win;
//   - names and values are trimmed of surrounding blanks; at most
//     MaxValueLength characters of a value are read;
//   - a missing key gives the caller's default, a key present with an empty
//     value gives empty text;
//   - setting an existing key replaces its line where it stands, a new key is
//     added after the last entry of its section, a new section at the end;
//     every other line (comments, unknown keys, blank lines) is kept as is.
// The text is UTF-8 (a byte-order mark is skipped on reading and kept on
// saving); lines end as the loaded file's lines end, "\n" for a new file.
// Saving goes to a temporary file renamed over the old one, so a failed or
// interrupted save leaves the previous file whole.
// Not thread-safe; the program uses it on the GUI thread only.

#include <QString>
#include <QStringList>

class ProfileFile {
public:
    // Longest value text handed out by the readers (the classic 2048-character
    // buffer minus its terminating null).
    static constexpr int MaxValueLength = 2047;

    // Loads path when it exists and is readable; otherwise the document starts
    // empty. Loading never creates anything.
    explicit ProfileFile(const QString& path);

    const QString& path() const { return path_; }
    // True when the file existed and was read at construction.
    bool loaded() const { return loaded_; }

    QString readString(const QString& section, const QString& key, const QString& def) const;
    // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$";
    // anything else (and a missing key) gives def.
    int readInteger(const QString& section, const QString& key, int def) const;
    // Read as an integer with the default 0 or 1; any non-zero value is true.
    bool readBool(const QString& section, const QString& key, bool def) const;

    // Sets a value in memory. Line breaks inside value become blanks so a
    // value can never add lines to the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    // Written as "1" or "0".
    void writeBool(const QString& section, const QString& key, bool value);

    // The bytes save() would write.
    QByteArray toBytes() const;
    // Writes the document through a temporary file renamed into place.
    // Returns false (and leaves the old file untouched) on any failure.
    bool save();
    // As save(), but a failure throws AppError "Unable to write to <path>".
    void saveOrThrow();

    // The integer rule of readInteger, on bare text; ok tells whether text
    // was a number.
    static int parseInteger(const QString& text, bool* ok);

private:
    struct Entry {
        QString key;    // trimmed key name; empty for lines that are not keys
        QString value;  // trimmed value
    };
    // Index of the header line of the first section named section, or -1.
    int findSection(const QString& section) const;
    // Index of the line of key inside the section whose header is at
    // sectionLine, or -1.
    int findKey(int sectionLine, const QString& key) const;
    // One past the last line of the section whose header is at sectionLine.
    int sectionEnd(int sectionLine) const;
    static bool isSectionHeader(const QString& line, QString* name);
    static Entry parseEntry(const QString& line);

    QString path_;
    QStringList lines_;
    bool loaded_ = false;
    bool bom_ = false;
    QString eol_ = QStringLiteral("\n");
};
