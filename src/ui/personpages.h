#pragma once

#include "ui/form.h"

#include <functional>

class ModuleFrame;
class PhotoBox;
class QPushButton;

// What the window of a person (a staff member, a domestic worker) has
// beside and below its fields.
namespace PersonPages {

// The photo beside the fields, bound to "Photo", and under it "放大",
// which shows the photo of the current row whole.
struct PhotoColumn {
    PhotoBox *photo = nullptr;
    QPushButton *zoom = nullptr;
};
PhotoColumn addPhotoColumn(ModuleFrame *frame);

// The sub-page of the person's employment state: its fields, then its own
// "修改" (the row into editing, the cursor into the first field) and
// "保存" (save: the window's own checks, folder and store).
Form *addStatePage(ModuleFrame *frame, const QString &title, const FormSpec &fields, int pairsPerLine,
                   const std::function<void()> &save);
// "修改" of that page.
void editState(ModuleFrame *frame, Form *state);

} // namespace PersonPages
