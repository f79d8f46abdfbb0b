#include "schedule/tfrmplannew.h"

TfrmPlanNew::TfrmPlanNew(QWidget *parent) : TfrmPlan(Place::EditorWindow, parent) {}
