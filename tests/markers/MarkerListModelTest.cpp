#include "timeline/MarkerListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>

namespace {

QString cell(const MarkerListModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

TEST(MarkerListModel, RowsShowNumberTimeCodeAndDescription) {
    MarkerListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.rebuild({{83.456, QStringLiteral("Intro")}, {3725.5, QString()}});

    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 3);
    EXPECT_EQ(cell(model, 0, MarkerListModel::ColNumber), "1");
    EXPECT_EQ(cell(model, 0, MarkerListModel::ColTimeCode), "00:01:23.456");
    EXPECT_EQ(cell(model, 0, MarkerListModel::ColDescription), "Intro");
    EXPECT_EQ(cell(model, 1, MarkerListModel::ColNumber), "2");
    EXPECT_EQ(cell(model, 1, MarkerListModel::ColTimeCode), "01:02:05.500");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "#");
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Time Code");
    EXPECT_EQ(model.headerData(2, Qt::Horizontal).toString(), "Marker Description");
}

TEST(MarkerListModel, RemovingTheMiddleRowKeepsTheOtherNumbers) {
    MarkerListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.rebuild({{1.0, "a"}, {2.0, "b"}, {3.0, "c"}});
    model.removeRowAt(1);
    ASSERT_EQ(model.rowCount(), 2);
    EXPECT_EQ(cell(model, 0, MarkerListModel::ColNumber), "1");
    EXPECT_EQ(cell(model, 1, MarkerListModel::ColNumber), "3");
    model.setDescription(1, "changed");
    EXPECT_EQ(cell(model, 1, MarkerListModel::ColDescription), "changed");
    model.clear();
    EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
