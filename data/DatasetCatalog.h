// DatasetCatalog: the declarations of every dataset of the report data module, as data.
//
// One entry per server query (name, where its statement comes from, typed parameters, persistent fields)
// and one per in-memory result set (fields, index). TDtmNmRtgen builds its datasets from these tables and
// registerProviders() derives the provider names from them, so a query cannot exist without its provider.
// Fixed statements are resource files ":/sql/<provider>.sql", one clause or fragment per line.
#pragma once

#include "FieldTypes.h"

#include <QString>
#include <QStringList>
#include <vector>

class SClientDataSet;
class TClientDataSet;
class TDtmNmRtgen;

enum class StatementSource {
    Fixed,          // the statement file of the provider, loaded into SQL at construction
    BuiltAtRunTime, // the builder of the report sets the command text before every open
    Server          // the provider holds the statement; the client sends none
};

enum class FieldFlag { None = 0, Required = 1, Calculated = 2 };

struct FieldDecl {
    QString name;
    TFieldType type;
    int size = 0; // characters, for text types
    FieldFlag flag = FieldFlag::None;
    QString displayLabel = {};
};

struct ParamDecl {
    QString name; // as the statement writes it
    TFieldType type;
};

struct QueryDecl {
    SClientDataSet* TDtmNmRtgen::*member;
    QString name;
    StatementSource source;
    std::vector<ParamDecl> params;
    std::vector<FieldDecl> fields;

    // "DtsP" followed by the query's name without its "Qry" prefix.
    QString providerName() const;
};

struct ResultSetDecl {
    TClientDataSet* TDtmNmRtgen::*member;
    QString name;
    std::vector<FieldDecl> fields;
    QString indexFieldNames = {};
};

// Every server query of the module, in the order of the reports that use them.
const std::vector<QueryDecl>& serverQueryCatalog();
// Every in-memory result set of the module.
const std::vector<ResultSetDecl>& resultSetCatalog();

// Lines of the statement file of a provider (":/sql/<provider>.sql"), without line ends; a missing file
// is a GeneralError naming the provider, since it means the resources were not linked in.
QStringList statementLines(const QString& providerName);
