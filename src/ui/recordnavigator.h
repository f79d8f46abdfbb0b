#pragma once

#include "ui/form.h"

#include <QObject>
#include <QString>
#include <QVector>

class Dataset;
class QAction;
class QBoxLayout;
class QToolBar;
class QWidget;

enum class RecordMove { First, Prior, Next, Last };

// The one rule of every record navigator (first, prior, next, last). A
// row in hand is left as any move in the set leaves it: stored without
// the save checks, except a new row with nothing typed in the form's
// fields, which is given up rather than stored empty. A refusal is shown
// in the set's words and the cursor stays on the row to mend. A move past
// either end stays where it is. False when the cursor did not move.
bool moveRecord(Dataset *set, RecordMove move, const FormSpec &form);

// The navigator is of use while the set holds rows to move among.
bool navigatorEnabled(const Dataset *set);

// The four commands of a navigator over one set, as actions a tool bar
// shows as text or tool buttons beside a form show as icons. The owner
// tells it when to look at the set again (update) and hears of each move.
class RecordNavigator : public QObject
{
    Q_OBJECT
public:
    RecordNavigator(Dataset *set, FormSpec form, QWidget *owner);

    const QVector<QAction *> &actions() const { return m_actions; } // NavFirst, NavPrior, NavNext, NavLast
    void addTo(QToolBar *bar) const;
    void addTo(QBoxLayout *row, QWidget *parent) const; // as tool buttons with icons
    void update();
    void move(RecordMove move);

signals:
    void moved(); // the cursor went to another row

private:
    Dataset *m_set;
    FormSpec m_form;
    QVector<QAction *> m_actions;
};
