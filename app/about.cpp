#include "app/about.h"

#include "ui/messagebox.h"

#include "ui/look.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace {

// The picture: the program's name over a bookshelf of bound volumes.
QPixmap aboutPicture()
{
    QPixmap pm(289, 193);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 193);
    sky.setColorAt(0, QColor(250, 244, 228));
    sky.setColorAt(1, QColor(232, 216, 184));
    p.fillRect(pm.rect(), sky);
    const QColor spines[] = {QColor(128, 40, 32), QColor(46, 74, 110), QColor(70, 96, 52), QColor(150, 110, 40)};
    for (int i = 0; i < 14; ++i) {
        const int h = 62 + (i * 37) % 30;
        p.fillRect(QRect(26 + i * 17, 176 - h, 14, h), spines[i % 4]);
        p.fillRect(QRect(26 + i * 17, 176 - h + 10, 14, 3), QColor(220, 190, 120));
    }
    p.fillRect(QRect(16, 176, 257, 6), QColor(96, 64, 36));
    QFont title = look::songFont(30, true);
    p.setFont(title);
    p.setPen(QColor(70, 40, 20));
    p.drawText(QRect(0, 12, 289, 44), Qt::AlignCenter, MessageBoxes::programTitle());
    p.setFont(look::songFont(12));
    p.drawText(QRect(0, 54, 289, 20), Qt::AlignCenter, QStringLiteral("收集 · 整理 · 研读"));
    return pm;
}

}  // namespace

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName("AboutBox");
    setWindowTitle(QStringLiteral("关于作者"));
    setFixedSize(327, 284);
    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setAutoFillBackground(true);
    look::setColour(Panel1, QPalette::Window, Qt::white);
    Panel1->setGeometry(8, 8, 311, 215);
    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setGeometry(11, 11, 289, 193);
    ProgramIcon->setPixmap(aboutPicture());
    OKButton = new QPushButton(QStringLiteral("返回"), this);
    OKButton->setObjectName("OKButton");
    OKButton->setGeometry(126, 238, 75, 28);
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    if (QScreen *screen = QGuiApplication::primaryScreen()) move(screen->geometry().center() - rect().center());
}
