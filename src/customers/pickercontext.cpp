#include "customers/pickercontext.h"

QString &customerPickerContext()
{
    static QString context;
    return context;
}
