// The profile file: reading rules, in-place writing, saving.

#include "TestEnv.h"
#include "platform/AppError.h"
#include "platform/ProfileFile.h"
#include "platform/UserFolders.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

QString writeFile(const QTemporaryDir& dir, const QByteArray& bytes) {
    const QString path = dir.filePath("test.ini");
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

const QByteArray kSample =
    "; written by hand\n"
    "[Parameters]\n"
    "  Volume  =  64  \n"
    "empty=\n"
    "hex1=0x40\n"
    "hex2=$1F\n"
    "hex3=0XfF\n"
    "neg=-12\n"
    "plus=+7\n"
    "word=true\n"
    "two=2\n"
    "mixed=12abc\n"
    "big=2147483648\n"
    "negbig=-2147483648\n"
    "allbits=$FFFFFFFF\n"
    "path=/home/u/Music/Лето 2024/a=b.vpl\n"
    ";commented=5\n"
    "noequals\n"
    "[parameters]\n"
    "second=1\n"
    "[other]\n"
    "volume=7\n";

struct ReadCase {
    const char* rule;
    const char* section;
    const char* key;
    const char* expectedText;  // readString with default "DEF"
    int expectedInt;           // readInteger with default -99
};

const ReadCase kReadCases[] = {
    {"names match without case, value trimmed", "PARAMETERS", "volume", "64", 64},
    {"missing key gives the default", "parameters", "nothing", "DEF", -99},
    {"missing section gives the default", "nosuch", "volume", "DEF", -99},
    {"present empty key gives empty text", "parameters", "empty", "", -99},
    {"hex with 0x", "parameters", "hex1", "0x40", 64},
    {"hex with $", "parameters", "hex2", "$1F", 31},
    {"hex with 0X and mixed case digits", "parameters", "hex3", "0XfF", 255},
    {"negative decimal", "parameters", "neg", "-12", -12},
    {"plus sign", "parameters", "plus", "+7", 7},
    {"a word is no integer", "parameters", "word", "true", -99},
    {"trailing letters are no integer", "parameters", "mixed", "12abc", -99},
    {"beyond 32 bits is no integer", "parameters", "big", "2147483648", -99},
    {"lowest 32-bit integer", "parameters", "negbig", "-2147483648", INT_MIN},
    {"hex spells all 32 bits", "parameters", "allbits", "$FFFFFFFF", -1},
    {"UTF-8 text and '=' inside a value survive", "parameters", "path",
     "/home/u/Music/Лето 2024/a=b.vpl", -99},
    {"a comment is no key", "parameters", ";commented", "DEF", -99},
    {"a line without '=' is no key", "parameters", "noequals", "DEF", -99},
    {"only the first of two same-named sections counts", "parameters", "second", "DEF", -99},
    {"same key in another section is apart", "other", "volume", "7", 7},
};

}  // namespace

TEST(ProfileFile, ReadingRules) {
    QTemporaryDir dir;
    const ProfileFile ini(writeFile(dir, kSample));
    ASSERT_TRUE(ini.loaded());
    for (const ReadCase& c : kReadCases) {
        SCOPED_TRACE(c.rule);
        EXPECT_EQ(ini.readString(c.section, c.key, "DEF"), QString::fromUtf8(c.expectedText));
        EXPECT_EQ(ini.readInteger(c.section, c.key, -99), c.expectedInt);
    }
}

TEST(ProfileFile, BooleansReadAsIntegers) {
    QTemporaryDir dir;
    const ProfileFile ini(writeFile(dir, "[p]\nzero=0\ntwo=2\nword=true\nneg=-1\n"));
    EXPECT_FALSE(ini.readBool("p", "zero", true));
    EXPECT_TRUE(ini.readBool("p", "two", false));
    EXPECT_FALSE(ini.readBool("p", "word", false)) << "a word falls back to the default";
    EXPECT_TRUE(ini.readBool("p", "word", true));
    EXPECT_TRUE(ini.readBool("p", "neg", false));
    EXPECT_TRUE(ini.readBool("p", "missing", true));
}

TEST(ProfileFile, ValuesAreReadUpTo2047Characters) {
    QTemporaryDir dir;
    const QByteArray longValue(3000, 'x');
    const ProfileFile ini(writeFile(dir, "[s]\nk=" + longValue + "\n"));
    EXPECT_EQ(ini.readString("s", "k", QString()).size(), 2047);
}

TEST(ProfileFile, MissingFileReadsEmptyAndCreatesNothing) {
    QTemporaryDir dir;
    const QString path = dir.filePath("none/none.ini");
    const ProfileFile ini(path);
    EXPECT_FALSE(ini.loaded());
    EXPECT_EQ(ini.readInteger("a", "b", 5), 5);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none")));
}

TEST(ProfileFile, NewFileHoldsSectionsAndKeysInWritingOrder) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    ProfileFile ini(path);
    ini.writeInteger("one", "a", 1);
    ini.writeInteger("two", "b", -2);
    ini.writeBool("one", "c", true);
    ini.writeBool("two", "d", false);
    ini.writeString("one", "e", "Лето");
    ini.saveOrThrow();
    EXPECT_EQ(readFile(path), QByteArray("[one]\na=1\nc=1\ne=Лето\n[two]\nb=-2\nd=0\n"));
}

TEST(ProfileFile, InPlaceWritingKeepsEverythingElse) {
    QTemporaryDir dir;
    const QString path = writeFile(dir,
                                   "\xEF\xBB\xBF; my settings\r\n"
                                   "[Main]\r\n"
                                   "Left = 10   ; odd but kept\r\n"
                                   "custom=mine\r\n"
                                   "\r\n"
                                   "[Other]\r\n"
                                   "x=1\r\n");
    ProfileFile ini(path);
    ini.writeInteger("main", "LEFT", 20);      // replaced where it stands
    ini.writeInteger("main", "top", 30);       // appended after the last entry, before the blank line
    ini.writeString("third", "t", "z");        // new section at the end
    ini.writeString("main", "crlf", "a\r\nb"); // line breaks cannot add lines
    ini.saveOrThrow();
    EXPECT_EQ(readFile(path), QByteArray("\xEF\xBB\xBF; my settings\r\n"
                                         "[Main]\r\n"
                                         "LEFT=20\r\n"
                                         "custom=mine\r\n"
                                         "top=30\r\n"
                                         "crlf=a b\r\n"
                                         "\r\n"
                                         "[Other]\r\n"
                                         "x=1\r\n"
                                         "[third]\r\n"
                                         "t=z\r\n"));
}

TEST(ProfileFile, FailedSaveReportsThePath) {
    // A regular file where the folder should be: no rights let a save succeed.
    QTemporaryDir dir;
    const QString blocker = writeFile(dir, "not a folder");
    const QString path = blocker + "/settings.ini";
    ProfileFile ini(path);
    ini.writeInteger("a", "b", 2);
    try {
        ini.saveOrThrow();
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Unable to write to " + path);
    }
    EXPECT_EQ(readFile(blocker), QByteArray("not a folder"));
}

TEST(UserFolders, ConfigFolderIsCreatedUnderXdgConfigHome) {
    const QString expected = TestEnv::root() + "/config/VelmoPlayer/";
    QDir(expected).removeRecursively();
    EXPECT_EQ(GetConfigFolder(), expected);
    EXPECT_TRUE(QDir(expected).exists());
}

TEST(UserFolders, ConfigFolderParentsAreCreated) {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", (dir.path() + "/deep/er").toUtf8());
    EXPECT_EQ(GetConfigFolder(), dir.path() + "/deep/er/VelmoPlayer/");
    EXPECT_TRUE(QDir(dir.path() + "/deep/er/VelmoPlayer").exists());
    qputenv("XDG_CONFIG_HOME", saved);
}

TEST(UserFolders, DocumentsDefaultIsTheListInTheDocumentsFolder) {
    EXPECT_EQ(DocumentsDefault(),
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/NeuList");
}
