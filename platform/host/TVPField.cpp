#include "TVPField.h"

TVPField::TVPField(QWidget* parent) : QPushButton(QStringLiteral("..."), parent) {
    setFocusPolicy(Qt::NoFocus);
}
