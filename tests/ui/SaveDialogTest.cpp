// The real file dialog of the PicTeX button, opened where a careless look at
// file contents would block: in /proc, where reading kmsg waits for ever. A
// dialog that blocks never sees the timer that closes it, and the test runs
// into its time limit instead of passing.
#include "SaveDialog.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

using namespace brelloc;

class SaveDialogTest : public QObject {
    Q_OBJECT

private slots:
    void dialogInProcStaysResponsive()
    {
        if (!QFileInfo(QStringLiteral("/proc/kmsg")).exists())
            QSKIP("no /proc/kmsg on this system");
        SaveDialog dialog;
        dialog.FileName = QStringLiteral("/proc/figure.tex");
        bool shown = false;
        QTimer poll;
        poll.setInterval(50);
        int polls = 0;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            // Let the listing of /proc fill in for a while before closing.
            if (box && ++polls > 20) {
                shown = true;
                box->reject();
            }
        });
        poll.start();
        QVERIFY(!dialog.Execute(nullptr));
        QVERIFY(shown);
        QCOMPARE(dialog.FileName, QStringLiteral("/proc/figure.tex"));
    }
};

QTEST_MAIN(SaveDialogTest)
#include "SaveDialogTest.moc"
