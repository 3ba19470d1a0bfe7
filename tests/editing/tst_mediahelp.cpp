// The Employee dialog's help with a MediaID on the offscreen platform: the description under
// the field as it is typed, and "Convert..." with its dialog driven from the keyboard.
#include "testworld.h"

#include "empdlg.h"
#include "mediaconvertdlg.h"
#include "resourceids.h"
#include "scriptedprompts.h"
#include "tarvexdoc.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace res;

namespace {

QLabel* labelFor(QWidget* dialog, QWidget* field) {
    for (QLabel* label : dialog->findChildren<QLabel*>())
        if (label->buddy() == field)
            return label;
    return nullptr;
}

QString text(const CMediaConvertDlg& dlg, int item) {
    QWidget* w = dlg.control(item);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        return edit->text();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->text();
    return {};
}

// Runs what the test does with the convert dialog once it is the active modal window.
void whenConvertOpens(std::function<void(CMediaConvertDlg&)> drive, bool& ran) {
    QTimer::singleShot(0, [drive = std::move(drive), &ran] {
        auto* dlg = qobject_cast<CMediaConvertDlg*>(QApplication::activeModalWidget());
        if (!dlg) {
            // Not open yet: look again once the event loop has gone round.
            whenConvertOpens(drive, ran);
            return;
        }
        ran = true;
        drive(*dlg);
    });
}

} // namespace

class TestMediaHelp : public QObject {
    Q_OBJECT
private slots:
    void descriptionFollowsTheTyping() {
        ScriptedPrompts prompts;
        CEmpDlg dlg(prompts);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QLineEdit* mediaId = dlg.field(IDC_EMP_MEDIAID);
        QVERIFY(dlg.mediaIdInfo());
        QCOMPARE(dlg.mediaIdInfo()->text(), QString());
        QTest::keyClicks(mediaId, "6d00001a2b3c4d4");
        QCOMPARE(dlg.mediaIdInfo()->text(), QStringLiteral("15 of 16 characters"));
        QTest::keyClicks(mediaId, "4");
        const QString card =
            QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 6D: correct");
        QCOMPARE(dlg.mediaIdInfo()->text(), card);
        QCOMPARE(mediaId->accessibleDescription(), card);
        // A wrong check byte names the right one.
        QTest::keyClick(mediaId, Qt::Key_Home);
        QTest::keyClick(mediaId, Qt::Key_Delete);
        QTest::keyClick(mediaId, Qt::Key_Delete);
        QTest::keyClicks(mediaId, "12");
        QCOMPARE(dlg.mediaIdInfo()->text(),
                 QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 12: wrong, "
                                "expected 6D"));
        // Any 16 characters are still a MediaID the dialog takes; the text says what is odd.
        mediaId->setText(QStringLiteral("0123456789ABCDEX"));
        QCOMPARE(dlg.mediaIdInfo()->text(), QStringLiteral("\"X\" is not a hexadecimal digit."));
    }

    void convertLooksAndSaysWhatEachFormExpects() {
        CMediaConvertDlg dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Convert a Printed Number"));
        for (const auto& [item, label] :
             QList<std::pair<int, QString>>{{IDC_CONVERT_FORM, "&Printed on the medium"},
                                            {IDC_CONVERT_INPUT, "&Number"},
                                            {IDC_CONVERT_RESULT, "&MediaID"}}) {
            QVERIFY(labelFor(&dlg, dlg.control(item)));
            QCOMPARE(labelFor(&dlg, dlg.control(item))->text(), label);
            QCOMPARE(dlg.control(item)->accessibleName(), QString(label).remove('&'));
        }
        auto* forms = qobject_cast<QComboBox*>(dlg.control(IDC_CONVERT_FORM));
        QCOMPARE(forms->count(), 4);
        QStringList hints;
        for (int i = 0; i < forms->count(); ++i) {
            forms->setCurrentIndex(i);
            QCOMPARE(dlg.Form(), CMediaConvertDlg::kForms[i]);
            hints << text(dlg, IDC_CONVERT_HINT);
            QCOMPARE(dlg.control(IDC_CONVERT_INPUT)->accessibleDescription(), hints.last());
        }
        QCOMPARE(hints.removeDuplicates(), 0);
        dlg.SetForm(MediaForm::RfDecimal);
        QCOMPARE(text(dlg, IDC_CONVERT_HINT),
                 QStringLiteral("The decimal number printed on the card: up to 10 digits, at "
                                "most 4294967295."));
        QVERIFY(!dlg.control(IDC_CONVERT_USE)->isEnabled());
    }

    // The result and the reason appear as the number is typed; Enter uses only a result.
    void convertShowsTheResultAsTyped() {
        CMediaConvertDlg dlg;
        dlg.SetForm(MediaForm::RfDecimal);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QWidget* input = dlg.control(IDC_CONVERT_INPUT);
        QCOMPARE(QApplication::focusWidget(), input);
        // 4294967296 is one more than the largest card number.
        QTest::keyClicks(input, "4294967296");
        QCOMPARE(text(dlg, IDC_CONVERT_RESULT), QString());
        QCOMPARE(text(dlg, IDC_CONVERT_STATUS),
                 QStringLiteral("4294967296 is larger than 4294967295, the largest card number."));
        QVERIFY(!dlg.control(IDC_CONVERT_USE)->isEnabled());
        QTest::keyClick(input, Qt::Key_Return);
        QVERIFY(dlg.isVisible());
        // 12345 = 0x3039: 0000 00003039 44, check byte CC.
        qobject_cast<QLineEdit*>(input)->clear();
        QTest::keyClicks(input, "12345");
        QCOMPARE(text(dlg, IDC_CONVERT_RESULT), QStringLiteral("CC00000000303944"));
        QCOMPARE(text(dlg, IDC_CONVERT_STATUS),
                 QStringLiteral("RF card, serial number 000000003039, check byte CC: correct"));
        QCOMPARE(dlg.control(IDC_CONVERT_RESULT)->accessibleDescription(),
                 text(dlg, IDC_CONVERT_STATUS));
        // Another form reads the same text anew: 12345 is no Wiegand-26 pair.
        auto* forms = qobject_cast<QComboBox*>(dlg.control(IDC_CONVERT_FORM));
        forms->setCurrentIndex(forms->findData(int(MediaForm::Wiegand26)));
        QCOMPARE(text(dlg, IDC_CONVERT_RESULT), QString());
        QVERIFY(text(dlg, IDC_CONVERT_STATUS).startsWith("Expected the facility code"));
        QTest::keyClicks(input, "/1");
        // 12345 is no facility code.
        QCOMPARE(text(dlg, IDC_CONVERT_STATUS),
                 QStringLiteral("The facility code 12345 is not between 0 and 255."));
        qobject_cast<QLineEdit*>(input)->clear();
        // 123 * 65536 + 45678 = 0x7BB26E: check byte 13.
        QTest::keyClicks(input, "123:45678");
        QCOMPARE(dlg.MediaId(), QStringLiteral("130000007BB26E44"));
        QTest::keyClick(input, Qt::Key_Return);
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    void useFillsTheMediaId() {
        CTarvexDoc doc;
        ScriptedPrompts prompts;
        CEmpDlg dlg(prompts, nullptr, &doc);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowActive(&dlg));
        QPushButton* convert = dlg.convertButton();
        QCOMPARE(convert->text(), QStringLiteral("Con&vert..."));
        // From the MediaID, Tab reaches Convert... and then Last Name.
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_MEDIAID));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), convert);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), dlg.field(IDC_EMP_LASTNAME));

        // Cancel leaves the field as it was.
        dlg.field(IDC_EMP_MEDIAID)->setText(QStringLiteral("ABC"));
        bool ran = false;
        whenConvertOpens([](CMediaConvertDlg& c) { QTest::keyClick(&c, Qt::Key_Escape); }, ran);
        // The mnemonic clicks the button a moment later, as a mouse click would look.
        QTest::keyClick(&dlg, Qt::Key_V, Qt::AltModifier);
        QTRY_VERIFY(ran);
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("ABC"));

        // 439041101 = 0x1A2B3C4D: the RF card 6D00001A2B3C4D44.
        ran = false;
        whenConvertOpens(
            [](CMediaConvertDlg& c) {
                c.SetForm(MediaForm::RfDecimal);
                QTest::keyClicks(c.control(IDC_CONVERT_INPUT), "439041101");
                QTest::mouseClick(c.control(IDC_CONVERT_USE), Qt::LeftButton);
            },
            ran);
        QTest::mouseClick(convert, Qt::LeftButton);
        QVERIFY(ran);
        QCOMPARE(dlg.MediaIdText(), QStringLiteral("6D00001A2B3C4D44"));
        QCOMPARE(dlg.mediaIdInfo()->text(),
                 QStringLiteral("RF card, serial number 00001A2B3C4D, check byte 6D: correct"));
        // The field takes the focus back when the window is active again (offscreen nothing
        // activates it).
        QCOMPARE(dlg.focusWidget(), dlg.field(IDC_EMP_MEDIAID));
        QTest::keyClicks(dlg.field(IDC_EMP_LASTNAME), "Doe");
        QTest::keyClicks(dlg.field(IDC_EMP_FIRSTNAME), "Jane");
        dlg.accept();
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
        QCOMPARE(dlg.MediaId(), std::string("6D00001A2B3C4D44"));
    }

    void editingCannotConvert() {
        ScriptedPrompts prompts;
        CEmpDlg dlg(prompts);
        dlg.SetMediaId(QStringLiteral("6300001A2B3C4D01"));
        dlg.SetEditing(true);
        QVERIFY(!dlg.convertButton()->isEnabled());
        QCOMPARE(dlg.mediaIdInfo()->text(),
                 QStringLiteral("iButton, serial number 00001A2B3C4D, check byte 63: correct"));
    }
};

TARVEX_TEST_MAIN(TestMediaHelp)
#include "tst_mediahelp.moc"
