#include "TVNotas.h"

#include <QHBoxLayout>
#include <QLabel>

TVNotas::TVNotas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NotasVestra"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x1F, 0x3A, 0x5F));
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);

    m_titulo = new QLabel(this);
    QFont big = m_titulo->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    m_titulo->setFont(big);
    m_forma = new QLabel(this);
    m_forma->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 6, 10, 6);
    row->addWidget(m_titulo, 1);
    row->addWidget(m_forma);
}

QString TVNotas::TituloForma() const {
    return m_titulo->text();
}
void TVNotas::SetTituloForma(const QString& title) {
    m_titulo->setText(title);
}
QString TVNotas::Forma() const {
    return m_forma->text();
}
void TVNotas::SetForma(const QString& formName) {
    m_forma->setText(formName);
}
