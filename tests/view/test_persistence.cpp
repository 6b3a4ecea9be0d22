#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include "app/startup.h"
#include "platform/fake/fake_message_boxes.h"
#include "platform/fake/fake_screen.h"
#include "platform/qt/qt_settings_store.h"
#include "state/main_state.h"
#include "support/files.h"
#include "view/widgets/main_window.h"

using namespace trovix;
using testing::writeBytes;

namespace {

// One run of the program: its window on the data folder, with settings in `ini`.
struct Run {
    platform::QtSettingsStore settings;
    platform::FakeMessageBoxes messages;
    platform::FakeScreen screen;
    MainState state{{.settings = &settings, .messages = &messages, .screen = &screen}};
    std::unique_ptr<view::MainWindow> window;

    Run(const QString& ini, const QString& folder, const QStringList& arguments = {})
        : settings(ini) {
        state.programFolder = folder;
        window = std::make_unique<view::MainWindow>(state);
        app::startUp(state, {arguments, QString()});
        window->show();
    }
    QAction* action(const char* name) {
        return window->findChild<QAction*>(QString::fromLatin1(name));
    }
};

}  // namespace

class TestPersistence : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void aSecondRunStartsWhereTheFirstEnded() {
        QTemporaryDir dir;
        const QString ini = dir.filePath(QStringLiteral("Trovix.ini"));
        writeBytes(dir.filePath(QStringLiteral("mine.txt")), "Mine\r\n");
        writeBytes(dir.filePath(QStringLiteral("phone_numbers.txt")), "Smith\r\n");
        {
            Run first(
                ini, dir.path(),
                {QStringLiteral("mine.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
            QVERIFY(QTest::qWaitForWindowExposed(first.window.get()));
            first.action("mnuDisplayFileNames")->trigger();
            first.action("mnuIgnoreCase")->trigger();
            first.action("fileB")->trigger();
            auto* find = first.window->findChild<QComboBox*>(QStringLiteral("lstFind"));
            QTest::keyClicks(find->lineEdit(), QStringLiteral("mine"));
            QTest::keyClick(find->lineEdit(), Qt::Key_Return);
            first.window->move(150, 120);
            first.window->resize(700, 600);
            QVERIFY(first.window->close());
        }
        QSettings stored(ini, QSettings::IniFormat);
        QCOMPARE(stored.value(QStringLiteral("Settings/MainWidth")).toString(),
                 QStringLiteral("10500"));  // 700 pixels at 15 twips each

        Run second(ini, dir.path());
        QVERIFY(QTest::qWaitForWindowExposed(second.window.get()));
        QVERIFY(second.action("mnuDisplayFileNames")->isChecked());
        QVERIFY(!second.action("mnuIgnoreCase")->isChecked());
        QVERIFY(second.action("fileA")->isChecked() && !second.action("fileB")->isChecked());
        QCOMPARE(second.state.slot(store::SlotId::A).records.text(0), QStringLiteral("Mine"));
        QCOMPARE(second.window->findChild<QComboBox*>(QStringLiteral("lstFind"))->itemText(0),
                 QStringLiteral("mine"));
        QCOMPARE(second.window->size(), QSize(700, 600));
        QCOMPARE(second.window->pos(), QPoint(150, 120));
    }
};

QTEST_MAIN(TestPersistence)
#include "test_persistence.moc"
