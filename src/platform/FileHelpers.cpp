#include "platform/FileHelpers.h"

#include "platform/AppError.h"
#include "platform/Shell.h"

#include <QDir>
#include <QMimeData>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <set>
#include <sys/stat.h>
#include <utility>
#include <vector>

void ExploreFolder(const QString& Folder) { shell().exploreFolder(Folder); }

QString AddressWithScheme(const QString& Address) {
    for (QLatin1String scheme : {QLatin1String("HTTP://"), QLatin1String("HTTPS://"), QLatin1String("FTP://")})
        if (Address.startsWith(scheme, Qt::CaseInsensitive))
            return Address;
    return QStringLiteral("http://") + Address;
}

void OpenUrl(const QString& Address) { shell().openUrl(AddressWithScheme(Address)); }

QString AddTrailingBackslash(const QString& Text) {
    return Text.endsWith(QLatin1Char('/')) ? Text : Text + QLatin1Char('/');
}

bool IsBlank(const QString& Text) {
    for (QChar c : Text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}

namespace {

// Digit runs compare by their value, the rest without regard to letter case;
// names equal that way fall back to their exact text so the order is total.
bool NaturalLess(const QString& a, const QString& b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype si = i, sj = j;
            while (i < a.size() && a[i] == QLatin1Char('0'))
                ++i;
            while (j < b.size() && b[j] == QLatin1Char('0'))
                ++j;
            const qsizetype di = i, dj = j;
            while (i < a.size() && a[i].isDigit())
                ++i;
            while (j < b.size() && b[j].isDigit())
                ++j;
            if (i - di != j - dj)
                return i - di < j - dj;  // more significant digits, larger number
            if (const int c = QStringView(a).sliced(di, i - di).compare(QStringView(b).sliced(dj, j - dj)); c != 0)
                return c < 0;
            if (i - si != j - sj)
                return i - si < j - sj;  // "1" before "01"
            continue;
        }
        const QChar ca = a[i].toCaseFolded(), cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

class FolderWalk {
public:
    FolderWalk(const QString& pattern, QStringList& list, bool recursive, const FindFilesTick& tick)
        : list_(list), recursive_(recursive), tick_(tick) {
        // "*.*" means every name, also names without a dot.
        matchAll_ = pattern == QLatin1String("*.*") || pattern == QLatin1String("*");
        if (!matchAll_)
            matcher_ = QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                          QRegularExpression::CaseInsensitiveOption);
    }

    // Returns false when the tick asked to stop.
    bool visit(const QString& folder) {
        const QByteArray native = QFile::encodeName(folder);
        struct stat self {};
        if (::stat(native.constData(), &self) != 0)
            fail(folder, errno);
        // A folder met again through a link is not walked twice.
        if (!visited_.insert({self.st_dev, self.st_ino}).second)
            return true;
        std::vector<Entry> entries = read(folder, native);
        sortByName(entries);
        const QString prefix = AddTrailingBackslash(folder);

        for (const Entry& e : entries)
            if (e.isFile && matches(e.name))
                list_.append(prefix + e.name);
        if (!recursive_)
            return true;
        for (const Entry& e : entries) {
            if (tick_ && !tick_())
                return false;
            if (e.isFolder && !e.name.startsWith(QLatin1Char('.')) && !visit(prefix + e.name))
                return false;
        }
        return true;
    }

private:
    struct Entry {
        QString name;
        bool isFile = false;
        bool isFolder = false;
    };

    [[noreturn]] static void fail(const QString& folder, int error) {
        throw AppError(QStringLiteral("Cannot read folder %1: %2")
                           .arg(QDir::toNativeSeparators(folder), QString::fromLocal8Bit(std::strerror(error))));
    }

    // The entries in file-system order, links resolved to what they point at.
    static std::vector<Entry> read(const QString& folder, const QByteArray& native) {
        DIR* dir = ::opendir(native.constData());
        if (!dir)
            fail(folder, errno);
        std::vector<Entry> entries;
        const int dirFd = ::dirfd(dir);
        for (;;) {
            errno = 0;
            const dirent* d = ::readdir(dir);
            if (!d) {
                const int error = errno;
                ::closedir(dir);
                if (error != 0)
                    fail(folder, error);
                break;
            }
            if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0)
                continue;
            Entry e;
            e.name = QFile::decodeName(d->d_name);
            if (d->d_type == DT_REG) {
                e.isFile = true;
            } else if (d->d_type == DT_DIR) {
                e.isFolder = true;
            } else if (d->d_type == DT_LNK || d->d_type == DT_UNKNOWN) {
                struct stat st {};
                if (::fstatat(dirFd, d->d_name, &st, 0) == 0) {  // follows links
                    e.isFile = S_ISREG(st.st_mode);
                    e.isFolder = S_ISDIR(st.st_mode);
                }
            }
            // Sockets, pipes, devices and broken links are neither.
            if (e.isFile || e.isFolder)
                entries.push_back(std::move(e));
        }
        return entries;
    }

    // Names in the order a file manager shows them ("2 Intro" before
    // "10 Finale"), not the file system's own order, so an album folder plays
    // in track order.
    static void sortByName(std::vector<Entry>& entries) {
        std::sort(entries.begin(), entries.end(),
                  [](const Entry& a, const Entry& b) { return NaturalLess(a.name, b.name); });
    }

    bool matches(const QString& name) const {
        return matchAll_ || matcher_.match(name).hasMatch();
    }

    QStringList& list_;
    bool recursive_;
    const FindFilesTick& tick_;
    bool matchAll_ = true;
    QRegularExpression matcher_;
    std::set<std::pair<dev_t, ino_t>> visited_;
};

}  // namespace

bool FindFiles(const QString& Folder, const QString& Pattern, QStringList& List, bool Recursive,
               const FindFilesTick& Tick) {
    List.clear();
    const QString root = QDir::cleanPath(QDir(Folder).absolutePath());
    FolderWalk(Pattern, List, Recursive, Tick).visit(root);
    return !List.isEmpty();
}

QStringList DroppedLocalPaths(const QMimeData* mime) {
    QStringList paths;
    for (const QUrl& url : mime->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    return paths;
}
