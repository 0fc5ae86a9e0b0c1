// TRemoteServer: what a server query needs of the application server: run the statement of a named
// provider with typed parameters and hand back every row. Implemented by the application-server
// connection (platform/server); tests may supply their own.
#pragma once

#include "FieldTypes.h"
#include "TParam.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <vector>

struct TResultColumn {
    QString name;
    // What the server says the column holds; ftUnknown when it cannot tell (SQLite expressions).
    TFieldType type = TFieldType::ftUnknown;
};

struct TResultSet {
    std::vector<TResultColumn> columns;
    // One QVariantList per row, one value per column: int/qint64, double, QString, QByteArray, or a date
    // as double serial (TDateTime value) for columns of type ftDateTime; null = invalid QVariant.
    std::vector<QVariantList> rows;
};

class TRemoteServer {
public:
    virtual ~TRemoteServer() = default;
    // Runs provider's statement (commandText when the provider takes the client's text) with params.
    // Throws GeneralError with the server's message on any failure; an unknown provider is refused.
    virtual TResultSet Execute(const QString& providerName, const QString& commandText,
                               const TParams& params) = 0;
};
