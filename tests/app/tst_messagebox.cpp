// Real message boxes, shown and answered the way a user answers them.
#include "ui/messagebox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestMessageBox : public QObject {
    Q_OBJECT
private slots:
    void buttonsInTheProgramsLanguage_data();
    void buttonsInTheProgramsLanguage();
};

void TestMessageBox::buttonsInTheProgramsLanguage_data()
{
    QTest::addColumn<int>("kind");  // 0 Yes/No, 1 Yes/No/Cancel, 2 notice
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("question, No pressed") << 0 << QStringList{"是(&Y)", "否(&N)"} << "否(&N)" << int(MessageBoxes::No);
    QTest::newRow("question with cancel, Yes pressed")
        << 1 << QStringList{"是(&Y)", "否(&N)", "取消"} << "是(&Y)" << int(MessageBoxes::Yes);
    QTest::newRow("question with cancel, Cancel pressed")
        << 1 << QStringList{"是(&Y)", "否(&N)", "取消"} << "取消" << int(MessageBoxes::Cancel);
    QTest::newRow("notice") << 2 << QStringList{"确定"} << "确定" << int(MessageBoxes::Ok);
}

void TestMessageBox::buttonsInTheProgramsLanguage()
{
    QFETCH(int, kind);
    QFETCH(QStringList, buttons);
    QFETCH(QString, press);
    QFETCH(int, answer);
    QStringList seen;
    QString caption, text;
    QTimer::singleShot(50, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            if (!box || !box->isVisible()) continue;
            caption = box->windowTitle();
            text = box->text();
            QAbstractButton *target = nullptr;
            for (QAbstractButton *b : box->buttons()) {
                seen << b->text();
                if (b->text() == press) target = b;
            }
            if (target)
                target->click();
            else
                box->done(0);  // fail the comparison rather than wait forever
        }
    });
    int got;
    if (kind == 2) {
        MessageBoxes::notice(nullptr, "题", "内容");
        got = MessageBoxes::Ok;
    } else {
        got = MessageBoxes::question(nullptr, "题", "内容", kind == 1);
    }
    std::sort(seen.begin(), seen.end());
    std::sort(buttons.begin(), buttons.end());
    QCOMPARE(seen, buttons);
    QCOMPARE(got, answer);
    QCOMPARE(caption, QString("题"));
    QCOMPARE(text, QString("内容"));
}

QTEST_MAIN(TestMessageBox)
#include "tst_messagebox.moc"
