// The About window's slideshow, pictures and links.

#include "RecordingShell.h"
#include "controls/uAbout.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <numeric>

namespace {
bool isPermutation(const std::array<int, SlideCount>& order) {
    std::array<int, SlideCount> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < SlideCount; ++i)
        if (sorted[i] != i)
            return false;
    return true;
}
}  // namespace

TEST(About, ShuffleIsAPermutationThatMovesEveryPlace) {
    std::array<int, SlideCount> order{};
    std::array<int, SlideCount> seenAt{};
    for (int round = 0; round < 200; ++round) {
        std::iota(order.begin(), order.end(), 0);
        ShuffleOrder(order, SlideCount - 1);
        ASSERT_TRUE(isPermutation(order));
        for (int i = 0; i < SlideCount; ++i)
            seenAt[i] |= order[i] != i;
    }
    // Over 200 shuffles each place, the first and the last too, got another picture.
    for (int i = 0; i < SlideCount; ++i)
        EXPECT_TRUE(seenAt[i]) << "place " << i;
}

TEST(About, FirstShowIsStepOneOfAFreshOrder) {
    TfrmAbout w;
    EXPECT_EQ(SlideIndex, 1);
    EXPECT_FALSE(w.Timer1->isActive());
    w.show();
    EXPECT_TRUE(isPermutation(SlideOrder));
    EXPECT_EQ(SlideIndex, 1);
    EXPECT_EQ(w.ImageIndex(), SlideOrder[1]);
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_EQ(w.Timer1->interval(), 2500);
}

TEST(About, TicksStepAndWrapAfterTheLastPicture) {
    TfrmAbout w;
    w.show();
    SlideIndex = 73;
    w.Timer1Timer();
    EXPECT_EQ(SlideIndex, 74);
    EXPECT_EQ(w.ImageIndex(), SlideOrder[74]);
    const auto order = SlideOrder;
    w.Timer1Timer();
    EXPECT_EQ(SlideIndex, 0);
    EXPECT_EQ(w.ImageIndex(), SlideOrder[0]);
    EXPECT_EQ(SlideOrder, order) << "the same order goes on";
}

TEST(About, ClickReshufflesStepsAndRestartsTheInterval) {
    TfrmAbout w;
    w.show();
    SlideIndex = 10;
    const auto before = SlideOrder;
    QTest::qWait(600);
    const int remainingBefore = w.Timer1->remainingTime();
    w.btnVelmo->click();
    EXPECT_EQ(SlideIndex, 11);
    EXPECT_EQ(w.ImageIndex(), SlideOrder[11]);
    EXPECT_NE(SlideOrder, before) << "a new order (equal by chance once in 75!)";
    EXPECT_TRUE(isPermutation(SlideOrder));
    EXPECT_TRUE(w.Timer1->isActive());
    EXPECT_GT(w.Timer1->remainingTime(), remainingBefore + 400)
        << "the next change is a full interval after the click";
}

TEST(About, HiddenWindowGetsNoTicksAndKeepsItsStep) {
    TfrmAbout w;
    w.show();
    SlideIndex = 40;
    w.btnClose->click();
    EXPECT_FALSE(w.isVisible());
    EXPECT_FALSE(w.Timer1->isActive());
    w.show();
    EXPECT_EQ(SlideIndex, 40);
    EXPECT_EQ(w.ImageIndex(), SlideOrder[40]);
    EXPECT_TRUE(w.Timer1->isActive());
    w.close();
    EXPECT_FALSE(w.Timer1->isActive()) << "the close box hides as well";
}

TEST(About, PicturesAre75DistinctOf256By170WithTransparentCorners) {
    QSet<qint64> keys;
    for (int i = 0; i < SlideCount; ++i) {
        const QImage image = SlidePicture(i).toImage();
        ASSERT_EQ(image.size(), QSize(256, 170));
        EXPECT_TRUE(image.hasAlphaChannel());
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(128, 85)), 255);
        keys.insert(qHash(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes())));
    }
    EXPECT_EQ(keys.size(), SlideCount);
}

TEST(About, LinksOpenTheirPages) {
    RecordingShell shell;
    TfrmAbout w;
    w.show();
    for (QLabel* link : {w.Label1, w.Label2, w.Label3, w.Label4, w.Label5, w.Label6})
        QTest::mouseClick(link, Qt::LeftButton);
    EXPECT_EQ(shell.urls, (QStringList{TfrmAbout::TessalyChannelUrl, TfrmAbout::QrtChannelUrl,
                                       TfrmAbout::DonateUrl, TfrmAbout::SiteUrl,
                                       TfrmAbout::TelegramUrl, TfrmAbout::FacebookUrl}));
    EXPECT_TRUE(w.Label4->text().endsWith(" @ velmoplayer.github.io"));
}

TEST(About, FactsShowTheVersionAndLicenceWithoutCoveringAnotherControl) {
    TfrmAbout w;
    w.show();
    EXPECT_TRUE(w.windowTitle().startsWith("About Velmo Player V"));
    EXPECT_TRUE(w.lblFacts->text().contains(QLatin1String(VELMO_VERSION)));
    EXPECT_TRUE(w.lblFacts->text().contains("GPL v3 or later"));
    // The whole text is shown: the label is as large as its text needs.
    const QRect facts = w.lblFacts->geometry();
    EXPECT_GE(facts.width(), w.lblFacts->sizeHint().width());
    EXPECT_GE(facts.height(), w.lblFacts->sizeHint().height());
    EXPECT_TRUE(w.rect().contains(facts));
    for (QWidget* other : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != w.lblFacts) {
            EXPECT_FALSE(other->geometry().intersects(facts)) << other->objectName().toStdString();
        }
    }
}
