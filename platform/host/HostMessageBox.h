// HostMessageBox: the one way the host components and the shared dialogs show a plain message box.
// A host (or a test) may install a hook that answers instead of the modal box; without a hook the
// message is shown with QMessageBox and the user's button is returned.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

class HostMessageBox {
public:
    using Hook = std::function<QMessageBox::StandardButton(QWidget* parent, QMessageBox::Icon icon,
                                                           const QString& title, const QString& text,
                                                           QMessageBox::StandardButtons buttons)>;

    // Shows text modally (or hands it to the hook) and returns the button that closed the box.
    static QMessageBox::StandardButton show(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                            const QString& text,
                                            QMessageBox::StandardButtons buttons = QMessageBox::Ok);

    // Empty by default; while set, show() calls it and never opens a box.
    static Hook& hook();
};
