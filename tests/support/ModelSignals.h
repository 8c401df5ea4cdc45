#pragma once
// What a table model told its views, as short lines in the order it said them: "rowsInserted
// 2-4", "dataChanged 1,2 1,2", "headerDataChanged V 2-2", "layoutChanged vertical" (a sort),
// "modelReset"... A test can then state the whole conversation, and that nothing else was said.
#include <QAbstractItemModel>
#include <QStringList>
#include <utility>

struct ModelSignals : QObject
{
    QStringList log;

    explicit ModelSignals(QAbstractItemModel *m)
    {
        const auto range = [this](const char *name) {
            return [this, name](const QModelIndex &, int first, int last) {
                log << QStringLiteral("%1 %2-%3").arg(QLatin1String(name)).arg(first).arg(last);
            };
        };
        const auto bare = [this](const char *name) { return [this, name] { log << QLatin1String(name); }; };
        connect(m, &QAbstractItemModel::rowsInserted, this, range("rowsInserted"));
        connect(m, &QAbstractItemModel::rowsRemoved, this, range("rowsRemoved"));
        connect(m, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &a, const QModelIndex &b) {
            log << QStringLiteral("dataChanged %1,%2 %3,%4").arg(a.row()).arg(a.column()).arg(b.row()).arg(b.column());
        });
        connect(m, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation o, int first, int last) {
            log << QStringLiteral("headerDataChanged %1 %2-%3")
                       .arg(o == Qt::Horizontal ? QLatin1Char('H') : QLatin1Char('V'))
                       .arg(first)
                       .arg(last);
        });
        const auto layout = [this](const char *name) {
            return [this, name](const QList<QPersistentModelIndex> &, QAbstractItemModel::LayoutChangeHint hint) {
                log << QLatin1String(name) + (hint == QAbstractItemModel::VerticalSortHint ? QStringLiteral(" vertical")
                                              : hint == QAbstractItemModel::HorizontalSortHint ? QStringLiteral(" horizontal")
                                                                                               : QString());
            };
        };
        connect(m, &QAbstractItemModel::layoutAboutToBeChanged, this, layout("layoutAboutToBeChanged"));
        connect(m, &QAbstractItemModel::layoutChanged, this, layout("layoutChanged"));
        connect(m, &QAbstractItemModel::modelAboutToBeReset, this, bare("modelAboutToBeReset"));
        connect(m, &QAbstractItemModel::modelReset, this, bare("modelReset"));
    }
    // The lines that name a signal of one kind ("rows", "layout", "Reset"...).
    QStringList of(const char *kind) const { return log.filter(QLatin1String(kind)); }
    // Everything said so far, forgotten.
    QStringList take() { return std::exchange(log, {}); }
};
