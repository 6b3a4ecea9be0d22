#include <QAccessible>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <cmath>

#include "about/about_box.h"
#include "support/window_fixture.h"
#include "view/match_look.h"
#include "widgets/about_window.h"
#include "widgets/menu_item_name.h"

using namespace trovix;

namespace {

// WCAG's contrast ratio of two colours, from their relative luminance.
double contrast(const QColor& a, const QColor& b) {
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) {
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
               0.0722 * channel(c.blueF());
    };
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// A dark theme's colours, as the GTK platform theme gives them under Adwaita-dark.
QPalette darkPalette() {
    QPalette dark(QColor(0x32, 0x32, 0x32), QColor(0x32, 0x32, 0x32));
    dark.setColor(QPalette::WindowText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::ButtonText, QColor(0xf0, 0xf0, 0xf0));
    dark.setColor(QPalette::Base, QColor(0x24, 0x24, 0x24));
    dark.setColor(QPalette::Text, QColor(0xf0, 0xf0, 0xf0));
    return dark;
}

// How well an icon stands out from the colour it is drawn on: the contrast that nine in ten
// pixels of its outline reach. The outline is every pixel at least half covered that touches one
// less than half covered; each counts with the colour it is drawn in, as WCAG compares colours
// (softened edges aside).
double outlineContrast(const QImage& icon, const QColor& background) {
    const QImage image = icon.convertToFormat(QImage::Format_ARGB32);
    const auto covered = [&](int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() &&
               qAlpha(image.pixel(x, y)) >= 128;
    };
    std::vector<double> ratios;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (covered(x, y) && !(covered(x - 1, y) && covered(x + 1, y) && covered(x, y - 1) &&
                                   covered(x, y + 1))) {
                ratios.push_back(contrast(QColor::fromRgb(image.pixel(x, y)), background));
            }
        }
    }
    std::sort(ratios.begin(), ratios.end());
    return ratios.empty() ? 0 : ratios[ratios.size() / 10];
}

QColor colour(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

QAccessibleInterface* accessibleChild(QObject* parent, QObject* child) {
    QAccessibleInterface* outer = QAccessible::queryAccessibleInterface(parent);
    for (int i = 0; outer != nullptr && i < outer->childCount(); ++i) {
        if (outer->child(i)->object() == child) {
            return outer->child(i);
        }
    }
    return nullptr;
}

}  // namespace

class TestLooks : public QObject {
    Q_OBJECT
  private Q_SLOTS:
    // Every toolbar picture stands out from the toolbar by at least 3:1 under the desktop's own
    // palette and under a dark one, at the screen's scale (run again at 2x by ctest).
    void toolbarIconsStandOutInLightAndDarkThemes() {
        testing::WindowFixture w("a\r\n", "b\r\n", "c\r\n");
        auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        const qreal ratio = w.window->devicePixelRatioF();
        const QPalette desktop = QApplication::palette();
        for (const auto& [name, palette] :
             {std::pair{"desktop", desktop}, std::pair{"dark", darkPalette()}}) {
            QApplication::setPalette(palette);
            QCoreApplication::processEvents();
            for (QAction* action : bar->actions()) {
                auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
                if (button == nullptr) {
                    continue;
                }
                // The colour behind the picture: the toolbar's, or a pressed button's face.
                const QImage shot = button->grab().toImage();
                const QColor background = shot.pixelColor(QPoint(3, 3) * ratio);
                const QImage icon = action->icon()
                                        .pixmap(bar->iconSize(), ratio, QIcon::Normal,
                                                action->isChecked() ? QIcon::On : QIcon::Off)
                                        .toImage();
                const double standsOut = outlineContrast(icon, background);
                QVERIFY2(
                    icon.size() == bar->iconSize() * ratio && standsOut >= 3.0,
                    qPrintable(action->objectName() + ' ' + name + QString::number(standsOut)));
            }
        }
        QApplication::setPalette(desktop);
    }

    // At the smallest window, each panel shows its whole text with counts of seven digits; a
    // text too long for any panel is in its tool tip and read whole by a screen reader.
    void statusPanelsShowTheirWholeText_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("Fusion's 9 pt") << 9;
        QTest::newRow("a desktop's 11 pt") << 11;
    }
    void statusPanelsShowTheirWholeText() {
        QFETCH(int, points);
        const QFont usual = QApplication::font();
        QApplication::setFont(QFont(usual.family(), points));
        const auto restore = qScopeGuard([&] { QApplication::setFont(usual); });
        testing::WindowFixture w("a\r\n", "b\r\n", "c\r\n");
        QCOMPARE(w.window->size(), w.window->minimumSize());
        const QStatusBar* bar = w.window->statusBar();
        const QStringList widest = {"phone_numbers.txt  (8888888)", "taglines.txt  (8888888)",
                                    "area_codes.txt  (8888888)", "   8888888   8888888"};
        for (int i = 0; i < 4; ++i) {
            w.state.statusBar.setPanel(i + 1, widest[i]);
        }
        QCoreApplication::processEvents();
        QRegion taken;
        for (int i = 0; i < 4; ++i) {
            auto* panel = w.window->findChild<QLabel*>(QStringLiteral("panel%1").arg(i + 1));
            const QRect place(panel->mapTo(bar, QPoint(0, 0)), panel->size());
            QVERIFY2(panel->text() == widest[i] && panel->isVisible() &&
                         panel->toolTip() ==
                             (i == 3 ? QStringLiteral("row 8888888, record 8888888") : QString()) &&
                         panel->fontMetrics().horizontalAdvance(widest[i]) <=
                             panel->contentsRect().width() &&
                         bar->rect().contains(place) && !taken.intersects(place),
                     qPrintable(widest[i]));
            taken += place;
        }

        const QString longName = QStringLiteral("long ").repeated(20) + "name.txt  (12)";
        w.state.statusBar.setPanel(1, longName);
        auto* panel = w.window->findChild<QLabel*>(QStringLiteral("panel1"));
        QVERIFY(panel->fontMetrics().horizontalAdvance(longName) > panel->width());
        QCOMPARE(panel->toolTip(), longName);
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(panel);
        QCOMPARE(reader->text(QAccessible::Name) + reader->text(QAccessible::Value) +
                     reader->text(QAccessible::Description),
                 longName + longName + "File 1 and its rows");
        w.state.statusBar.setPanel(1, widest[0]);
        QVERIFY(panel->toolTip().isEmpty());
    }

    // The lists follow a dark theme, tinted red with the focus, and keep the exact light colours
    // under a light one; text, selection and match highlight stay readable, 4.5:1 or more, the
    // edit box's text too; a match's amber stands apart from the lists and a selected row.
    void theListsFollowALightOrDarkTheme() {
        testing::WindowFixture w("Ann\r\n", "Bob\r\n", "Cy\r\n");
        w.clickRow(w.list(lists::SlotId::A), 0);
        const QPalette desktop = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(desktop); });
        for (const bool dark : {false, true}) {
            QApplication::setPalette(dark ? darkPalette() : desktop);
            QCoreApplication::processEvents();
            const QPalette focused = w.list(lists::SlotId::A)->palette();
            const QPalette other = w.list(lists::SlotId::B)->palette();
            const QColor tint = focused.color(QPalette::Base);
            QCOMPARE(other.color(QPalette::Base),
                     dark ? darkPalette().color(QPalette::Base) : QColor(Qt::white));
            QVERIFY(dark ? tint.red() > tint.green() && tint.lightness() < 128
                         : tint == QColor(255, 224, 224));
            const QPalette box = w.edit->palette();
            QVERIFY(contrast(box.color(QPalette::Text), box.color(QPalette::Base)) >= 4.5);
            for (const QPalette& list : {focused, other}) {
                QVERIFY(contrast(list.color(QPalette::Text), list.color(QPalette::Base)) >= 4.5);
                for (const QColor& around :
                     {list.color(QPalette::Base), list.color(QPalette::Active, QPalette::Highlight),
                      list.color(QPalette::Inactive, QPalette::Highlight)}) {
                    QVERIFY2(contrast(colour(view::kMatchBackground), around) >= 1.4,
                             qPrintable(around.name()));
                }
            }
            QVERIFY(!dark || contrast(focused.color(QPalette::HighlightedText),
                                      focused.color(QPalette::Highlight)) >= 4.5);
        }
        QVERIFY(contrast(colour(view::kMatchText), colour(view::kMatchBackground)) >= 4.5);
    }

    // The change notice reads as a message bar: its own ground, an icon, push buttons with
    // access keys, announced by a screen reader as an alert.
    void theChangeNoticeIsAMessageBar() {
        testing::WindowFixture w("Ann\r\n", "Bob\r\n", "Cy\r\n");
        w.state.changeNotice.show(lists::SlotId::A, QStringLiteral("phone_numbers.txt changed."));
        auto* bar = w.window->findChild<QToolBar*>(QStringLiteral("barChangedFile"));
        QVERIFY(bar->isVisible() &&
                QAccessible::queryAccessibleInterface(bar)->role() == QAccessible::AlertMessage);
        // Merge first and the default; a conflict copy is merged or ignored.
        const auto keys = [bar] {
            QStringList shown;
            for (auto* button : bar->findChildren<QPushButton*>()) {
                if (button->isVisible()) {
                    shown << QKeySequence::mnemonic(button->text()).toString() +
                                 (button->isDefault() ? "*" : "");
                }
            }
            return shown;
        };
        QTRY_COMPARE(keys(), QStringList({"Alt+M*", "Alt+L", "Alt+K"}));
        w.state.changeNotice.show(lists::SlotId::A, QStringLiteral("A conflict copy"),
                                  ChangeNotice::Kind::ConflictCopy);
        QTRY_COMPARE(keys(), QStringList({"Alt+M*", "Alt+I"}));  // the bar lays out anew
        w.state.changeNotice.show(lists::SlotId::A, QStringLiteral("phone_numbers.txt changed."));
        const QImage shot = bar->grab().toImage();
        const QColor ground = shot.pixelColor(shot.width() - 4, shot.height() / 2);
        QVERIFY(ground != w.window->palette().color(QPalette::Window));
        QSignalSpy answered(&w.state.changeNotice, &ChangeNotice::answered);
        w.key(Qt::Key_K, Qt::AltModifier);  // Keep Mine, and the focus stays where it was
        QTRY_COMPARE(answered.size(), 1);   // a button pressed by its key shows the press first
        QVERIFY(answered[0][2].value<ChangeNotice::Answer>() == ChangeNotice::Answer::KeepMine &&
                w.focus() == w.find);
    }

    // The About window names the licence, and its credit line wraps rather than widen it.
    void theAboutWindowNamesTheLicence() {
        testing::WindowFixture w("a\r\n", "b\r\n", "c\r\n");
        widgets::AboutWindow about(about::aboutCaption(), w.window.get());
        about.adjustSize();
        auto* credit = about.findChild<QLabel*>(QStringLiteral("lblStatus"));
        QVERIFY(credit->text().contains(QStringLiteral("MIT License")));
        QCOMPARE(about.width(), 431);
    }

    // A screen reader reads every menu item by its caption without access marks, and each
    // toolbar button by its name and, apart from that, whether it is pressed.
    void menuItemsAndToolbarButtonsReadWell() {
        testing::WindowFixture w("a\r\n", "b\r\n", "c\r\n");
        for (QAction* top : w.window->menuBar()->actions()) {
            for (QAction* item : top->menu()->actions()) {
                if (item->isSeparator()) {
                    continue;
                }
                QAccessibleInterface* reader = accessibleChild(top->menu(), item);
                QString caption = item->text();
                QVERIFY2(reader != nullptr && reader->role() == QAccessible::MenuItem &&
                             bool(reader->state().checkable) == item->isCheckable() &&
                             reader->text(QAccessible::Name) == caption.remove(QLatin1Char('&')),
                         qPrintable(item->objectName()));
            }
        }
        QAction* typing = w.action("mnuSearchWhileTyping");
        QCOMPARE(typing->text(), QStringLiteral("&Search While &Typing"));  // the caption stays
        QAccessibleInterface* item =
            accessibleChild(w.window->findChild<QMenu*>(QStringLiteral("mnuOptions")), typing);
        QVERIFY(item != nullptr && !item->state().checked &&
                item->text(QAccessible::Accelerator) == "Ctrl+V");
        item->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(w.state.options.isChecked(Option::SearchWhileTyping) && item->state().checked);

        // Named after a screen reader already read the item, as when one runs from the start.
        QMenu menu;
        QAction* late = menu.addAction(QStringLiteral("&Two &Marks"));
        accessibleChild(&menu, late);
        widgets::setMenuItemAccessibleName(late, widgets::withoutAccessMarks(late->text()));
        QCOMPARE(accessibleChild(&menu, late)->text(QAccessible::Name),
                 QStringLiteral("Two Marks"));

        for (const ToolbarEntry& entry : kToolbar) {
            if (!entry.command) {
                continue;
            }
            QAccessibleInterface* reader =
                QAccessible::queryAccessibleInterface(w.button(entry.key));
            const QString state = w.action(entry.key)->isChecked() ? "pressed" : "not pressed";
            QVERIFY2(reader->text(QAccessible::Name) == QLatin1String(entry.toolTip) &&
                         reader->text(QAccessible::Description).startsWith(state) &&
                         !reader->text(QAccessible::Description).contains(entry.toolTip),
                     qPrintable(reader->text(QAccessible::Description)));
        }
        // A click changes what is read; a file button also says which file it shows.
        QWidget* edit = w.button("edit");
        // (Pressed before the click: the loop above.)
        w.click(edit);
        QCOMPARE(QAccessible::queryAccessibleInterface(edit)->text(QAccessible::Description) + '|' +
                     w.button("fileB")->accessibleDescription(),
                 "not pressed|pressed, taglines.txt");
    }
};

QTEST_MAIN(TestLooks)
#include "test_looks.moc"
