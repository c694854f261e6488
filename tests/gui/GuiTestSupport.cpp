#include "GuiTestSupport.h"

namespace vastrel::test {

void typeInto(QWidget* field, const QString& text) {
    field->setFocus();
    QTest::keyClicks(field, text);
}

void pressEnter(QWidget* field) {
    QTest::keyClick(field, Qt::Key_Return);
}

} // namespace vastrel::test
