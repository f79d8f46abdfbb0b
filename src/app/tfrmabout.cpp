#include "app/tfrmabout.h"

#include "app/desktop.h"
#include "app/mainpictures.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmAbout"));
    setWindowTitle(QStringLiteral("关于Brevia2003"));

    auto *picture = new QLabel(this);
    picture->setPixmap(MainPictures::aboutPicture());

    auto *facts = new QGridLayout;
    auto row = [&](int r, const QString &caption, QLabel *value) {
        facts->addWidget(new QLabel(caption, this), r, 0);
        facts->addWidget(value, r, 1);
    };
    row(0, QStringLiteral("系统版本："), new QLabel(QStringLiteral("Brevia2003"), this));
    row(1, QStringLiteral("系统设计："), new QLabel(Maker::kName, this));
    auto *home = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(Maker::kWebsite), this);
    home->setObjectName(QStringLiteral("LabHomePage"));
    home->setTextFormat(Qt::RichText);
    home->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(home, &QLabel::linkActivated, this, [](const QString &link) { Desktop::open(QUrl(link)); });
    row(2, QStringLiteral("公司主页："), home);

    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(16);
    top->addLayout(facts);

    m_ok = new QPushButton(QStringLiteral("确定"), this);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}
