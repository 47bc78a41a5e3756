// The settings window's values: accessors, clamping, the auto-save coupling
// and the font-size hooks.

#include "settings/uLang.h"
#include "settings/uSettings.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSpinBox>

namespace {
QLineEdit* editorOf(QSpinBox* spin) { return spin->findChild<QLineEdit*>(); }
}  // namespace

TEST(SettingsWindow, StartsWithTheDesignValues) {
    TfrmSettings w;
    EXPECT_EQ(frmSettings(), &w);
    EXPECT_FALSE(w.AutoSave() || w.AddOnDrop() || w.AddCL() || w.AddOnOpen());
    EXPECT_FALSE(w.LockMarkers() || w.AutoLoadLastList() || w.AutoSaveList() || w.AutoSaveLastPos());
    EXPECT_EQ(w.SeekTime(), 1);
    EXPECT_EQ(w.MarkersFontSize(), 11);
    EXPECT_EQ(w.ListFontSize(), 9);
    EXPECT_EQ(w.EditorFontSize(), 9);
    EXPECT_EQ(w.windowTitle(), "Velmo Player - Settings");
    EXPECT_EQ(w.size(), QSize(760, 569 + 87)) << "three rows for the added switches";
    EXPECT_TRUE(w.ShowWaveform());
    EXPECT_FALSE(w.ShowMarkerNames() || w.NameMarkersOnAdd());
}

TEST(SettingsWindow, IntegerSettersClampToTheirRanges) {
    TfrmSettings w;
    struct Case {
        void (TfrmSettings::*set)(int);
        int (TfrmSettings::*get)() const;
        int value;
        int expected;
    };
    const Case cases[] = {
        {&TfrmSettings::SetSeekTime, &TfrmSettings::SeekTime, 0, 1},
        {&TfrmSettings::SetSeekTime, &TfrmSettings::SeekTime, 99, 30},
        {&TfrmSettings::SetSeekTime, &TfrmSettings::SeekTime, 17, 17},
        {&TfrmSettings::SetMarkersFontSize, &TfrmSettings::MarkersFontSize, 4, 6},
        {&TfrmSettings::SetListFontSize, &TfrmSettings::ListFontSize, 21, 20},
        {&TfrmSettings::SetEditorFontSize, &TfrmSettings::EditorFontSize, -3, 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        (w.*c.set)(c.value);
        EXPECT_EQ((w.*c.get)(), c.expected);
    }
}

TEST(SettingsWindow, IntegerGettersReadTheTypedTextUnclamped) {
    TfrmSettings w;
    editorOf(w.seSeekTime)->setText("99");
    EXPECT_EQ(w.SeekTime(), 99) << "a typed number counts as typed until the edit loses the focus";
    editorOf(w.seSeekTime)->setText("abc");
    EXPECT_EQ(w.SeekTime(), 1) << "text that is no number reads as the minimum";
}

TEST(SettingsWindow, MirroredSwitchesFollowTheirBoxes) {
    TfrmSettings w;
    w.cbAddCL->click();
    EXPECT_TRUE(w.FAddCL);
    w.cbAddOnDrop->click();
    EXPECT_TRUE(w.AddOnDrop());
    w.cbAddOnOpen->click();
    EXPECT_TRUE(w.FAddOnOpen);
    w.SetAddCL(false);
    EXPECT_FALSE(w.cbAddCL->isChecked());
    EXPECT_FALSE(w.FAddCL);
    w.SetAutoSave(true);
    EXPECT_TRUE(w.cbAutoSave->isChecked());
    EXPECT_TRUE(w.FAutoSave);
}

TEST(SettingsWindow, KeepingTheLastPositionImpliesAutoSave) {
    TfrmSettings w;
    w.cbAutoSaveLastPos->click();
    EXPECT_TRUE(w.AutoSaveLastPos());
    EXPECT_TRUE(w.AutoSave()) << "checking last position checks auto save";
    EXPECT_TRUE(w.cbAutoSave->isChecked());

    w.cbAutoSave->click();
    EXPECT_FALSE(w.AutoSave());
    EXPECT_FALSE(w.AutoSaveLastPos()) << "unchecking auto save unchecks last position";

    w.SetAutoSave(true);
    EXPECT_FALSE(w.AutoSaveLastPos()) << "auto save alone does not imply last position";
    w.SetAutoSaveLastPos(true);
    w.SetAutoSave(false);
    EXPECT_FALSE(w.AutoSaveLastPos()) << "the setters run the same handlers as clicks";
}

TEST(SettingsWindow, FontSizeChangesReachTheirLists) {
    TfrmSettings w;
    QSignalSpy markers(&w, &TfrmSettings::MarkersFontSizeChanged);
    QSignalSpy list(&w, &TfrmSettings::ListFontSizeChanged);
    QSignalSpy editor(&w, &TfrmSettings::EditorFontSizeChanged);

    w.SetMarkersFontSize(9);
    w.SetListFontSize(9);  // the value it already has: nothing changes
    w.SetEditorFontSize(30);
    ASSERT_EQ(markers.count(), 1);
    EXPECT_EQ(markers.at(0).at(0).toInt(), 9);
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(editor.count(), 1);
    EXPECT_EQ(editor.at(0).at(0).toInt(), 20);

    w.seListFont->stepUp();  // the user's arrow button
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.at(0).at(0).toInt(), 10);
}

TEST(SettingsWindow, EveryLanguageTextFindsItsControl) {
    TfrmSettings w;
    for (const uLang::TextEntry& e : uLang::Texts()) {
        const QString key = QString::fromLatin1(e.Key);
        const bool hint = qstrcmp(e.Section, "settings_hints") == 0;
        if (!hint && qstrcmp(e.Section, "settings_captions") != 0)
            continue;
        SCOPED_TRACE(key.toStdString());
        QString name = key.mid(QStringLiteral("frmSettings_").size());
        if (hint)
            name.chop(QStringLiteral("_hint").size());
        if (name.startsWith("lbInfo_"))
            name = "lbInfoAssociations";
        EXPECT_NE(w.findChild<QWidget*>(name), nullptr);
    }
    uLang::frmSettings_Label7 = "translated";
    ApplyLanguage(nullptr, nullptr, &w);
    EXPECT_EQ(w.Label7->text(), "translated");
    EXPECT_EQ(w.lbInfoAssociations->text().count('\n'), 3);
    uLang::ResetTexts();
}
