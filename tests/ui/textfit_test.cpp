// No cut text in the Qt view: in every state of the main window and every case of both dialogs,
// each label's text, measured with the label's own font, fits the label, lies inside its window
// and runs into no other text; and every label draws in Tahoma, the font the sizes are made for.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QStyle>
#include <QTest>

#include "fakeworld.h"
#include "formchecks.h"
#include "mainwindowprobe.h"
#include "report/endtexts.h"
#include "ui/programwindows.h"
#include "ui/tform_main.h"
#include "ui/tform_messagethread.h"
#include "ui/tform_messagethreadend.h"

using namespace veltrin;

namespace {

struct ShownText {
    const QLabel* label;
    QRect text;  // in the window's coordinates
};

// What is wrong with the visible labels of window; empty when nothing is.
QStringList Misfits(QWidget* window) {
    QStringList faults;
    std::vector<ShownText> shown;
    for (const QLabel* label : window->findChildren<QLabel*>()) {
        if (!label->isVisibleTo(window) || label->text().isEmpty()) {
            continue;
        }
        const QString what = QStringLiteral("%1 \"%2\"").arg(label->objectName(), label->text());
        const QString family = QFontInfo(label->font()).family();
        if (family != QStringLiteral("Tahoma")) {
            faults << what + " is drawn in " + family + ", not Tahoma";
        }
        const QRect box = label->contentsRect();
        const int flags = label->wordWrap() ? int(Qt::TextWordWrap) : 0;
        const QSize measured = QFontMetrics(label->font())
                                   .boundingRect(QRect(0, 0, box.width(), 0), flags, label->text())
                                   .size();
        if (measured.width() > box.width() || measured.height() > box.height()) {
            faults << QStringLiteral("%1: text %2 x %3 px, label %4 x %5 px")
                          .arg(what)
                          .arg(measured.width())
                          .arg(measured.height())
                          .arg(box.width())
                          .arg(box.height());
        }
        const QRect inWindow(label->mapTo(window, QPoint(0, 0)), label->size());
        if (!window->rect().contains(inWindow)) {
            faults << what + " reaches outside its window";
        }
        const QRect text = QStyle::alignedRect(Qt::LeftToRight, label->alignment(), measured, box);
        shown.push_back({label, text.translated(inWindow.topLeft())});
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            if (shown[i].text.intersects(shown[j].text)) {
                faults << QStringLiteral("\"%1\" (x %2 to %3) runs into \"%4\" (x %5 to %6)")
                              .arg(shown[i].label->text())
                              .arg(shown[i].text.left())
                              .arg(shown[i].text.right())
                              .arg(shown[j].label->text())
                              .arg(shown[j].text.left())
                              .arg(shown[j].text.right());
            }
        }
    }
    return faults;
}

bool Fits(QWidget* window, const QString& what) {
    const QStringList faults = Misfits(window);
    for (const QString& fault : faults) {
        qWarning("%s: %s", qPrintable(what), qPrintable(fault));
    }
    return faults.isEmpty();
}

}  // namespace

class TextFitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void mainWindowAtRest_data() {
        QTest::addColumn<QString>("quorvan");
        QTest::addColumn<QString>("tarnovelle");
        QTest::addColumn<bool>("downloaded");
        QTest::newRow("no data") << ""
                                 << "" << false;
        QTest::newRow("one family") << "Version 01.02.03"
                                    << "" << true;
        QTest::newRow("the other family") << ""
                                          << "Version 02.00.01" << true;
        QTest::newRow("both") << "Version 01.02.03"
                              << "Version 02.00.01" << true;
    }

    void mainWindowAtRest() {
        QFETCH(QString, quorvan);
        QFETCH(QString, tarnovelle);
        QFETCH(bool, downloaded);
        FakeWorld world;
        if (downloaded) {
            world.Downloads = {Data(quorvan.toStdString(), tarnovelle.toStdString())};
        }
        Program program(world);
        if (program.Main().Params().ThreadRunning) {
            // The data started a run at once; what rests is the window after it.
            program.Main().UpdateThreadEnded();
        }
        QVERIFY(Fits(&program.Main(), QTest::currentDataTag()));
    }

    void mainWindowDuringARun() {
        FakeWorld world;
        world.Downloads = {Data("Version 01.02.03", "Version 02.00.01")};
        Program program(world);
        TForm_Main& window = program.Main();
        QVERIFY(window.Params().ThreadRunning);
        for (const std::string name : {kFamilyLabelQuorvanOtg, kFamilyLabelTarnovelleK7}) {
            for (const std::string& title : {"Update " + name + " ...", "Update " + name}) {
                TSThreadParams params;
                params.EventText = title;
                window.ThreadShowTitle(params);
                for (const char* action :
                     {"Search available devices ...", "Check the data for the update ...",
                      "Update module 12/12", "Update will continue in 10 seconds ...",
                      "Start application ..."}) {
                    params.EventText = action;
                    window.ThreadShowAction(params);
                    QVERIFY(Fits(&window, QString::fromStdString(title + " / " + action)));
                }
            }
        }
    }

    void questionDialog() {
        TForm_MessageThread dialog;
        for (const char* question : {
                 "The newest update version corresponds to\nthe version on the device.\n\n"
                 "Start Update?",
                 "The available update version is older than\nthe version on the device.\n\n"
                 "Start Update?",
                 "! Adjustments and other user data will be deleted.\n\nStart Update?",
             }) {
            dialog.SetMessage(question);
            QVERIFY(Fits(&dialog, question));
        }
    }

    void endDialog() {
        TForm_MessageThreadEnd dialog;
        const std::string quorvan = std::string(kFamilyLabelQuorvanOtg) + " Version 01.02.03";
        const std::string tarnovelle = std::string(kFamilyLabelTarnovelleK7) + " Version 02.00.01";
        struct Case {
            bool terminated;
            int code;
            std::string text;
        };
        const Case cases[] = {{true, 14, ""}, {false, 0, quorvan}, {false, 0, tarnovelle},
                              {false, 1, ""}, {false, 2, ""},      {false, 3, ""},
                              {false, 4, ""}, {false, 5, ""},      {false, 6, ""},
                              {false, 7, ""}, {false, 14, ""},     {false, 2147483647, ""}};
        for (const Case& c : cases) {
            dialog.ShowResult(c.terminated, c.code, c.text);
            QVERIFY(Fits(
                &dialog,
                QStringLiteral("code %1%2").arg(c.code).arg(c.terminated ? ", cancelled" : "")));
        }
    }
};

QTEST_MAIN(TextFitTest)
#include "textfit_test.moc"
