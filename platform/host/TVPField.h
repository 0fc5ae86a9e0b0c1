// TVPField: a lookup field: a (usually hidden) button whose properties describe a lookup for the lookup
// dialog (dialogs/TCaptura): the statement, the columns to return and the returned values, the caption
// and column titles, and optionally a destination dataset with destination field names. The owner runs
// the lookup from its clicked() handler and reads the chosen row from Valores.
#pragma once

#include <QPushButton>
#include <QString>
#include <QStringList>

class SDCOMConnection;
class TDataSet;

class TVPField : public QPushButton {
    Q_OBJECT
public:
    explicit TVPField(QWidget* parent = nullptr);

    // Statement lines of the lookup (run through the connection's "DtsPTemporal" provider).
    QStringList SQL;
    // Names of the columns to return, in order; Valores receives their values as text in that order.
    QStringList Variables;
    QStringList Valores;
    // Dialog caption and, optionally, one title per column of the statement.
    QString Titulo;
    QStringList Titulos;
    // Destination dataset and its field names, parallel to Variables (full lookup only).
    TDataSet* DataSet = nullptr;
    QStringList Destino;
    // Name of a column of the statement whose value is kept in LookUpFieldValue on a full lookup.
    QString LookUpField;
    QString LookUpFieldValue;
    // Kept for the suite's settings; the lookup does not read it.
    QString DataBaseName;
    // 0: the lookup loads every row when it opens; otherwise it starts with the query-by-example filter.
    int Tag = 0;
    // Application-server connection the lookup runs on.
    SDCOMConnection* Connection = nullptr;
};
