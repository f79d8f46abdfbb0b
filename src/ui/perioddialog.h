#pragma once

#include <QDate>
#include <QDialog>
#include <QVector>

#include <functional>

class DateEdit;

// Every "from … to …" query of the program: the group "按起止时间查询："
// with "起始时间：" and "截止时间：" (neither may be emptied), and from the
// top of the column beside it the window's own commands, "确定" and
// "取消". "确定" hands both days to apply, which narrows what its window
// shows and says itself why it could not; the dialog closes when it could.
class PeriodDialog : public QDialog
{
    Q_OBJECT
public:
    using Apply = std::function<bool(const QDate &from, const QDate &to)>;
    struct Command {
        QString name;    // object name: "BtnAll"
        QString caption; // "查询全部"
        std::function<bool()> run; // true closes the dialog
    };
    PeriodDialog(const QString &objectName, const QString &title, const QDate &from, const QDate &to, Apply apply,
                 QWidget *parent, const QVector<Command> &commands = {});

    DateEdit *startDate() const { return m_start; }
    DateEdit *endDate() const { return m_end; }
    void BtnOkClick(); // "确定"

private:
    Apply m_apply;
    DateEdit *m_start, *m_end;
};
