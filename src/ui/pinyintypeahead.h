#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>

class QComboBox;

// Typing into a long drop-down without switching the input method: letters
// typed in quick succession choose the first entry that begins with them,
// as text or as pinyin ("zxy" for 张晓燕), else the first that contains them
// either way. It acts only while the drop-down offers more entries than its
// list shows at once; a short list keeps the toolkit's own search. Works on
// the closed box (the choice is made as a click would make it) and in its
// open list (the entry is marked; Enter takes it).
class PinyinTypeAhead : public QObject
{
public:
    static void install(QComboBox *combo);
    // The entry a typed text chooses; -1 for none.
    static int find(const QComboBox *combo, const QString &typed);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit PinyinTypeAhead(QComboBox *combo);
    QComboBox *m_combo;
    QString m_typed;
    QElapsedTimer m_last;
};
