#pragma once

#include <QDialog>

class Dataset;
class QFrame;
class QPushButton;
class QTableView;

// The colour table tblColor: the colours a dictionary entry may take.
// It writes no log lines and has no right of its own.
class TfrmColor : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmColor(QWidget *parent = nullptr);

    Dataset *dataset() const { return m_set; }
    QTableView *grid() const { return m_grid; }
    QFrame *swatch() const { return m_swatch; }
    QColor swatchColour() const;

    void FormShow();
    void BtnAddClick();
    void BtnDeleteClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void paintSwatch();
    void followDataset();

    Dataset *m_set;
    QTableView *m_grid;
    QFrame *m_swatch;
    bool m_syncing = false;
};
