// Volume curve and label, equalizer switch, band gains and reset.

#include "MainWindowFixture.h"

#include "controls/uQrGbar.h"

#include "controls/CaptionLabel.h"

#include <QCheckBox>

TEST(VolumeCurve, FollowsFortyDecibels) {
    struct Row {
        int volume;
        float gain;
    };
    const Row rows[] = {{100, 1.0f}, {75, 0.316228f}, {50, 0.1f}, {1, 0.0104713f}, {0, 0.0f}, {-5, 0.0f}};
    for (const Row& row : rows)
        EXPECT_NEAR(TForm1::VolumeToGain(row.volume), row.gain, 1e-6) << row.volume;
}

TEST_F(MainWindowTest, VolumeBarSetsGainAndTwoLineLabel) {
    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    struct Row {
        int value;
        const char* caption;
        float gain;
    };
    for (const Row& row : {Row{0, "Vol\r0", 0.0f}, Row{50, "Vol\r50", 0.1f}, Row{100, "Vol\r100", 1.0f}}) {
        form->tbVolume->SetValue(row.value);
        EXPECT_EQ(form->lbVolume->caption(), row.caption);
        EXPECT_EQ(form->lbVolume->text(), QString(row.caption).replace('\r', '\n'));
        float gain = -1;
        ASSERT_TRUE(BASS_ChannelGetAttribute(form->Channel(), BASS_ATTRIB_VOL, &gain));
        EXPECT_NEAR(gain, row.gain, 1e-6) << row.value;
        EXPECT_EQ(form->GetVolume(), row.value);
    }
}

TEST_F(MainWindowTest, NewStreamPlaysAtTheChosenVolume) {
    form->tbVolume->SetValue(75);
    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    float gain = -1;
    ASSERT_TRUE(BASS_ChannelGetAttribute(form->Channel(), BASS_ATTRIB_VOL, &gain));
    EXPECT_NEAR(gain, 0.316228f, 1e-6);
}

namespace {
int EffectCount(const TForm1& form) {
    int n = 0;
    for (HFX handle : form.EqHandles()) {
        BASS_BFX_PEAKEQ eq{};
        if (handle != 0 && BASS_FXGetParameters(handle, &eq))
            ++n;
    }
    return n;
}
}  // namespace

TEST_F(MainWindowTest, EqualizerOnOffCyclesLeaveNineEffectsOrNone) {
    form->cbEq->setChecked(true);  // nothing loaded: colours only
    EXPECT_EQ(form->eq1->BarColor(), FromQColor(TForm1::EqBandColor(0)));
    form->eq3->SetValue(20);
    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    EXPECT_EQ(EffectCount(*form), 9);
    for (int cycle = 0; cycle < 3; ++cycle) {
        form->cbEq->setChecked(false);
        EXPECT_EQ(EffectCount(*form), 0) << cycle;
        EXPECT_EQ(form->eq9->BarColor(), FromQColor(TForm1::EqOffColor()));
        form->cbEq->setChecked(true);
        EXPECT_EQ(EffectCount(*form), 9) << cycle;
    }
    BASS_BFX_PEAKEQ eq{};
    ASSERT_TRUE(BASS_FXGetParameters(form->EqHandles()[2], &eq));
    EXPECT_EQ(eq.fGain, 8.0f);
    EXPECT_EQ(eq.fCenter, 250.0f);
    EXPECT_EQ(eq.fBandwidth, 1.5f);
}

TEST_F(MainWindowTest, BandBarsSetGainsAndHints) {
    form->cbEq->setChecked(true);
    form->LoadAudioFile(SineFile("tone.wav", 2.0));
    struct Row {
        TQrGbar* bar;
        int index;
        int value;
        const char* hint;
    };
    const Row rows[] = {{form->eq1, 0, 12, "63Hz 0db"}, {form->eq5, 4, 9, "1000Hz -3db"},
                        {form->eq9, 8, 24, "16000Hz 12db"}, {form->eq2, 1, 0, "125Hz -12db"},
                        {form->eq4, 3, 30, "500Hz 12db"}};
    for (const Row& row : rows) {
        row.bar->SetValue(row.value);
        EXPECT_EQ(row.bar->toolTip(), row.hint);
        BASS_BFX_PEAKEQ eq{};
        ASSERT_TRUE(BASS_FXGetParameters(form->EqHandles()[row.index], &eq));
        EXPECT_EQ(eq.fGain, static_cast<float>(row.bar->Value() - 12)) << row.hint;
    }
}

TEST_F(MainWindowTest, ResetAskedWithOkAndCancel) {
    form->eq2->SetValue(3);
    form->eq7->SetValue(20);
    prompts->answer(Prompts::Answer::Cancel);
    form->btnResetEqClick();
    EXPECT_EQ(prompts->texts().value(0), "Reset EQ?");
    EXPECT_EQ(form->eq2->Value(), 3);
    EXPECT_EQ(form->eq7->Value(), 20);
    prompts->answer(Prompts::Answer::Ok);
    form->btnResetEqClick();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(form->tbEQ[i]->Value(), 12);
        EXPECT_EQ(form->tbEQ[i]->toolTip(), TForm1::EqBandHint(i, 0));
    }
    EXPECT_EQ(form->eq1->toolTip(), "63Hz 0db");
}
