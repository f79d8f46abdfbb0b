#pragma once

#include <QDialog>

class DataGrid;
class Dataset;
class QFrame;

// The colour table tblColor: the colours a dictionary entry may take.
// It writes no log lines and has no right of its own.
class TfrmColor : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmColor(QWidget *parent = nullptr);

    Dataset *dataset() const { return m_set; }
    DataGrid *grid() const { return m_grid; }
    QFrame *swatch() const { return m_swatch; }
    QColor swatchColour() const;

    void FormShow();
    void BtnAddClick();
    void BtnDeleteClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void paintSwatch();

    Dataset *m_set;
    DataGrid *m_grid;
    QFrame *m_swatch;
};
