// SClientDataSet: a server query. Its statement is held as text lines (SQL, mirrored in CommandText);
// Open sends the text and the typed Params to the provider named ProviderName on RemoteServer and keeps
// every returned row.
//
// Persistent fields: when fields are declared, each returned column is matched to the field of the same
// name (case-insensitive) and converted to the field's declared type; a declared data field that the
// statement does not return is an error naming it; returned columns without a field are ignored. Without
// declared fields, fields are created from the returned columns on Open and dropped again on Close.
//
// Params: declared ones keep their type; when the command text is set and no parameter is declared, the
// named parameters of the text (":NAME") are declared untyped (text), once per name. Untyped parameters
// take the type of the first typed setter used on them. A later text declares its own names again,
// keeping type and value of the names it shares with the earlier text.
#pragma once

#include "TDataSet.h"
#include "TParam.h"

#include <QStringList>

class TRemoteServer;
struct TResultSet;

class SClientDataSet : public TDataSet {
    Q_OBJECT
public:
    explicit SClientDataSet(const QString& name = QString(), QObject* parent = nullptr);

    QStringList SQL() const { return m_sql; }
    void SetSQL(const QStringList& lines);
    QString CommandText() const { return m_commandText; }
    void SetCommandText(const QString& text);

    TParams& Params() { return m_params; }
    const TParams& Params() const { return m_params; }
    TParam& ParamByName(const QString& name) { return m_params.ParamByName(name); }

    QString ProviderName() const { return m_providerName; }
    void SetProviderName(const QString& name) { m_providerName = name; }
    TRemoteServer* RemoteServer() const { return m_remoteServer; }
    void SetRemoteServer(TRemoteServer* server) { m_remoteServer = server; }

    // Settings of the suite's host class, kept at the values the module sets.
    int Company = 0;
    bool SAuditFields = false;

protected:
    std::vector<QVariantList> InternalOpen() override;
    void InternalClose() override;

private:
    QStringList m_sql;
    QString m_commandText;
    TParams m_params;
    QString m_providerName;
    TRemoteServer* m_remoteServer = nullptr;
    bool m_dynamicFields = false;
    // True while Params holds only what the text declared: a new text then declares its own names.
    bool m_autoParams = false;
    void declareParamsOfText();
    void createFieldsFrom(const TResultSet& result);
};

// Names of the named parameters (":NAME") of a statement, in first-occurrence order, skipping string
// literals, comments and "::" casts.
QStringList parameterNamesOf(const QString& statement);
