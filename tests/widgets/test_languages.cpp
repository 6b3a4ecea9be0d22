// The window in the user's language: German as shipped, and pseudo-translations that make every
// text longer and, for a right-to-left language, mirror the window.
#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>

#include "about/about_box.h"
#include "state/change_notice.h"
#include "state/language.h"
#include "support/window_fixture.h"
#include "widgets/about_window.h"

using namespace trovix;
using namespace trovix::testing;

namespace {

QString pseudo(const char* direction) {
    return QStringLiteral(TROVIX_PSEUDO_DIR "/pseudo_%1.qm").arg(QLatin1String(direction));
}

// The texts of the window that do not fit the place they are shown in: labels, buttons and
// status panels, as "name: text". A label that cuts its text short on purpose shows it whole in
// its tool tip.
QStringList cutTexts(QWidget* window) {
    QStringList cut;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        if (!widget->isVisible()) {
            continue;
        }
        QString text;
        int room = widget->contentsRect().width();
        if (const auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            if (label->wordWrap() || (!label->toolTip().isEmpty() && label->toolTip() == text)) {
                continue;  // a label that wraps its lines is as high as they need
            }
        } else if (const auto* tool = qobject_cast<QToolButton*>(widget);
                   tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly) {
            continue;  // its text is its tool tip
        } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
            room = button->width() - (button->icon().isNull() ? 0 : button->iconSize().width());
        }
        text.remove(u'&');
        if (!text.isEmpty() && !text.contains(u'\n') &&
            widget->fontMetrics().horizontalAdvance(text) > room) {
            cut << widget->objectName() + QStringLiteral(": ") + text;
        }
    }
    return cut;
}

// Access keys given twice within one menu, or within the menu bar.
QStringList clashingAccessKeys(QMenuBar* bar) {
    QStringList clashes;
    QList<QList<QAction*>> groups{bar->actions()};
    for (QAction* menu : bar->actions()) {
        groups << menu->menu()->actions();
    }
    for (const QList<QAction*>& group : groups) {
        QStringList keys;
        for (const QAction* action : group) {
            const QString key = QKeySequence::mnemonic(action->text()).toString();
            if (!key.isEmpty() && keys.contains(key)) {
                clashes << action->text();
            }
            keys << key;
        }
    }
    return clashes;
}

}  // namespace

class TestLanguages : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    void cleanup() { loadTranslations(QLocale::c()); }

    // The desktop's language decides; "C" keeps the English source texts. (The English menu
    // gives B to both "Copy List to Clip&Board" and "&Backup"; German gives each its own.)
    void germanIsCompleteAndItsAccessKeysDoNotClash() {
        QCOMPARE(loadTranslations(QLocale::c()), QString());
        QCOMPARE(QCoreApplication::translate("CommandTable", "&Actions"),
                 QStringLiteral("&Actions"));
        QCOMPARE(loadTranslations(QLocale(QLocale::German, QLocale::Germany)),
                 QStringLiteral("de_DE"));
        WindowFixture w("Ann\n", "tag\n", "212\n");
        QMenuBar* bar = w.window->menuBar();
        QVERIFY2(bar->actions().first()->text() != QStringLiteral("&Actions"),
                 qPrintable(bar->actions().first()->text()));
        QCOMPARE(clashingAccessKeys(bar), QStringList());
        QCOMPARE(cutTexts(w.window.get()), QStringList());
    }

    // Every text 40 % longer: nothing is cut, the tool tips and the notice are translated.
    void longerTextsAreNeverCut() {
        QVERIFY(loadTranslationFile(pseudo("ltr")));
        WindowFixture w("Ann\n", "tag\n", "212\n");
        w.state.changeNotice.show(lists::SlotId::A, QStringLiteral("x"));
        QTest::qWait(20);
        QVERIFY2(cutTexts(w.window.get()).isEmpty(),
                 qPrintable(cutTexts(w.window.get()).join(u'\n')));
        for (QAction* action : w.window->findChild<QToolBar*>()->actions()) {
            // A list's button is named after its file.
            QVERIFY2(action->isSeparator() || action->toolTip().startsWith(u'⟦') ||
                         action->toolTip().endsWith(QStringLiteral(".txt")),
                     qPrintable(action->toolTip()));
        }
        const auto* merge =
            w.window->findChild<QAbstractButton*>(QStringLiteral("cmdMergeChanged"));
        QVERIFY(merge->isVisible() && merge->text().startsWith(u'⟦'));
        // A dialog of the program's own, the About window.
        widgets::AboutWindow about(about::aboutCaption(), w.window.get());
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        QVERIFY2(cutTexts(&about).isEmpty(), qPrintable(cutTexts(&about).join(u'\n')));
    }

    // Right to left: the window mirrors, the lists and the edit box work, and a record keeps the
    // direction of its own text.
    void rightToLeftMirrorsTheWindowButNotTheRecords() {
        QVERIFY(loadTranslationFile(pseudo("rtl")));
        QCOMPARE(QGuiApplication::layoutDirection(), Qt::RightToLeft);
        WindowFixture w("Ann Smith\nسلام عليكم\n", "tag\n", "212\n");
        QCOMPARE(w.window->layoutDirection(), Qt::RightToLeft);
        QListView* list = w.list(lists::SlotId::A);
        // The toolbar's first button, at the left edge in English, stands at the right.
        QToolBar* toolbar = w.window->findChild<QToolBar*>();
        const QWidget* first = toolbar->widgetForAction(toolbar->actions().first());
        QVERIFY(first->mapTo(w.window.get(), QPoint()).x() > w.window->width() / 2);
        const auto* results = w.window->findChild<QWidget*>(QStringLiteral("frameResults"));
        QVERIFY(results->x() >= 0 &&
                results->geometry().right() < w.window->centralWidget()->width());
        w.clickRow(list, 0);
        QCOMPARE(w.edit->toPlainText(), QStringLiteral("Ann Smith"));
        QCOMPARE(w.edit->document()->firstBlock().textDirection(), Qt::LeftToRight);
        w.clickRow(list, 1);
        QCOMPARE(w.edit->document()->firstBlock().textDirection(), Qt::RightToLeft);
        w.click(w.edit);
        w.key(Qt::Key_End);
        w.type(QStringLiteral("!"));
        QCOMPARE(w.state.slot(lists::SlotId::A).records.text(1), QStringLiteral("سلام عليكم!"));
        // The splitter bar moves with the keys as before.
        w.window->resize(800, 800);
        QTest::qWait(20);
        auto* bar = w.window->findChild<QWidget*>(QStringLiteral("Picture1"));
        QVERIFY(w.tabTo(bar));
        w.key(Qt::Key_Up);  // within the splitter's limits first
        const int gap = w.state.gap;
        w.key(Qt::Key_Up);
        QCOMPARE(w.state.gap, gap + 120);
    }
};

QTEST_MAIN(TestLanguages)
#include "test_languages.moc"
