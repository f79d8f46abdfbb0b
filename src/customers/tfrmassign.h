#pragma once

#include <QDialog>

class QComboBox;
class QListWidget;
class QPushButton;

// "客户业务工作分配": a system user hands customers (with their contacts)
// or contracts from one user to another. "刷    新" lists the source
// user's codes through the shared customer or contract list set (whose
// filter stays on it, as the list module shows until it is opened again),
// the arrows choose codes, "确认分配" gives the chosen ones to the target.
class TfrmAssign : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAssign(QWidget *parent = nullptr);

    QComboBox *kindBox() const { return m_kind; }
    QComboBox *sourceBox() const { return m_source; }
    QComboBox *targetBox() const { return m_target; }
    QListWidget *leftList() const { return m_left; }
    QListWidget *rightList() const { return m_right; }

    void BtnRefreshClick(); // "刷    新"
    void BtnAssignClick();  // "确认分配"
    void BtnAllRightClick(); // ">>"
    void BtnRightClick();    // ">"
    void BtnAllLeftClick();  // "<<"
    void BtnLeftClick();     // "<"

private:
    void fillUsers();
    static void moveOne(QListWidget *from, QListWidget *to);
    static void moveAll(QListWidget *from, QListWidget *to);

    QComboBox *m_kind, *m_source, *m_target;
    QListWidget *m_left, *m_right;
};
