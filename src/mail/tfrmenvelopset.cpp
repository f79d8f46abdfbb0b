#include "mail/tfrmenvelopset.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/dialogbuttons.h"
#include "ui/moduleframe.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

TfrmEnvelopSet::TfrmEnvelopSet(Dataset *contacts, QWidget *parent)
    : QDialog(parent), m_contacts(contacts), m_sender(new QCheckBox(QStringLiteral("打印用户信息"), this))
{
    setObjectName(QStringLiteral("TfrmEnvelopSet"));
    setWindowTitle(QStringLiteral("标签设置"));
    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left, 1);
    auto *group = new QGroupBox(QStringLiteral("用户信息"), this);
    auto *form = new QFormLayout(group);
    // The sender block as it would print: the agency's details of now.
    Dataset *info = TdmMain::instance()->dataset(Sets::kAgency);
    const bool haveInfo = info && (info->isActive() || info->open()) && !info->isEmpty();
    const std::pair<const char *, const char *> items[] = {
        {"用户名称", "UserName"}, {"地　　址", "Address"},   {"电　　话", "Telephone"}, {"传　　真", "Fax"},
        {"网　　址", "HomePage"}, {"联系EMail", "Email"}, {"邮政编码", "PostCode"}};
    for (const auto &[caption, field] : items) {
        auto *value = new QLabel(haveInfo ? info->value(0, QString::fromLatin1(field)).toString() : QString(), group);
        value->setObjectName(QStringLiteral("Label_") + QString::fromLatin1(field));
        form->addRow(QString::fromUtf8(caption) + QStringLiteral("："), value);
    }
    left->addWidget(group);
    m_sender->setObjectName(QStringLiteral("Check_PrintSender"));
    m_sender->setChecked(false);
    left->addWidget(m_sender);

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    addDialogButton(buttons, this, QStringLiteral("预览"), QStringLiteral("BtnPreview"), {},
                    &TfrmEnvelopSet::BtnPreviewClick);
    addDialogButton(buttons, this, QStringLiteral("取消"), QStringLiteral("BtnCancel"), {}, &QDialog::reject);
    buttons->addStretch();
}

QString TfrmEnvelopSet::templateName() const
{
    return m_sender->isChecked() ? QStringLiteral("frEnvelop6") : QStringLiteral("frEnvelop");
}

void TfrmEnvelopSet::BtnPreviewClick()
{
    ModuleFrame::print(m_contacts, templateName(), this);
}
