#pragma once

#include <QDialog>
#include <QHash>
#include <QString>
#include <QVector>

class QCheckBox;
class QLabel;

// Rights of one user: a box per right code on six pages, with the
// operation flags the module windows obey.
class TfrmRight : public QDialog
{
    Q_OBJECT
public:
    enum Flag { Insert, Modify, Delete, Query, Print, FlagCount };

    explicit TfrmRight(const QString &userId, QWidget *parent = nullptr);

    QCheckBox *rightBox(const QString &code) const;
    QCheckBox *operationBox(const QString &code, Flag flag) const; // nullptr when not offered
    QCheckBox *selectAllBox(int page) const;
    QLabel *userIdLabel() const { return m_userIdLabel; }
    QLabel *userNameLabel() const { return m_userNameLabel; }

    void FormShow();
    void BtnSaveClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct RightBoxes {
        QCheckBox *right = nullptr;
        QCheckBox *ops[FlagCount] = {};
        bool inSelectAll = true;
    };

    QWidget *buildPage(int page);
    void selectAll(int page, bool on);
    QString saveRights();

    QString m_userId;
    bool m_sys = false;
    bool m_loaded = false;
    QString m_readError; // why the stored rights could not be shown
    QLabel *m_userIdLabel;
    QLabel *m_userNameLabel;
    QHash<QString, RightBoxes> m_boxes;
    QVector<QStringList> m_pageCodes;
    QVector<QCheckBox *> m_selectAll;
};
