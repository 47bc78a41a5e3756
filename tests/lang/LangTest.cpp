#include "settings/LangTexts.h"
#include "settings/uLang.h"

#include "platform/AppError.h"
#include "platform/UserFolders.h"

#include "TestEnv.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class Lang : public ::testing::Test {
protected:
    void SetUp() override {
        uLang::ResetTexts();
        QFile::remove(uLang::LanguageFileName());
    }
    void TearDown() override {
        uLang::ResetTexts();
        QFile::remove(uLang::LanguageFileName());
    }
};

}  // namespace

TEST_F(Lang, SixSectionsOf113KeysInFileOrderThenAddedSections) {
    constexpr int kDescribed = 113;
    const QStringList described{"main_hints", "main_msg", "list_hints", "settings_hints",
                                "settings_captions", "popup_menu"};
    QStringList sections;
    QList<int> counts;
    QSet<QString> keys;
    const std::vector<uLang::TextEntry>& texts = uLang::Texts();
    ASSERT_GE(int(texts.size()), kDescribed);
    for (int i = 0; i < int(texts.size()); ++i) {
        const uLang::TextEntry& e = texts[i];
        if (i >= kDescribed) {
            // Texts added since come after the described ones, in sections of their own.
            EXPECT_FALSE(described.contains(e.Section)) << e.Key;
        } else if (sections.isEmpty() || sections.last() != e.Section) {
            sections << e.Section;
            counts << 0;
        }
        if (i < kDescribed)
            ++counts.last();
        keys.insert(QString(e.Key).toLower());
    }
    EXPECT_EQ(sections, described);
    EXPECT_EQ(counts, QList<int>({35, 20, 16, 4, 20, 18}));
    EXPECT_EQ(keys.size(), int(texts.size())) << "keys are unique, also without regard to case";
}

TEST_F(Lang, DefaultsKeepTheirOwnSpelling) {
    EXPECT_EQ(uLang::Form1_PaintBox1_hint, "");
    EXPECT_EQ(uLang::Form1_btnOpenFile_hint, "Open FIle...");
    EXPECT_EQ(uLang::Form1_btnNextFile_hint, "Next File  (Play List)");
    EXPECT_EQ(uLang::Form1_btnCompact_hint, "Compact (Set Minimum Player  Window Size)");
    EXPECT_EQ(uLang::frmSettings_btnFilaTypes_hint, "Assosiate Audio Files Wth Velmo Player");
    EXPECT_EQ(uLang::frmSettings_lbAddCL, "Add File To PlayList Afrer Open From Windows Explorer");
    EXPECT_EQ(uLang::frmSettings_Label7, QString::fromUtf8("Auto Save Last Play Position as \xD0\xB0 Markler on Exit"));
    EXPECT_EQ(uLang::frmSettings_Label7.at(32), QChar(0x0430));
    EXPECT_EQ(uLang::Form1_Save_Markers_msg, "Would You like to Save your Markers?");
    EXPECT_EQ(uLang::miBrows_caption, "Browse File Location Folder...");
    EXPECT_EQ(uLang::FindText("Form1_Marker_description_msg"), &uLang::Form1_Marker_description_msg);
    EXPECT_EQ(uLang::FindText("nope"), nullptr);
}

TEST_F(Lang, FileLivesInTheConfigFolder) {
    EXPECT_EQ(uLang::LanguageFileName(), TestEnv::root() + "/config/VelmoPlayer/VelmoPlayer.lang");
}

TEST_F(Lang, FirstExitWritesEveryKeyAsTheExpectedFileThenTheAddedSection) {
    uLang::WriteLanguageFile();
    const QString written = QString::fromUtf8(readAll(uLang::LanguageFileName()));
    const QString expected = QString::fromUtf8(readAll(QStringLiteral(VELMO_LANG_EXPECTED)));
    EXPECT_EQ(written.left(expected.size()), expected);
    const QString added = written.mid(expected.size());
    EXPECT_TRUE(added.startsWith(QStringLiteral("[extra]\n"))) << qPrintable(added.left(40));
    EXPECT_TRUE(added.contains(QStringLiteral("\nmiUndoMarkers_caption=Undo\n")));
}

TEST_F(Lang, AnExistingFileIsNeverRewrittenOrCompleted) {
    const QByteArray partial = "[main_msg]\nFile_msg=Datei\n";
    writeFile(uLang::LanguageFileName(), partial);
    uLang::Form1_btnStop_hint = "changed";
    uLang::WriteLanguageFile();
    EXPECT_EQ(readAll(uLang::LanguageFileName()), partial);
}

TEST_F(Lang, ReadingReplacesOnlyWhatTheFileHolds) {
    writeFile(uLang::LanguageFileName(),
              "[MAIN_MSG]\n"
              "form1_save_markers_msg = Marker speichern?\n"
              "Form1_Delete_Marker_msg=\n"
              "[main_hint]\n"
              "Form1_btnStop_hint=misspelled section\n"
              "[popup_menu]\n"
              "miJump_caption=Zum Marker\n");
    uLang::ReadLanguageFile();
    EXPECT_EQ(uLang::Form1_Save_Markers_msg, "Marker speichern?");
    EXPECT_EQ(uLang::Form1_Delete_Marker_msg, "") << "a present empty value empties the text";
    EXPECT_EQ(uLang::Form1_btnStop_hint, "Stop and Reset Position") << "misspelled section ignored";
    EXPECT_EQ(uLang::miJump_caption, "Zum Marker");
    EXPECT_EQ(uLang::File_msg, "File");
}

TEST_F(Lang, NoFileKeepsTheTextsAndCreatesNothing) {
    uLang::Form1_btnStop_hint = "kept";
    uLang::ReadLanguageFile();
    EXPECT_EQ(uLang::Form1_btnStop_hint, "kept");
    EXPECT_FALSE(QFile::exists(uLang::LanguageFileName()));
}

TEST_F(Lang, TextsSurviveARoundTrip) {
    uLang::File_msg = QStringLiteral("Файл");
    uLang::WriteLanguageFile();
    uLang::ResetTexts();
    uLang::frmSettings_Label7 = "lost";
    uLang::ReadLanguageFile();
    EXPECT_EQ(uLang::File_msg, QStringLiteral("Файл"));
    EXPECT_EQ(uLang::frmSettings_Label7.at(32), QChar(0x0430));
}

TEST_F(Lang, AWriteFailureIsReported) {
    const QString blocked = TestEnv::root() + "/not-a-folder";
    writeFile(blocked, "x");
    const QString target = blocked + "/VelmoPlayer.lang";
    try {
        uLang::WriteLanguageFile(target);
        ADD_FAILURE() << "no error";
    } catch (const AppError& e) {
        EXPECT_EQ(e.message(), "Unable to write to " + target);
    }
}

namespace {

// Stand-ins for the three windows with a few of their named controls.
struct Windows {
    QWidget form1, list, settings;
    template <class T>
    T* add(QWidget& parent, const char* name) {
        auto* c = new T(&parent);
        c->setObjectName(name);
        return c;
    }
    QAction* action(QWidget& parent, const char* name) {
        auto* a = new QAction(&parent);
        a->setObjectName(name);
        parent.addAction(a);
        return a;
    }
};

}  // namespace

TEST_F(Lang, ApplyPutsTheTextsIntoNamedControls) {
    Windows w;
    auto* paintBox = w.add<QWidget>(w.form1, "PaintBox1");
    paintBox->setToolTip("design hint");
    auto* btnStop = w.add<QPushButton>(w.form1, "btnStop");
    auto* lbName = w.add<QLabel>(w.form1, "lbName");
    auto* miJump = w.action(w.form1, "miJump");
    auto* miSettings = w.action(w.form1, "miSettings");
    auto* listStop = w.add<QPushButton>(w.list, "btnStop");
    auto* miBrows = w.action(w.list, "miBrows");
    auto* settings1 = w.action(w.list, "Settings1");
    auto* info = w.add<QLabel>(w.settings, "lbInfoAssociations");
    auto* label7 = w.add<QLabel>(w.settings, "Label7");
    auto* btnClose = w.add<QPushButton>(w.settings, "btnClose");

    uLang::Form1_PaintBox1_hint = "never shown";
    uLang::Form1_lbName_hint = "";
    uLang::miSettings_caption = "Einstellungen...";
    ApplyLanguage(&w.form1, &w.list, &w.settings);

    EXPECT_EQ(paintBox->toolTip(), "");
    EXPECT_EQ(btnStop->toolTip(), "Stop and Reset Position");
    EXPECT_EQ(lbName->toolTip(), "") << "an empty text empties the hint";
    EXPECT_EQ(miJump->text(), "Jump to marker");
    EXPECT_EQ(miSettings->text(), "Einstellungen...");
    EXPECT_EQ(listStop->toolTip(), "Stop and Reset Position");
    EXPECT_EQ(miBrows->text(), "Browse File Location Folder...");
    EXPECT_EQ(settings1->text(), "Einstellungen...") << "Settings1 shares the main window's key";
    EXPECT_EQ(info->text().split('\n'),
              QStringList({uLang::frmSettings_lbInfo_1, uLang::frmSettings_lbInfo_2,
                           uLang::frmSettings_lbInfo_3, uLang::frmSettings_lbInfo_4}));
    EXPECT_EQ(label7->text(), uLang::frmSettings_Label7);
    EXPECT_EQ(btnClose->text(), "Close");
    EXPECT_EQ(btnClose->toolTip(), "Close This Window");
}

TEST_F(Lang, ApplyPassesOverMissingWindowsAndControls) {
    Windows w;
    auto* miJump = w.action(w.list, "miJump");  // a main-window key; not the playlist's business
    ApplyLanguage(nullptr, &w.list, nullptr);
    EXPECT_EQ(miJump->text(), "");
}
