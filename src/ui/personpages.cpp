#include "ui/personpages.h"

#include "data/dataset.h"
#include "ui/fieldbinder.h"
#include "ui/moduleframe.h"
#include "ui/photobox.h"
#include "ui/tfrmimage.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace PersonPages {

PhotoColumn addPhotoColumn(ModuleFrame *frame)
{
    PhotoColumn c;
    c.photo = new PhotoBox(frame->detailArea());
    c.photo->setObjectName(QStringLiteral("Edit_Photo"));
    frame->binder()->bind(c.photo, QStringLiteral("Photo"));
    frame->detailSide()->addWidget(c.photo);
    // The desktop's CJK font has no magnifier glyph: the word says it.
    c.zoom = new QPushButton(QStringLiteral("放大"), frame->detailArea());
    c.zoom->setObjectName(QStringLiteral("BtnZoom"));
    c.zoom->setToolTip(QStringLiteral("放大"));
    c.zoom->setAccessibleName(QStringLiteral("放大"));
    c.zoom->setFocusPolicy(Qt::NoFocus);
    frame->detailSide()->addWidget(c.zoom);
    QObject::connect(c.zoom, &QPushButton::clicked, frame, [frame] {
        Dataset *set = frame->dataset();
        const QString path =
            set->isActive() && set->currentRow() >= 0 ? set->value(QStringLiteral("Photo")).toString() : QString();
        TfrmImage dlg(path, frame);
        dlg.exec();
    });
    return c;
}

Form *addStatePage(ModuleFrame *frame, const QString &title, const FormSpec &fields, int pairsPerLine,
                   const std::function<void()> &save)
{
    auto *page = new QWidget(frame);
    auto *column = new QVBoxLayout(page);
    auto *area = new QWidget(page);
    auto *state = new Form(fields, frame->binder(), area, pairsPerLine);
    state->applyEnterOrder();
    column->addWidget(area);
    auto *buttons = new QHBoxLayout;
    auto *edit = new QPushButton(QStringLiteral("修改"), page);
    edit->setObjectName(QStringLiteral("BtnStateEdit"));
    auto *store = new QPushButton(QStringLiteral("保存"), page);
    store->setObjectName(QStringLiteral("BtnStateSave"));
    buttons->addWidget(edit);
    buttons->addWidget(store);
    buttons->addStretch(1);
    column->addLayout(buttons);
    column->addStretch(1);
    QObject::connect(edit, &QPushButton::clicked, frame, [frame, state] { editState(frame, state); });
    QObject::connect(store, &QPushButton::clicked, frame, [save] {
        if (save)
            save();
    });
    frame->addSubPage(title, page);
    return state;
}

void editState(ModuleFrame *frame, Form *state)
{
    if (frame->dataset()->state() == Dataset::State::Browse)
        frame->dataset()->edit();
    if (!state->rows().isEmpty())
        if (QWidget *first = state->widget(state->rows().first().field))
            first->setFocus();
}

} // namespace PersonPages
