// TForm1: the marker list view lvMarkers, its menu pmMarkers and the marker
// buttons of the panels pnMarkers and Panel2.

#include "mainwindow/uMain.h"

#include "controls/ButtonImages.h"
#include "controls/StyleImages.h"
#include "platform/TColor.h"
#include "settings/LangTexts.h"
#include "timeline/MarkerListModel.h"
#include "timeline/MarkerModel.h"

#include <QAction>
#include <QEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

const QColor kListText(243, 254, 209);
constexpr int kListFontPoints = 11;  // until the MarkersFontSize setting is applied

// The buttons with image and caption in Panel2.
constexpr int kCaptionButtonIcon = 20;
constexpr int kCaptionButtonFontPixels = 14;

// Narrowest widths of the three columns; the description fills the rest.
constexpr int kMinColumnWidth[MarkerListModel::ColumnCount] = {50, 120, 200};

// The list keeps every row one line of its font high, also after the
// MarkersFontSize setting changes the font, so 10,000 rows cost no measuring.
class MarkerTableView : public QTableView {
public:
    using QTableView::QTableView;

    void fitRowHeightToFont() {
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    }

    // Enter and F2 open the editor for the selected marker.
    std::function<void()> onEditKey;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
        const int key = event->key();
        if (plain && onEditKey && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
            onEditKey();
            return;
        }
        QTableView::keyPressEvent(event);
    }

    void changeEvent(QEvent* event) override {
        QTableView::changeEvent(event);
        if (event->type() == QEvent::FontChange)
            fitRowHeightToFont();
    }
};

}  // namespace

void TForm1::CreateMarkerControls(QWidget* markersPanel, QWidget* panel2) {
    CreateMarkerButtons(markersPanel, panel2);
    CreateMarkerListView();
    CreateMarkerListMenu();
    CreateUndoItems();
}

void TForm1::CreateMarkerButtons(QWidget* markersPanel, QWidget* panel2) {
    if (!markersPanel)
        markersPanel = this;
    if (!panel2)
        panel2 = this;
    btnPreviousMarker = MakeFlatButton(markersPanel, "btnPreviousMarker", ButtonGlyph::PreviousMarker,
                                       uLang::Form1_btnPreviousMarker_hint,
                                       QRect(3, 5, 31, 28));
    btnNextMarker = MakeFlatButton(markersPanel, "btnNextMarker", ButtonGlyph::NextMarker,
                                   uLang::Form1_btnNextMarker_hint,
                                   QRect(39, 5, 31, 28));
    btnAddMarker = MakeFlatButton(markersPanel, "btnAddMarker", ButtonGlyph::AddMarker,
                                  uLang::Form1_btnAddMarker_hint,
                                  QRect(76, 6, 31, 28));
    btnDeleteMarker = MakeFlatButton(markersPanel, "btnDeleteMarker", ButtonGlyph::DeleteMarker,
                                     uLang::Form1_btnDeleteMarker_hint,
                                     QRect(110, 6, 31, 28));
    btnEditMarker = MakeFlatButton(panel2, "btnEditMarker", ButtonGlyph::Edit,
                                   uLang::Form1_btnEditMarker_hint, QRect(1, 5, 72, 31));
    btmDeleteLvMarker = MakeFlatButton(panel2, "btmDeleteLvMarker", ButtonGlyph::Delete,
                                       uLang::Form1_btmDeleteLvMarker_hint, QRect(81, 4, 85, 31));
    // Image and caption side by side; the caption's font is sized so that
    // "Edit..." and "Delete..." fit their design widths whole.
    for (auto [button, caption] : {std::pair{btnEditMarker, QStringLiteral("Edit...")},
                                   std::pair{btmDeleteLvMarker, QStringLiteral("Delete...")}}) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setIconSize(QSize(kCaptionButtonIcon, kCaptionButtonIcon));
        QFont captionFont = button->font();
        captionFont.setPixelSize(kCaptionButtonFontPixels);
        button->setFont(captionFont);
    }

    connect(btnPreviousMarker, &QToolButton::clicked, this, [this] { btnPreviousMarkerClick(); });
    connect(btnNextMarker, &QToolButton::clicked, this, [this] { btnNextMarkerClick(); });
    connect(btnAddMarker, &QToolButton::clicked, this, [this] { btnAddMarkerClick(); });
    connect(btnDeleteMarker, &QToolButton::clicked, this, [this] { btnDeleteMarkerClick(); });
    connect(btnEditMarker, &QToolButton::clicked, this, [this] { btnEditMarkerClick(); });
    connect(btmDeleteLvMarker, &QToolButton::clicked, this, [this] { btmDeleteLvMarkerClick(); });
}

void TForm1::CreateMarkerListView() {
    lvMarkersRows = new MarkerListModel(this);
    auto* view = new MarkerTableView(this);
    lvMarkers = view;
    lvMarkers->setObjectName(QStringLiteral("lvMarkers"));
    lvMarkers->setGeometry(2, 194, 883, 172);
    lvMarkers->setModel(lvMarkersRows);
    lvMarkers->setToolTip(uLang::Form1_lvMarkers_hint);
    lvMarkers->setShowGrid(true);
    lvMarkers->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMarkers->setSelectionMode(QAbstractItemView::SingleSelection);
    lvMarkers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMarkers->setFocusPolicy(Qt::ClickFocus);  // not a tab stop
    lvMarkers->setWordWrap(false);
    lvMarkers->setCornerButtonEnabled(false);

    QFont font = lvMarkers->font();
    font.setPointSize(kListFontPoints);
    lvMarkers->setFont(font);
    QPalette pal = lvMarkers->palette();
    pal.setColor(QPalette::Base, ToQColor(clDarkBackground));
    pal.setColor(QPalette::Window, ToQColor(clDarkBackground));
    pal.setColor(QPalette::Text, kListText);
    // The selection stays as visible without the focus as with it.
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        pal.setColor(QPalette::Inactive, role, pal.color(QPalette::Active, role));
    lvMarkers->setPalette(pal);

    QHeaderView* rows = lvMarkers->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    view->fitRowHeightToFont();

    QHeaderView* columns = lvMarkers->horizontalHeader();
    columns->setMinimumSectionSize(kMinColumnWidth[MarkerListModel::ColNumber]);
    columns->setStretchLastSection(true);
    columns->setHighlightSections(false);
    columns->resizeSection(MarkerListModel::ColNumber, 50);
    columns->resizeSection(MarkerListModel::ColTimeCode, 130);
    connect(columns, &QHeaderView::sectionResized, this, [columns](int section, int, int width) {
        if (section >= 0 && section < MarkerListModel::ColumnCount && width < kMinColumnWidth[section])
            columns->resizeSection(section, kMinColumnWidth[section]);
    });

    connect(lvMarkers, &QTableView::doubleClicked, this, [this] { lvMarkersDblClick(); });
    view->onEditKey = [this] { btnEditMarkerClick(); };
}

void TForm1::CreateMarkerListMenu() {
    pmMarkers = new QMenu(this);
    pmMarkers->setObjectName(QStringLiteral("pmMarkers"));
    miEditMarker = pmMarkers->addAction(StyleImage(QStyle::SP_FileDialogDetailedView),
                                        uLang::miEditMarker_caption);
    miEditMarker->setObjectName(QStringLiteral("miEditMarker"));
    miJump = pmMarkers->addAction(StyleImage(QStyle::SP_ArrowRight),
                                  uLang::miJump_caption);
    miJump->setObjectName(QStringLiteral("miJump"));
    miDelete = pmMarkers->addAction(StyleImage(QStyle::SP_DialogDiscardButton),
                                    uLang::miDelete_caption);
    miDelete->setObjectName(QStringLiteral("miDelete"));
    N3 = pmMarkers->addSeparator();
    N3->setObjectName(QStringLiteral("N3"));
    miClearMarkersList = pmMarkers->addAction(StyleImage(QStyle::SP_TrashIcon),
                                              uLang::miClearMarkersList_caption);
    miClearMarkersList->setObjectName(QStringLiteral("miClearMarkersList"));
    AddMarkerExchangeItems(pmMarkers);

    connect(miEditMarker, &QAction::triggered, this, [this] { btnEditMarkerClick(); });
    connect(miJump, &QAction::triggered, this, [this] { lvMarkersDblClick(); });
    // The list menu's delete acts on the marker nearest to the play position,
    // not on the selected row.
    connect(miDelete, &QAction::triggered, this, [this] { btnDeleteMarkerClick(); });
    connect(miClearMarkersList, &QAction::triggered, this, [this] { miDeleteAllMarkersClick(); });

    lvMarkers->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(lvMarkers, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        pmMarkers->popup(lvMarkers->viewport()->mapToGlobal(at));
    });
}

int TForm1::SelectedMarkerRow() const {
    if (!lvMarkers)
        return -1;
    const QModelIndexList selected = lvMarkers->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TForm1::RefreshMarkerList() {
    ::SortMarkersByTime(FMarkers);
    if (!lvMarkers)
        return;
    const int selected = SelectedMarkerRow();
    lvMarkers->setUpdatesEnabled(false);
    lvMarkersRows->rebuild(FMarkers);
    lvMarkers->setUpdatesEnabled(true);
    if (selected >= 0 && selected < lvMarkersRows->rowCount())
        lvMarkers->selectionModel()->select(
            lvMarkersRows->index(selected, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TForm1::SelectMarkerInList(int Index) {
    if (!lvMarkers || Index < 0 || Index >= lvMarkersRows->rowCount())
        return;
    lvMarkers->setFocus();
    const QModelIndex row = lvMarkersRows->index(Index, 0);
    lvMarkers->selectionModel()->setCurrentIndex(
        row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    lvMarkers->scrollTo(row, QAbstractItemView::EnsureVisible);
}
