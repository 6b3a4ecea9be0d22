#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "platform/fake/fake_settings_store.h"
#include "platform/qt/qt_settings_store.h"

using namespace trovix::platform;

namespace {

// What every settings store must do; run on the real store and on the fake the core tests use.
void checkContract(SettingsStore& store) {
    QVERIFY(!store.value("Main", "Name").has_value());
    store.setValue("Main", "Name", "first");
    store.setValue("Main", "Name", "second");
    QCOMPARE(store.value("Main", "Name"), std::optional<QString>("second"));
    QVERIFY(!store.value("Main", "Other").has_value());
    QVERIFY(!store.value("Other", "Name").has_value());

    // An empty value is stored, not absent.
    store.setValue("Main", "Empty", "");
    QVERIFY(store.value("Main", "Empty").has_value());
    QVERIFY(store.value("Main", "Empty")->isEmpty());

    QVERIFY(!store.removeSection("Nothing"));
    store.setValue("Keep", "Key", "1");
    QVERIFY(store.removeSection("Main"));
    QVERIFY(!store.value("Main", "Name").has_value());
    QVERIFY(!store.value("Main", "Empty").has_value());
    QCOMPARE(store.value("Keep", "Key"), std::optional<QString>("1"));
    QVERIFY(!store.removeSection("Main"));
    QVERIFY(store.sync());
}

QString readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

}  // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void sameBehaviourAsFake() {
        QTemporaryDir dir;
        QtSettingsStore real(dir.filePath("contract.ini"));
        checkContract(real);
        if (QTest::currentTestFailed()) {
            return;
        }
        FakeSettingsStore fake;
        checkContract(fake);
        QCOMPARE(fake.syncCount, 1);
    }

    void valuesSurviveTheFileExactly() {
        const QStringList values = {
            "a, b, c",
            "100,200",
            "  leading and trailing  ",
            "key=value; not a comment",
            "#hash",
            "Zo\u00eb \u6771\u4eac \u00fc\u00df",
            "",
            "@Variant(1)",
            "\"quoted\"",
            "back\\slash",
            "tab\there",
            "line one\nline two",
        };
        QTemporaryDir dir;
        const QString written = dir.filePath("written.ini");
        {
            QtSettingsStore store(written);
            for (int i = 0; i < values.size(); ++i) {
                store.setValue("Odd Section", QString("Key %1").arg(i), values[i]);
            }
            QVERIFY(store.sync());
        }
        // QSettings caches a parsed file per path inside the process; a copy under a new name
        // makes the second store really parse the text on disk.
        const QString copy = dir.filePath("copy.ini");
        QVERIFY(QFile::copy(written, copy));
        QVERIFY(readFile(copy).contains("Odd%20Section"));
        QtSettingsStore reread(copy);
        for (int i = 0; i < values.size(); ++i) {
            QCOMPARE(reread.value("Odd Section", QString("Key %1").arg(i)),
                     std::optional<QString>(values[i]));
        }
    }

    void handEditedListsKeepTheirText() {
        QTemporaryDir dir;
        const QString path = dir.filePath("hand.ini");
        writeFile(path,
                  "[Window]\nPosition=100,200\nName=Smith, John\nQuoted=\"x, y\"\nPlain=text\n");
        QtSettingsStore store(path);
        QCOMPARE(store.value("Window", "Position"), std::optional<QString>("100, 200"));
        QCOMPARE(store.value("Window", "Name"), std::optional<QString>("Smith, John"));
        QCOMPARE(store.value("Window", "Quoted"), std::optional<QString>("x, y"));
        QCOMPARE(store.value("Window", "Plain"), std::optional<QString>("text"));
    }

    void syncReportsEachAttempt() {
        QTemporaryDir dir;
        // A plain file where the settings folder should be: no one, not even root, can write.
        const QString folder = dir.filePath("settings");
        writeFile(folder, "in the way");
        const QString path = folder + "/trovix.ini";
        QtSettingsStore store(path);
        store.setValue("Main", "Before", "1");
        QVERIFY(!store.sync());

        QVERIFY(QFile::remove(folder));
        QVERIFY(QDir().mkpath(folder));
        store.setValue("Main", "After", "2");
        QVERIFY(store.sync());

        const QString copy = dir.filePath("copy.ini");
        QVERIFY(QFile::copy(path, copy));
        QtSettingsStore reread(copy);
        QCOMPARE(reread.value("Main", "Before"), std::optional<QString>("1"));
        QCOMPARE(reread.value("Main", "After"), std::optional<QString>("2"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "test_settings_store.moc"
