#include <QTest>

#include "platform/fake/fake_message_boxes.h"

using namespace trovix::platform;

class TestFakes : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    // Core tests script answers; a fake that answered out of turn or with a button the box
    // lacks would let wrong dialog flows pass.
    void messageBoxesAnswerInOrder() {
        FakeMessageBoxes boxes;
        boxes.answers = {MessageAnswer::No, MessageAnswer::Cancel};
        QCOMPARE(boxes.show("a", "", MessageButtons::YesNo, MessageIcon::Question),
                 MessageAnswer::No);
        QCOMPARE(boxes.show("b", "T", MessageButtons::OkCancel, MessageIcon::Warning),
                 MessageAnswer::Cancel);
        QCOMPARE(boxes.show("c", "", MessageButtons::YesNoCancel, MessageIcon::None),
                 MessageAnswer::Yes);
        boxes.defaultAnswer = MessageAnswer::No;
        QCOMPARE(boxes.show("d", "", MessageButtons::YesNoCancel, MessageIcon::None),
                 MessageAnswer::No);
        QCOMPARE(boxes.show("e", "", MessageButtons::Ok, MessageIcon::Information),
                 MessageAnswer::Ok);

        QCOMPARE(boxes.shown.size(), 5);
        QCOMPARE(boxes.shown[1].text, QString("b"));
        QCOMPARE(boxes.shown[1].title, QString("T"));
        QCOMPARE(boxes.shown[1].buttons, MessageButtons::OkCancel);
        QCOMPARE(boxes.shown[1].icon, MessageIcon::Warning);
    }
};

QTEST_GUILESS_MAIN(TestFakes)
#include "test_fakes.moc"
