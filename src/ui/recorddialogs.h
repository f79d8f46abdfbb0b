#pragma once

#include <QString>

#include <functional>

class QWidget;

// The record dialog of each table, by table name: a sub-page's "新增…" and
// "修改" open the dialog of its detail table, whichever module installed
// it. The dialog finds the detail set already on its new or edited row.
namespace RecordDialogs {
using Opener = std::function<void(QWidget *parent)>;
void install(const QString &table, Opener open); // an empty opener takes it away
Opener opener(const QString &table);
bool has(const QString &table);
} // namespace RecordDialogs
