// TForm1's volume bar and nine-band equalizer.

#include "app/uMain.h"

#include "app/CaptionLabel.h"
#include "controls/HintWindow.h"
#include "controls/uQrGbar.h"
#include "platform/Prompts.h"
#include "playlist/uList.h"
#include "settings/LangTexts.h"

#include <QCheckBox>
#include <QFrame>

#include <cmath>

namespace {

constexpr QRgb BandColors[9] = {
    qRgb(181, 80, 74),  qRgb(231, 135, 88), qRgb(223, 209, 32),  qRgb(167, 231, 88), qRgb(103, 228, 147),
    qRgb(53, 180, 202), qRgb(123, 190, 244), qRgb(151, 168, 249), qRgb(80, 87, 233),
};
const QColor BandBackground(44, 44, 44);
constexpr int BandMax = 24;
constexpr int BandMiddle = 12;
constexpr float BandWidthOctaves = 1.5f;
// The effects interface the equalizer is written for: 2.4.x.
constexpr DWORD FxVersionMajorMinor = 0x0204;
// The volume curve spans 40 dB.
constexpr double VolumeRangeDb = 40.0;

// "63", "1000", "16000": the shortest decimal text of a centre.
QString CentreText(float centre) {
    return QString::number(static_cast<double>(centre), 'g', 9);
}

}  // namespace

// ---- volume -----------------------------------------------------------------------------

float TForm1::VolumeToGain(int volume) {
    if (volume <= 0)
        return 0.0f;
    return static_cast<float>(std::pow(10.0, (1.0 - volume / 100.0) * -VolumeRangeDb / 20.0));
}

void TForm1::SetVolume(int Volume) {
    const float gain = VolumeToGain(Volume);
    if (FChannel != 0)
        BASS_ChannelSetAttribute(FChannel, BASS_ATTRIB_VOL, gain);
    lbVolume->setCaption(QStringLiteral("Vol\r") + QString::number(tbVolume->Value()));
}

int TForm1::GetVolume() const { return tbVolume->Value(); }

void TForm1::tbVolume_Change() { SetVolume(tbVolume->Value()); }

void TForm1::tbVolumeMouseUp() {
    // playlist: the playlist window's volume bar takes the value.
    if (frmList())
        frmList()->tbVolume->SetValue(tbVolume->Value());
}

void TForm1::Panel1Resize() {
    tbVolume->setGeometry(0, 0, Panel1->width(), Panel1->height());
}

// ---- equalizer bands --------------------------------------------------------------------

QColor TForm1::EqBandColor(int index) { return QColor(BandColors[index]); }

QColor TForm1::EqOffColor() { return QColor(128, 128, 128); }

QString TForm1::EqBandHint(int index) {
    return CentreText(EqCenters[index]) + QStringLiteral("Hz");
}

QString TForm1::EqBandHint(int index, int gain) {
    return CentreText(EqCenters[index]) + QStringLiteral("Hz ") + QString::number(gain) + QStringLiteral("db");
}

void TForm1::SetupBandBars() {
    TQrGbar* bars[9] = {eq1, eq2, eq3, eq4, eq5, eq6, eq7, eq8, eq9};
    for (int i = 0; i < 9; ++i) {
        TQrGbar* bar = bars[i];
        tbEQ[i] = bar;
        bar->setToolTip(EqBandHint(i));
        bar->SetMax(BandMax);
        connect(bar, &TQrGbar::OnChange, this, &TForm1::eq1Change);
        bar->SetValue(BandMiddle);
        bar->SetBgColor(FromQColor(BandBackground));
        bar->SetBarColor(FromQColor(cbEq->isChecked() ? EqBandColor(i) : EqOffColor()));
    }
}

void TForm1::ColorBandBars() {
    for (int i = 0; i < 9; ++i)
        tbEQ[i]->SetBarColor(FromQColor(cbEq->isChecked() ? EqBandColor(i) : EqOffColor()));
}

bool TForm1::IsSupportedFxVersion(DWORD version) { return (version >> 16) == FxVersionMajorMinor; }

void TForm1::SetupEqualizer() {
    if (!IsSupportedFxVersion(BASS_FX_GetVersion())) {
        prompts().message(uLang::Form1_Bass_Load_Error_msg);
        return;
    }
    for (int i = 0; i < 9; ++i) {
        BASS_BFX_PEAKEQ eq{};
        eq.lBand = 0;
        eq.fBandwidth = BandWidthOctaves;
        eq.fQ = 0;
        eq.fCenter = EqCenters[i];
        eq.fGain = 0;
        eq.lChannel = BASS_BFX_CHANALL;
        FEQHandles[i] = BASS_ChannelSetFX(FChannel, BASS_FX_BFX_PEAKEQ, 0);
        BASS_FXSetParameters(FEQHandles[i], &eq);
    }
}

void TForm1::SetEqBandGain(int Index, float Gain) {
    if (FEQHandles[Index] == 0)
        return;
    BASS_BFX_PEAKEQ eq{};
    BASS_FXGetParameters(FEQHandles[Index], &eq);
    eq.fGain = Gain;
    BASS_FXSetParameters(FEQHandles[Index], &eq);
}

void TForm1::cbEqClick() {
    ColorBandBars();
    if (FChannel == 0)
        return;
    if (!cbEq->isChecked()) {
        for (HFX& handle : FEQHandles) {
            if (handle != 0)
                BASS_ChannelRemoveFX(FChannel, handle);
            handle = 0;
        }
        return;
    }
    // Effects already on the stream go first, so switching on twice in a row
    // still leaves exactly nine.
    RemoveEqualizer();
    SetupEqualizer();
    for (int i = 0; i < 9; ++i)
        SetEqBandGain(i, static_cast<float>(tbEQ[i]->Value() - tbEQ[i]->Max() / 2));
}

void TForm1::RemoveEqualizer() {
    for (HFX& handle : FEQHandles) {
        if (handle != 0)
            BASS_ChannelRemoveFX(FChannel, handle);
        handle = 0;
    }
}

void TForm1::eq1Change(TQrGbar* Sender) {
    const int index = Sender->objectName().mid(2, 1).toInt() - 1;
    if (index < 0 || index > 8)
        return;
    const int gain = Sender->Value() - Sender->Max() / 2;
    Sender->setToolTip(EqBandHint(index, gain));
    SetEqBandGain(index, static_cast<float>(gain));
    ShowBandHint(Sender);
}

void TForm1::ShowBandHint(TQrGbar* bar) {
    if (!bar->isVisible())
        return;
    if (!FBandHint)
        FBandHint = new HintWindow(this);
    FBandHint->showAbove(bar, bar->toolTip());
}

void TForm1::btnResetEqClick() {
    if (!prompts().confirmOkCancel(QStringLiteral("Reset EQ?")))
        return;
    for (TQrGbar* bar : tbEQ)
        bar->SetValue(BandMiddle);
}
