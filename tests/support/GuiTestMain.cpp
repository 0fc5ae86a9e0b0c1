// main() of the tests that need a QApplication (fonts, widgets, painting); runs offscreen under ctest with
// the locale pinned. Built a second time with VN_TEST_MAIN_HOST for the widget tests of the host and the
// dialogs: there a message box that no test expected fails the test instead of waiting for a click that
// never comes.
#include "TestSupport.h"

#include <QApplication>
#include <gtest/gtest.h>

#ifdef VN_TEST_MAIN_HOST
#include "HostMessageBox.h"
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testsupport::pinFormatSettings();
#ifdef VN_TEST_MAIN_HOST
    HostMessageBox::hook() = [](QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                QMessageBox::StandardButtons) {
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        return QMessageBox::Ok;
    };
#endif
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
