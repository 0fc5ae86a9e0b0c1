// Widget tests need a QApplication before any widget exists; the locale is pinned for every test. A
// message box that no test expected fails the test instead of waiting for a click that never comes.
#include "HostMessageBox.h"
#include "TestSupport.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    testsupport::pinFormatSettings();
    HostMessageBox::hook() = [](QWidget*, QMessageBox::Icon, const QString&, const QString& text,
                                QMessageBox::StandardButtons) {
        ADD_FAILURE() << "unexpected message box: " << text.toStdString();
        return QMessageBox::Ok;
    };
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
