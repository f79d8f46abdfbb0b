#pragma once

#include "ui/form.h"

class Dataset;
class EntryWarnings;

// The worker's fields, shared by the worker window's detail page and the
// customer window's worker dialog. In the dialog the customer is the one
// the customer window is on: shown, not chosen.
namespace WorkerFields {
enum class Place { Window, Dialog };
FormSpec form(Place place);
// The warnings about an identity-card or mobile number typed into form.
EntryWarnings *watchNumbers(Form *form, Dataset *set, QObject *parent);
} // namespace WorkerFields
