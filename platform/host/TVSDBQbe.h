// TVSDBQbe: query-by-example over a server query. The button remembers the dataset's statement as its
// base; a filter is the base followed by a condition text, and the dataset is reopened on it.
//
// Filters chosen by the user (field, operator, value) become "(COLUMN op :QBE_n)" conditions, appended
// with " WHERE " when the base has no WHERE of its own (Tag 0) and " AND " otherwise (Tag 1), joined by
// " AND ". Every value is bound as a typed parameter QBE_1, QBE_2... of the dataset, converted to the
// field's type first; no value is ever written into the statement text. With SQLMayusculas on, text
// comparisons are made in upper case on both sides (UPPER(COLUMN) against UPPER(:QBE_n)), which makes them
// case-insensitive on every backend. "empieza por" and "contiene" only apply to text fields
// and match the value literally (its % and _ are escaped).
#pragma once

#include "SClientDataSet.h"

#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QStringList>

struct TQbeCondicion {
    QString campo;    // field name of the dataset
    QString operador; // one of TVSDBQbe::Operadores()
    QString valor;    // as the user typed it (dates in DateFormat, decimals with either separator)
};

class TVSDBQbe : public QPushButton {
    Q_OBJECT
public:
    explicit TVSDBQbe(QWidget* parent = nullptr);

    // Points the component at dataset and takes its current statement as the base.
    void SetDataset(SClientDataSet* dataset);
    SClientDataSet* Dataset() const { return m_dataset; }

    // Takes the dataset's current statement as the base again and forgets the last filter; with abrir,
    // reopens the dataset on the base.
    void Inicializar(bool abrir);

    // Closes the dataset, sets its statement to the base followed by text and opens it. The empty text
    // reopens it on the base. Errors of the open reach the caller (GeneralError).
    void Vquery(const QString& text);

    // Builds the filter text of conditions, binds their values and runs Vquery with it. Throws
    // GeneralError (and leaves the dataset as it was) for an unknown field or operator, a value that
    // does not convert to the field's type, or a text operator on a non-text field.
    void AplicarFiltro(const QList<TQbeCondicion>& conditions);

    // The click action: a modal dialog where the user lists conditions; on acceptance AplicarFiltro.
    // Returns true when a filter was applied. Errors are shown in a message box and the dialog stays open.
    bool Ejecutar();

    // The condition text of the last Vquery (what followed the base statement).
    QString Filtro() const { return m_filtro; }
    QString BaseSQL() const { return m_base; }

    // "=", "<>", "<", ">", "<=", ">=", "empieza por", "contiene".
    static QStringList Operadores();

    // 0: the base statement has no WHERE clause; 1: it has one (conditions are then appended with AND).
    int Tag = 0;
    // Short date format (Qt notation) in which date values are typed; empty: the runtime's one.
    QString DateFormat;
    // Text comparisons in upper case on both sides.
    bool SQLMayusculas = false;

Q_SIGNALS:
    // After the dataset was reopened by Vquery.
    void queried();

private:
    QPointer<SClientDataSet> m_dataset;
    QString m_base;
    QString m_filtro;
    QList<TQbeCondicion> m_ultimas;
};
