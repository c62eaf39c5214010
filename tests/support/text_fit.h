#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QRegion>
#include <QStatusBar>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>

namespace quorvane::testing {

// A caption as it is drawn: "&" marks the mnemonic and is not shown.
inline QString ShownCaption(const QString& caption) {
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
        }
        shown.append(caption[i]);
    }
    return shown;
}

// Whether a part of the widget is cut off by the edge of a widget it lies in.
inline bool CutByItsParents(const QWidget& widget) {
    return widget.visibleRegion().boundingRect() != widget.rect();
}

// The captions of the shown labels, buttons, tabs and status bars below `root`,
// and the cells of grids that show all their cells, that do not fit where they
// are drawn (and so are cut or elided), each with its widget's name.
inline QStringList ClippedCaptions(const QWidget& root) {
    QStringList clipped;
    const auto note = [&](const QWidget& widget, const QString& text, const char* why) {
        clipped.append(widget.objectName() + QStringLiteral(": \"") + text + QStringLiteral("\" ") +
                       QString::fromLatin1(why));
    };
    for (const QLabel* label : root.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty()) {
            continue;
        }
        const int margin = label->margin();
        const QRect area = label->contentsRect().adjusted(margin, margin, -margin, -margin);
        // A label with a buddy draws "&x" as an underlined x.
        const int flags = static_cast<int>(label->alignment()) |
                          (label->wordWrap() ? Qt::TextWordWrap : 0) |
                          (label->buddy() != nullptr ? Qt::TextShowMnemonic : 0);
        const QRect needed = label->fontMetrics().boundingRect(area, flags, label->text());
        if (needed.width() > area.width() || needed.height() > area.height()) {
            note(*label, label->text(), "does not fit its label");
        } else if (CutByItsParents(*label)) {
            note(*label, label->text(), "is cut by the page");
        }
    }
    for (const QAbstractButton* button : root.findChildren<QAbstractButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect area =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QString text = ShownCaption(button->text());
        const QFontMetrics metrics = button->fontMetrics();
        if (metrics.horizontalAdvance(text) > area.width() || metrics.height() > area.height()) {
            note(*button, text, "does not fit its button");
        } else if (CutByItsParents(*button)) {
            note(*button, text, "is cut by the page");
        }
    }
    for (const QTabBar* bar : root.findChildren<QTabBar*>()) {
        if (!bar->isVisible()) {
            continue;
        }
        const int padding = bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
        for (int i = 0; i < bar->count(); ++i) {
            const QString text = ShownCaption(bar->tabText(i));
            const QRect tab = bar->tabRect(i);
            if (bar->fontMetrics().horizontalAdvance(text) + padding > tab.width()) {
                note(*bar, text, "does not fit its tab");
            } else if (!bar->rect().contains(tab)) {
                note(*bar, text, "is off the tab bar");
            }
        }
    }
    for (const QStatusBar* bar : root.findChildren<QStatusBar*>()) {
        if (bar->isVisible() && bar->fontMetrics().horizontalAdvance(bar->currentMessage()) >
                                    bar->contentsRect().width()) {
            note(*bar, bar->currentMessage(), "does not fit the status bar");
        }
    }
    for (const QTableView* grid : root.findChildren<QTableView*>()) {
        if (!grid->isVisible() || grid->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff ||
            grid->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff) {
            continue;
        }
        const auto* delegate = qobject_cast<const QStyledItemDelegate*>(grid->itemDelegate());
        const int margin =
            grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        const QFontMetrics metrics(grid->font());
        for (int row = 0; row < grid->model()->rowCount(); ++row) {
            for (int column = 0; column < grid->model()->columnCount(); ++column) {
                const QModelIndex index = grid->model()->index(row, column);
                const QString text = delegate != nullptr
                                         ? delegate->displayText(index.data(), grid->locale())
                                         : index.data().toString();
                const QRect area = grid->visualRect(index).adjusted(margin, 0, -margin, 0);
                const QRect needed =
                    metrics.boundingRect(area, grid->wordWrap() ? Qt::TextWordWrap : 0, text);
                if (text.contains(QLatin1Char('\n')) || text.contains(QChar::LineSeparator) ||
                    needed.width() > area.width() || needed.height() > area.height()) {
                    note(*grid, text, "does not fit its cell on one line");
                } else if (!grid->viewport()->rect().contains(area)) {
                    note(*grid, text, "is outside the grid");
                }
            }
        }
    }
    return clipped;
}

// ClippedCaptions with each page of every tab widget in front in turn; the page
// in front before is brought back.
inline QStringList ClippedCaptionsOnEveryPage(QWidget& root) {
    QStringList clipped;
    for (QTabWidget* pages : root.findChildren<QTabWidget*>()) {
        const int front = pages->currentIndex();
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            QApplication::processEvents();
            for (const QString& caption : ClippedCaptions(root)) {
                if (!clipped.contains(caption)) {
                    clipped.append(caption);
                }
            }
        }
        pages->setCurrentIndex(front);
    }
    return clipped;
}

}  // namespace quorvane::testing
