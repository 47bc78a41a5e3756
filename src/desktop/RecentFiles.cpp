#include "desktop/RecentFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr auto BookmarkNs = "http://www.freedesktop.org/standards/desktop-bookmarks";
constexpr auto MimeNs = "http://www.freedesktop.org/standards/shared-mime-info";
// The metadata block that holds the MIME type and the applications.
constexpr auto FreedesktopOwner = "http://freedesktop.org";

// One XML element as read, kept whole so that elements and attributes of
// other applications are written back unchanged. Names are the qualified
// names as they stand in the file ("bookmark:application"); the file's own
// namespace declarations are ordinary attributes of the root here.
struct Element {
    QString name;
    std::vector<std::pair<QString, QString>> attributes;
    QString text;  // character data of a leaf such as <title>
    std::vector<Element> children;

    std::optional<QString> attribute(const QString& key) const {
        for (const auto& [k, v] : attributes)
            if (k == key)
                return v;
        return std::nullopt;
    }
    void setAttribute(const QString& key, const QString& value) {
        for (auto& [k, v] : attributes)
            if (k == key) {
                v = value;
                return;
            }
        attributes.emplace_back(key, value);
    }
    // The first child named childName with attribute key = value (any
    // attributes when key is empty); created at the end when there is none.
    Element& child(const QString& childName, const QString& key = {}, const QString& value = {}) {
        for (Element& c : children)
            if (c.name == childName && (key.isEmpty() || c.attribute(key) == value))
                return c;
        Element made{childName, {}, {}, {}};
        if (!key.isEmpty())
            made.setAttribute(key, value);
        children.push_back(std::move(made));
        return children.back();
    }
};

Element readElement(QXmlStreamReader& xml) {
    Element e{xml.qualifiedName().toString(), {}, {}, {}};
    for (const QXmlStreamAttribute& a : xml.attributes())
        e.attributes.emplace_back(a.qualifiedName().toString(), a.value().toString());
    while (xml.readNext() != QXmlStreamReader::EndElement && !xml.hasError()) {
        if (xml.isStartElement())
            e.children.push_back(readElement(xml));
        else if (xml.isCharacters() && !xml.isWhitespace())
            e.text += xml.text();
    }
    return e;
}

// The root <xbel> element of the file's content; nullopt when it is not a
// well-formed bookmark file. Empty content gives a new, empty list.
std::optional<Element> parse(const QByteArray& content) {
    if (content.trimmed().isEmpty())
        return Element{"xbel",
                       {{"version", "1.0"},
                        {"xmlns:bookmark", BookmarkNs},
                        {"xmlns:mime", MimeNs}},
                       {},
                       {}};
    QXmlStreamReader xml(content);
    // Prefixes stay part of the names, so foreign elements round-trip as written.
    xml.setNamespaceProcessing(false);
    std::optional<Element> root;
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement()) {
            if (root)  // a second root: not XML
                return std::nullopt;
            root = readElement(xml);
        }
    }
    if (xml.hasError() || !root || root->name != "xbel")
        return std::nullopt;
    // Our own elements use these two prefixes; declare them if the file does not.
    if (!root->attribute("xmlns:bookmark"))
        root->setAttribute("xmlns:bookmark", BookmarkNs);
    if (!root->attribute("xmlns:mime"))
        root->setAttribute("xmlns:mime", MimeNs);
    return root;
}

void writeElement(QXmlStreamWriter& xml, const Element& e) {
    xml.writeStartElement(e.name);
    for (const auto& [k, v] : e.attributes)
        xml.writeAttribute(k, v);
    if (!e.text.isEmpty())
        xml.writeCharacters(e.text);
    for (const Element& c : e.children)
        writeElement(xml, c);
    xml.writeEndElement();
}

QByteArray serialize(const Element& root) {
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    writeElement(xml, root);
    xml.writeEndDocument();
    return out;
}

// True when the bookmark's address names the local file at path.
bool namesFile(const Element& bookmark, const QString& path) {
    const auto href = bookmark.attribute("href");
    if (!href)
        return false;
    const QUrl url = QUrl::fromEncoded(href->toUtf8());
    return url.isLocalFile() && QDir::cleanPath(url.toLocalFile()) == path;
}

// Sets or refreshes the bookmark of path in the list.
void record(Element& root, const QString& path, const QString& stamp) {
    Element* bookmark = nullptr;
    for (Element& c : root.children)
        if (c.name == "bookmark" && namesFile(c, path)) {
            bookmark = &c;
            break;
        }
    if (!bookmark) {
        root.children.push_back(Element{"bookmark", {}, {}, {}});
        bookmark = &root.children.back();
        bookmark->setAttribute("href", QString::fromUtf8(QUrl::fromLocalFile(path).toEncoded()));
        bookmark->setAttribute("added", stamp);
    }
    bookmark->setAttribute("modified", stamp);
    bookmark->setAttribute("visited", stamp);

    Element& metadata =
        bookmark->child("info").child("metadata", "owner", FreedesktopOwner);
    Element& mime = metadata.child("mime:mime-type");
    if (!mime.attribute("type"))
        // By name only: reading the audio file to sniff its type would be
        // slow on network folders and is not needed for our extensions.
        mime.setAttribute("type", QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name());

    Element& app = metadata.child("bookmark:applications")
                       .child("bookmark:application", "name", RecentFiles::ApplicationName);
    app.setAttribute("exec", RecentFiles::ApplicationExec);
    app.setAttribute("modified", stamp);
    app.setAttribute("count", QString::number(app.attribute("count").value_or("0").toInt() + 1));
}

}  // namespace

RecentFiles::RecentFiles() : path_(defaultPath()) {}

RecentFiles::RecentFiles(QString xbelPath) : path_(std::move(xbelPath)) {}

QString RecentFiles::defaultPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           "/recently-used.xbel";
}

bool RecentFiles::add(const QString& filePath, const QDateTime& when) const {
    QByteArray content;
    QFile existing(path_);
    const bool existed = existing.exists();
    if (existed) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        content = existing.readAll();
        existing.close();
    }
    std::optional<Element> root = parse(content);
    if (!root)
        return false;  // never replace a list we could not read: it holds others' entries

    const QString path = QDir::cleanPath(QFileInfo(filePath).absoluteFilePath());
    record(*root, path, when.toUTC().toString(Qt::ISODateWithMs));

    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    // The list tells which files the user opened: a new one is the user's alone.
    // (QSaveFile keeps the permissions of a file it replaces.)
    if (!existed)
        out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const QByteArray bytes = serialize(*root);
    // flush() reports a full disk; commit() alone would rename a short file
    // over the other applications' entries.
    if (out.write(bytes) != bytes.size() || !out.flush())
        return false;
    return out.commit();
}
