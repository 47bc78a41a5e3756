#pragma once
// TfrmAbout, the About window: a dedication, six links and a slideshow of 75
// pictures that changes every 2.5 seconds while the window is visible. Made
// when first shown, it lives for the rest of the run; closing it hides it.
// GUI thread only.

#include "platform/Version.h"

#include <QPixmap>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;
class QTimer;
class QToolButton;

inline constexpr int SlideCount = 75;

// The slideshow's state, kept for the program's lifetime: the current step
// (0 to 74) and the order of the pictures (a permutation of 0 to 74).
extern int SlideIndex;
extern std::array<int, SlideCount> SlideOrder;

// Fisher-Yates shuffle of A[0..n] with a generator seeded from the clock.
void ShuffleOrder(std::array<int, SlideCount>& A, int n);

// Picture index (0 to 74) of the slideshow, 256 by 170 pixels, drawn by the
// program itself; the same index always gives the same picture.
QPixmap SlidePicture(int index);

class TfrmAbout : public QWidget {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
    ~TfrmAbout() override;

    static constexpr const char* Caption = "About Velmo Player V" VELMO_VERSION_SHORT;
    // Facts below the picture: the full version and the licence.
    static constexpr const char* Facts = "Version " VELMO_VERSION "\nLicence: GNU GPL v3 or later";
    static constexpr int ClientWidth = 645;
    static constexpr int ClientHeight = 313;
    static constexpr int SlideInterval = 2500;  // ms

    // The pages the links open.
    static constexpr const char* TessalyChannelUrl = "https://velmoplayer.github.io/channels/tessaly";
    static constexpr const char* QrtChannelUrl = "https://velmoplayer.github.io/channels/qrt";
    static constexpr const char* DonateUrl = "https://velmoplayer.github.io/donate";
    static constexpr const char* SiteUrl = "https://velmoplayer.github.io";
    static constexpr const char* TelegramUrl = "https://velmoplayer.github.io/telegram";
    static constexpr const char* FacebookUrl = "https://velmoplayer.github.io/facebook";

    // Index of the picture btnVelmo shows.
    int ImageIndex() const { return FImageIndex; }

    void FormCreate();
    void FormShow();
    void FormHide();
    void Timer1Timer();
    void btnVelmoClick();
    void btnCloseClick();
    void Label1Click();
    void Label2Click();
    void Label3Click();
    void Label4Click();
    void Label5Click();
    void Label6Click();

    QLabel* Label8 = nullptr;
    QToolButton* btnVelmo = nullptr;
    QLabel* lbAddCL = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* lblFacts = nullptr;
    QPushButton* btnClose = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ShowPicture(int index);
    void StepSlide();
    QLabel* CreateLink(const char* name, QRect bounds, const QString& text, unsigned color,
                       void (TfrmAbout::*handler)());

    int FImageIndex = 1;
    std::array<QPixmap, SlideCount> FPictures;  // each drawn once, when first shown
};

// The one About window of the running player (nullptr before it is created).
TfrmAbout* frmAbout();
