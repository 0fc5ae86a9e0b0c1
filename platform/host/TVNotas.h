// TVNotas: the title bar of a process form: the form's title in large type and, at the right, the
// form's internal name (which support staff ask users to read out).
#pragma once

#include <QString>
#include <QWidget>

class QLabel;

class TVNotas : public QWidget {
    Q_OBJECT
public:
    explicit TVNotas(QWidget* parent = nullptr);

    QString TituloForma() const;
    void SetTituloForma(const QString& title);
    QString Forma() const;
    void SetForma(const QString& formName);

private:
    QLabel* m_titulo;
    QLabel* m_forma;
};
