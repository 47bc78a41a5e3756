#include "controls/uAbout.h"

#include "platform/FileHelpers.h"
#include "platform/TColor.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <functional>
#include <numeric>
#include <random>

int SlideIndex = 1;
std::array<int, SlideCount> SlideOrder = [] {
    std::array<int, SlideCount> order{};
    std::iota(order.begin(), order.end(), 0);
    return order;
}();

void ShuffleOrder(std::array<int, SlideCount>& A, int n) {
    std::mt19937 generator(static_cast<unsigned>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count()));
    for (int i = n; i >= 1; --i) {
        std::uniform_int_distribution<int> pick(0, i);
        std::swap(A[i], A[pick(generator)]);
    }
}

namespace {

TfrmAbout* g_frmAbout = nullptr;

QFont pixelFont(int pixels, bool bold = false, bool italic = false, bool underline = false) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

// The desktop's font stands for Segoe UI and is often wider: a label grows to
// the right to show its whole text, never below its design width.
void FitWidthToText(QLabel* label) {
    label->resize(std::max(label->width(), label->sizeHint().width()), label->height());
}

// A label that runs a handler when clicked.
class ClickLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && onClick)
            onClick();
    }
};

// A sitting cat seen from behind, its tail curled to one side.
void drawCat(QPainter& p, QPointF base, double scale, const QColor& fur, bool tailLeft) {
    p.save();
    p.translate(base);
    p.scale(scale, scale);
    p.setPen(Qt::NoPen);
    p.setBrush(fur);
    p.drawEllipse(QRectF(-30, -60, 60, 62));  // body
    p.drawEllipse(QRectF(-20, -92, 40, 36));  // head
    QPainterPath ears;
    ears.moveTo(-18, -80);
    ears.lineTo(-14, -102);
    ears.lineTo(-4, -88);
    ears.moveTo(18, -80);
    ears.lineTo(14, -102);
    ears.lineTo(4, -88);
    p.drawPath(ears);
    QPen tail(fur, 8, Qt::SolidLine, Qt::RoundCap);
    p.setPen(tail);
    p.setBrush(Qt::NoBrush);
    const double side = tailLeft ? -1 : 1;
    QPainterPath curl;
    curl.moveTo(side * 20, -4);
    curl.cubicTo(side * 55, 0, side * 60, -30, side * 42, -44);
    p.drawPath(curl);
    p.restore();
}

}  // namespace

QPixmap SlidePicture(int index) {
    // Every picture is a small night or day scene: a sky whose colour walks
    // round the colour wheel, a moon or sun, hills and one or two cats.
    QImage image(256, 170, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    std::mt19937 rng(static_cast<unsigned>(index) * 2654435761u + 17u);
    auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };

    const int hue = (index * 360 / SlideCount + 200) % 360;
    const bool night = index % 3 == 0;
    QLinearGradient sky(0, 0, 0, 170);
    sky.setColorAt(0, QColor::fromHsv(hue, night ? 160 : 90, night ? 70 : 235));
    sky.setColorAt(1, QColor::fromHsv((hue + 40) % 360, night ? 120 : 60, night ? 120 : 255));
    // Rounded corners outside stay transparent: the picture's mask.
    QPainterPath frame;
    frame.addRoundedRect(QRectF(0, 0, 256, 170), 12, 12);
    p.fillPath(frame, sky);
    p.setClipPath(frame);

    p.setPen(Qt::NoPen);
    p.setBrush(night ? QColor(245, 240, 210) : QColor(255, 214, 90));
    p.drawEllipse(QPointF(uniform(30, 226), uniform(22, 50)), night ? 14 : 18, night ? 14 : 18);
    if (night) {
        p.setBrush(QColor(255, 255, 255, 200));
        for (int star = 0; star < 14; ++star)
            p.drawEllipse(QPointF(uniform(0, 256), uniform(0, 90)), 1.2, 1.2);
    }
    for (int layer = 0; layer < 2; ++layer) {
        QPainterPath hills;
        hills.moveTo(0, 170);
        const double height = 110 + layer * 22;
        hills.lineTo(0, height + uniform(-12, 12));
        for (int x = 32; x <= 256; x += 32)
            hills.quadTo(x - 16, height + uniform(-22, 10), x, height + uniform(-12, 12));
        hills.lineTo(256, 170);
        hills.closeSubpath();
        p.setBrush(QColor::fromHsv((hue + 120 + layer * 20) % 360, 90, night ? 60 - layer * 15 : 150 - layer * 40));
        p.drawPath(hills);
    }
    const QColor furs[] = {QColor(70, 70, 78), QColor(210, 140, 60), QColor(30, 30, 30),
                           QColor(235, 235, 235), QColor(150, 150, 160)};
    drawCat(p, QPointF(uniform(60, 200), 160), uniform(0.8, 1.15), furs[index % 5], index % 2 == 0);
    if (index % 4 == 1)
        drawCat(p, QPointF(uniform(20, 60), 164), 0.55, furs[(index + 2) % 5], true);

    p.setClipping(false);
    p.setPen(QColor(255, 255, 255, 190));
    p.setFont(pixelFont(11, true));
    p.drawText(QRectF(0, 150, 248, 18), Qt::AlignRight | Qt::AlignVCenter, QString::number(index + 1));
    p.end();
    return QPixmap::fromImage(image);
}

TfrmAbout* frmAbout() { return g_frmAbout; }

TfrmAbout::TfrmAbout(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString::fromLatin1(Caption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientWidth, ClientHeight);
    setFont(pixelFont(12));
    // Closing the main window ends the program, also while this one is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    Label8 = new QLabel(QStringLiteral("For Velmo, the grey cat who sat beside\n"
                                       "every evening of work on this player,\n"
                                       "chased the play head across the screen\n"
                                       "and gave the program its name."),
                        this);
    Label8->setObjectName(QStringLiteral("Label8"));
    Label8->setGeometry(9, 9, 343, 80);
    Label8->setFont(pixelFont(15));
    Label8->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    btnVelmo = new QToolButton(this);
    btnVelmo->setObjectName(QStringLiteral("btnVelmo"));
    btnVelmo->setGeometry(373, 9, 272, 180);
    btnVelmo->setAutoRaise(true);
    btnVelmo->setIconSize(QSize(256, 170));
    btnVelmo->setCursor(Qt::PointingHandCursor);
    connect(btnVelmo, &QToolButton::clicked, this, &TfrmAbout::btnVelmoClick);

    lbAddCL = new QLabel(QStringLiteral("OUR YOUTUBE CHANNELS:"), this);
    lbAddCL->setObjectName(QStringLiteral("lbAddCL"));
    lbAddCL->setGeometry(8, 109, 192, 20);
    lbAddCL->setFont(pixelFont(15, true));
    FitWidthToText(lbAddCL);

    const unsigned blue = 0xFFCCCC;
    const unsigned green = 0x80FF80;
    Label1 = CreateLink("Label1", QRect(8, 135, 168, 20), QStringLiteral("Tessaly Channel"), blue,
                        &TfrmAbout::Label1Click);
    Label2 = CreateLink("Label2", QRect(8, 161, 175, 20), QStringLiteral("QRT Electronics Channel"),
                        blue, &TfrmAbout::Label2Click);
    Label3 = CreateLink("Label3", QRect(8, 192, 215, 20),
                        QStringLiteral("Donate for Velmo's treat Here..."), green, &TfrmAbout::Label3Click);
    Label4 = CreateLink("Label4", QRect(8, 225, 305, 20),
                        QStringLiteral("Velmo Player Site @ velmoplayer.github.io"), blue,
                        &TfrmAbout::Label4Click);
    Label5 = CreateLink("Label5", QRect(8, 252, 131, 20), QStringLiteral("Telegram Channel"), blue,
                        &TfrmAbout::Label5Click);
    Label6 = CreateLink("Label6", QRect(8, 278, 106, 20), QStringLiteral("Facebook page"), blue,
                        &TfrmAbout::Label6Click);

    Label7 = new QLabel(QStringLiteral("2026, Tartu, by the window"), this);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->setGeometry(189, 280, 216, 20);
    Label7->setFont(pixelFont(15, true));
    FitWidthToText(Label7);

    lblFacts = new QLabel(QString::fromLatin1(Facts), this);
    lblFacts->setObjectName(QStringLiteral("lblFacts"));
    lblFacts->setGeometry(373, 196, 264, 36);
    lblFacts->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(547, 271, 89, 31);
    btnClose->setFont(pixelFont(15));
    connect(btnClose, &QPushButton::clicked, this, &TfrmAbout::btnCloseClick);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(SlideInterval);
    connect(Timer1, &QTimer::timeout, this, &TfrmAbout::Timer1Timer);

    ShowPicture(1);

    FormCreate();
    g_frmAbout = this;
}

TfrmAbout::~TfrmAbout() {
    if (g_frmAbout == this)
        g_frmAbout = nullptr;
}

QLabel* TfrmAbout::CreateLink(const char* name, QRect bounds, const QString& text, unsigned color,
                              void (TfrmAbout::*handler)()) {
    auto* label = new ClickLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(bounds);
    label->setFont(pixelFont(15, true, true, true));
    label->setCursor(Qt::PointingHandCursor);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, ToQColor(color));
    label->setPalette(palette);
    label->onClick = [this, handler] { (this->*handler)(); };
    FitWidthToText(label);
    return label;
}

void TfrmAbout::FormCreate() {
    // The dark look of the player's windows; the title bar belongs to the
    // window manager.
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, ToQColor(clDarkBackground));
    palette.setColor(QPalette::WindowText, Qt::white);
    palette.setColor(QPalette::ButtonText, Qt::white);
    palette.setColor(QPalette::Button, ToQColor(clDarkBackground));
    setPalette(palette);
    setAutoFillBackground(true);
    SlideIndex = 1;
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmAbout::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        FormHide();
}

void TfrmAbout::FormShow() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    std::iota(SlideOrder.begin(), SlideOrder.end(), 0);
    ShuffleOrder(SlideOrder, SlideCount - 1);
    ShowPicture(SlideOrder[SlideIndex]);
    Timer1->start();
}

void TfrmAbout::FormHide() { Timer1->stop(); }

void TfrmAbout::StepSlide() {
    ++SlideIndex;
    if (SlideIndex > SlideCount - 1)
        SlideIndex = 0;
    ShowPicture(SlideOrder[SlideIndex]);
}

void TfrmAbout::Timer1Timer() { StepSlide(); }

void TfrmAbout::btnVelmoClick() {
    Timer1->stop();
    ShuffleOrder(SlideOrder, SlideCount - 1);
    StepSlide();
    Timer1->start();  // a fresh interval from the click
}

void TfrmAbout::btnCloseClick() { close(); }

void TfrmAbout::ShowPicture(int index) {
    FImageIndex = index;
    // Drawn when first shown: drawing all 75 would hold up the player's start.
    if (FPictures[index].isNull())
        FPictures[index] = SlidePicture(index);
    btnVelmo->setIcon(QIcon(FPictures[index]));
}

void TfrmAbout::Label1Click() { OpenUrl(QLatin1String(TessalyChannelUrl)); }
void TfrmAbout::Label2Click() { OpenUrl(QLatin1String(QrtChannelUrl)); }
void TfrmAbout::Label3Click() { OpenUrl(QLatin1String(DonateUrl)); }
void TfrmAbout::Label4Click() { OpenUrl(QLatin1String(SiteUrl)); }
void TfrmAbout::Label5Click() { OpenUrl(QLatin1String(TelegramUrl)); }
void TfrmAbout::Label6Click() { OpenUrl(QLatin1String(FacebookUrl)); }
