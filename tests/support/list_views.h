#pragma once

#include <QAbstractItemModel>
#include <QListView>
#include <QStringList>

namespace trovix::testing {

// What a list model shows, row by row, as a screen reader would read it.
inline QStringList shownRows(const QAbstractItemModel* model) {
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) {
        out << model->index(r, 0).data().toString();
    }
    return out;
}

inline QStringList shownRows(const QListView* view) {
    return shownRows(view->model());
}

}  // namespace trovix::testing
