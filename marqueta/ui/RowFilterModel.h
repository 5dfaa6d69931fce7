#pragma once
// Narrows the rows shown to those where any field contains the find text, case folded. Only
// what the list shows changes: the rows underneath, their order and their numbers stay whole.
#include <QSortFilterProxyModel>
#include <QString>

class RowFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit RowFilterModel(QObject* parent = nullptr);

    // An empty text shows every row.
    void setFindText(const QString& text);
    const QString& findText() const { return findText_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString findText_;
};
