// TVsCmbCodigo: a read-only combo of code/text pairs. The user sees the text; code reads the code of
// the chosen item. Use QComboBox::activated for user changes.
#pragma once

#include <QComboBox>
#include <QString>

class TVsCmbCodigo : public QComboBox {
    Q_OBJECT
public:
    explicit TVsCmbCodigo(QWidget* parent = nullptr);

    // Appends an item showing text and carrying code.
    void addItem(const QString& code, const QString& text);
    // Code of the current item; empty when nothing is chosen.
    QString currentCode() const;
    // Makes the item carrying code current (without emitting activated); returns false and leaves the
    // choice unchanged when no item carries it.
    bool setCurrentCode(const QString& code);
    // Index of the item carrying code, or -1.
    int indexOfCode(const QString& code) const;
};
