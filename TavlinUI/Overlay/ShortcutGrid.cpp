#include "TavlinUI/Overlay/ShortcutGrid.h"

#include "TavlinUI/Overlay/AccessibleScrollArea.h"
#include "TavlinUI/Overlay/GroupCard.h"
#include "TavlinUI/Overlay/LegendLine.h"
#include "TavlinUI/Overlay/OverlayStyle.h"
#include "TavlinUI/Overlay/PillButton.h"
#include "TavlinUI/Overlay/Separator.h"

#include <QCoreApplication>
#include <QEasingCurve>
#include <QHBoxLayout>
#include <QPropertyAnimation>
#include <QResizeEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

namespace tavlin {

namespace {

using Grid = OverlayStyle::Grid;

QString scrollBarStyle() {
    return QStringLiteral(R"(
QScrollBar:vertical { background: rgba(255, 255, 255, 8); width: %1px; margin: 0; border: none; }
QScrollBar::handle:vertical { background: rgba(255, 255, 255, 64); min-height: 28px;
                              border-radius: 3px; margin: 2px 2px 2px 2px; }
QScrollBar::handle:vertical:hover { background: rgba(255, 255, 255, 100); }
QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; border: none; background: none; }
QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }
)")
        .arg(Grid::scrollBarWidth);
}

} // namespace

ShortcutGrid::ShortcutGrid(const ShortcutOverlay& overlay, KeyText::Notation notation, QWidget* parent)
    : QWidget(parent), groups_(overlay.grouped()), notation_(notation) {
    setObjectName(QStringLiteral("shortcutGrid"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // A screen reader may read the scroll area while the overlay hides.
    AccessibleScrollArea::install();
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName(QStringLiteral("scrollArea"));
    scrollArea_->setFrameShape(QFrame::NoFrame);
    scrollArea_->setWidgetResizable(true);
    scrollArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scrollArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scrollArea_->verticalScrollBar()->setStyleSheet(scrollBarStyle());
    scrollArea_->viewport()->setAutoFillBackground(false);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("scrollContent"));
    content->setAutoFillBackground(false);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    topMarker_ = new QWidget(content);
    topMarker_->setObjectName(QStringLiteral("topMarker"));
    topMarker_->setFixedHeight(1);
    columnsRow_ = new QWidget(content);
    columnsRow_->setObjectName(QStringLiteral("columnsRow"));
    auto* row = new QHBoxLayout(columnsRow_);
    row->setContentsMargins(Grid::inset, Grid::inset, Grid::inset - Grid::scrollBarWidth, Grid::inset);
    row->setSpacing(Grid::columnGap);
    stack->addWidget(topMarker_);
    stack->addWidget(columnsRow_);
    stack->addStretch(1);
    scrollArea_->setWidget(content);

    auto* bottomBar = new QWidget(this);
    bottomBar->setObjectName(QStringLiteral("bottomBar"));
    auto* bar = new QHBoxLayout(bottomBar);
    bar->setContentsMargins(Grid::inset, Grid::barPadding, Grid::inset, Grid::barPadding);
    bar->setSpacing(Grid::barSpacing);
    // The legends of what the key caps still write as symbols.
    QStringList written;
    for (const ShortcutItem& row : overlay.shortcuts()) written.append(KeyText::write(row.keys(), notation));
    bar->addWidget(new LegendLine(KeyText::legendsFor(overlay.visibleKeyLegends(), written), bottomBar), 0,
                   Qt::AlignVCenter);
    bar->addStretch(1);
    auto* toTop = new PillButton(PillButton::Kind::bordered,
                                 QCoreApplication::translate("Overlay", "先頭へ"),
                                 Symbols::Symbol::arrowUp, bottomBar);
    toTop->setObjectName(QStringLiteral("backToTopButton"));
    toTop->setToolTip(QCoreApplication::translate("Overlay", "ショートカット一覧の先頭へ戻る"));
    connect(toTop, &QAbstractButton::clicked, this, [this] { scrollToTop(); });
    bar->addWidget(toTop, 0, Qt::AlignVCenter);

    auto* separator = new Separator(0.25, this);
    separator->setObjectName(QStringLiteral("gridSeparator"));
    layout->addWidget(scrollArea_, 1);
    layout->addWidget(separator);
    layout->addWidget(bottomBar);

    scrollAnimation_ = new QPropertyAnimation(scrollArea_->verticalScrollBar(), "value", this);
    scrollAnimation_->setDuration(Grid::backToTopMilliseconds);
    scrollAnimation_->setEasingCurve(QEasingCurve::OutCubic);
    // The columns come with the first size the grid gets: dealing them for the size of a
    // grid not yet laid out would only build every card twice.
}

void ShortcutGrid::buildColumns(int count) {
    columnCount_ = count;
    auto* row = static_cast<QHBoxLayout*>(columnsRow_->layout());
    // The cards already made are dealt again rather than made anew; the old columns go
    // once the new ones hold them.
    std::vector<QLayoutItem*> oldColumns;
    while (QLayoutItem* item = row->takeAt(0)) oldColumns.push_back(item);
    spare_.insert(spare_.end(), cards_.begin(), cards_.end());
    cards_.clear();
    for (int c = 0; c < count; ++c) {
        auto* column = new QWidget(columnsRow_);
        column->setObjectName(QStringLiteral("column%1").arg(c));
        column->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        auto* stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(Grid::cardGap);
        for (const GroupEntry& group : ShortcutOverlay::distribute(groups_, c, count))
            stack->addWidget(cardFor(group, column));
        stack->addStretch(1);
        row->addWidget(column, 1, Qt::AlignTop);
        // Shown now rather than at the next turn of the event loop, so that the
        // columns are in place as soon as the width has changed.
        if (columnsRow_->isVisible()) column->show();
    }
    // Spare cards left over first: some may still sit in an old column.
    for (GroupCard* card : spare_) delete card;
    spare_.clear();
    for (QLayoutItem* item : oldColumns) {
        delete item->widget();
        delete item;
    }
}

GroupCard* ShortcutGrid::cardFor(const GroupEntry& group, QWidget* column) {
    const auto spare = std::find_if(spare_.begin(), spare_.end(),
                                    [&](const GroupCard* card) { return card->shows(group, notation_); });
    GroupCard* card = nullptr;
    if (spare == spare_.end()) {
        card = new GroupCard(group, notation_, column);
    } else {
        card = *spare;
        spare_.erase(spare);
        card->setParent(column);
        card->show();
    }
    cards_.push_back(card);
    return card;
}

void ShortcutGrid::takeCardsOf(ShortcutGrid& other) {
    for (std::vector<GroupCard*>* cards : {&other.cards_, &other.spare_}) {
        for (GroupCard* card : *cards) {
            card->hide();
            card->setParent(this);
            spare_.push_back(card);
        }
        cards->clear();
    }
}

void ShortcutGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int count = ShortcutOverlay::columnCount(event->size().width());
    if (count != columnCount_) buildColumns(count);
}

void ShortcutGrid::jumpToTop() {
    scrollAnimation_->stop();
    scrollArea_->verticalScrollBar()->setValue(topMarker_->y());
}

void ShortcutGrid::scrollToTop() {
    QScrollBar* bar = scrollArea_->verticalScrollBar();
    const int target = topMarker_->y();
    scrollAnimation_->stop();
    if (bar->value() == target) return;
    scrollAnimation_->setStartValue(bar->value());
    scrollAnimation_->setEndValue(target);
    scrollAnimation_->start();
}

} // namespace tavlin
