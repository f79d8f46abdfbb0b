#include "customers/tfrmupdate.h"

#include <QCoreApplication>
#include <QLabel>
#include <QVBoxLayout>

TfrmUpdate::TfrmUpdate(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmUpdate"));
    setWindowTitle(QStringLiteral("系统提示"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    auto *label = new QLabel(QStringLiteral("正在分配资料到目标用户ID，请稍候..."), this);
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmUpdate::showNow()
{
    show();
    raise();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
