#include "HostMessageBox.h"

QMessageBox::StandardButton HostMessageBox::show(QWidget* parent, QMessageBox::Icon icon,
                                                 const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons) {
    if (const Hook& h = hook())
        return h(parent, icon, title, text, buttons);
    QMessageBox box(icon, title, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

HostMessageBox::Hook& HostMessageBox::hook() {
    static Hook h;
    return h;
}
