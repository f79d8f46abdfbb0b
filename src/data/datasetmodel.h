#pragma once

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>

class Dataset;

// A grid's view of a dataset. Rows are read from the dataset only when the
// grid paints them, so a large table shows at once.
class DatasetModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        QString field;
        QString caption;
    };

    explicit DatasetModel(Dataset *dataset, QObject *parent = nullptr);

    // The grid's columns in order; all fields of the set when none are given.
    void setColumns(const QVector<Column> &columns);
    const QVector<Column> &columns() const { return m_columns; }
    QString fieldAt(int column) const;
    int columnOf(const QString &field) const;
    Dataset *dataset() const { return m_dataset; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;

private:
    void reset();
    bool isNumeric(const QString &field, int row) const;

    QPointer<Dataset> m_dataset;
    QVector<Column> m_columns;
    bool m_autoColumns = true;
    int m_count = 0;
    bool m_busy = false;
};
