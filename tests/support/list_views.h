#pragma once

#include <QAbstractItemModel>
#include <QListView>
#include <QStringList>

namespace trovix::testing {

// What a list view shows, row by row, read through its model as a screen reader would.
inline QStringList shownRows(const QListView* view) {
    QStringList out;
    const QAbstractItemModel* model = view->model();
    for (int r = 0; r < model->rowCount(); ++r) {
        out << model->index(r, 0).data().toString();
    }
    return out;
}

}  // namespace trovix::testing
