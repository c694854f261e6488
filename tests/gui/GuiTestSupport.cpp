#include "GuiTestSupport.h"

#include <QAbstractButton>

namespace vastrel::test {

void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClicks(field, text);
}

void pressEnter(QWidget* field) {
    QTest::keyClick(field, Qt::Key_Return);
}

QStringList clashingMnemonics(const QWidget* form) {
    QStringList seen, clashing;
    for (const QAbstractButton* button : form->findChildren<QAbstractButton*>()) {
        const QString text = QString(button->text()).replace("&&", "");
        const qsizetype at = text.indexOf('&');
        if (at < 0 || at + 1 >= text.size())
            continue;
        const QString letter = text.mid(at + 1, 1).toLower();
        if (seen.contains(letter))
            clashing << letter;
        seen << letter;
    }
    return clashing;
}

} // namespace vastrel::test
