#pragma once

#include <QAbstractListModel>

#include "lists/result_list.h"

namespace trovix::widgets {

// Presents a core result list to a QListView. Rows are read from the core list on demand, so a
// list of a million records costs the view nothing until rows are painted.
class ResultListModel : public QAbstractListModel, public lists::ResultListObserver {
    Q_OBJECT
  public:
    explicit ResultListModel(lists::ResultList& list, QObject* parent = nullptr);
    ~ResultListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // A view that lays a list out asks for every row's index: answered without the calls the
    // base class makes for each, which a list of millions of rows would feel.
    QModelIndex index(int row, int column = 0,
                      const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    lists::ResultList& list() { return list_; }

  Q_SIGNALS:
    // Around every change of rows: the view's selection model moves its current row by itself
    // meanwhile, which is no user's doing.
    void coreRowsChanging();
    void coreRowsChanged();
    void coreSelectionChanged();
    void coreAppearanceChanged();

  private:
    void rowsAboutToBeReset() override;
    void rowsReset() override;
    void rowsAboutToBeInserted(int first, int count) override;
    void rowsInserted(int first, int count) override;
    void rowsAboutToBeRemoved(int first, int count) override;
    void rowsRemoved(int first, int count) override;
    void rowTextChanged(int row) override;
    void selectionChanged() override;
    void appearanceChanged() override;

    lists::ResultList& list_;
    // The row count the views were told of: while an Update rebuilds the core list, its count
    // moves ahead of it until the reset ends.
    int count_ = 0;
};

}  // namespace trovix::widgets
