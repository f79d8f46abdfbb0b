#pragma once

#include <QString>
#include <QStringList>

class QDialog;
class QWidget;
struct DictionaryDesc;

// The reference-data windows by class name: the eleven dictionaries
// (TfrmRegion, TfrmCountry, ...), the currencies (TfrmCurrencyRate), the
// worker classifications (TfrmGongzhong, TfrmJineng, TfrmTijian) and the
// colour table (TfrmColor).
QStringList referenceWindowNames();
// The description of a dictionary-like member; nullptr for TfrmColor and
// unknown names.
const DictionaryDesc *referenceDescription(const QString &className);
// A fresh window, not yet shown; nullptr for an unknown name.
QDialog *createReferenceWindow(const QString &className, QWidget *parent = nullptr);
// What the main window's actions call after their own log line: a fresh
// window shown modally. False for an unknown name.
bool openReferenceWindow(const QString &className, QWidget *parent);
