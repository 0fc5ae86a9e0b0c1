#include "TVsCmbCodigo.h"

TVsCmbCodigo::TVsCmbCodigo(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    setMaxVisibleItems(15);
}

void TVsCmbCodigo::addItem(const QString& code, const QString& text) {
    QComboBox::addItem(text, code);
}

QString TVsCmbCodigo::currentCode() const {
    const int i = currentIndex();
    return i < 0 ? QString() : itemData(i).toString();
}

int TVsCmbCodigo::indexOfCode(const QString& code) const {
    for (int i = 0; i < count(); ++i)
        if (itemData(i).toString() == code)
            return i;
    return -1;
}

bool TVsCmbCodigo::setCurrentCode(const QString& code) {
    const int i = indexOfCode(code);
    if (i < 0)
        return false;
    setCurrentIndex(i);
    return true;
}
