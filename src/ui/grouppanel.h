#pragma once

#include <QStringList>
#include <QWidget>

class QHBoxLayout;
class QLabel;

// The strip above a grid into which column headers are dragged to group
// the rows. Each grouping column shows as a button, outermost first; a
// click on one takes that level away.
class GroupPanel : public QWidget
{
    Q_OBJECT
public:
    static const QString kMimeType; // a dragged column: its field name

    explicit GroupPanel(QWidget *parent = nullptr);

    // Fields with their captions, outermost first.
    void setGroups(const QStringList &fields, const QStringList &captions);
    const QStringList &fields() const { return m_fields; }

signals:
    void fieldDropped(const QString &field);
    void fieldRemoved(const QString &field);

protected:
    void dragEnterEvent(class QDragEnterEvent *event) override;
    void dropEvent(class QDropEvent *event) override;

private:
    QHBoxLayout *m_layout;
    QLabel *m_hint;
    QStringList m_fields;
};
