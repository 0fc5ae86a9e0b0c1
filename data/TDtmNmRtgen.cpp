#include "TDtmNmRtgen.h"

#include "DatasetCatalog.h"

namespace {

void declareFields(TDataSet& dataSet, const std::vector<FieldDecl>& fields) {
    for (const FieldDecl& decl : fields) {
        const TFieldKind kind =
            decl.flag == FieldFlag::Calculated ? TFieldKind::fkCalculated : TFieldKind::fkData;
        TField& field = dataSet.AddField(decl.name, decl.type, decl.size, kind);
        field.SetRequired(decl.flag == FieldFlag::Required);
        if (!decl.displayLabel.isEmpty())
            field.SetDisplayLabel(decl.displayLabel);
    }
}

} // namespace

TDtmNmRtgen::TDtmNmRtgen(TRemoteServer* server, QObject* parent) : QObject(parent), m_server(server) {
    setObjectName(QStringLiteral("DtmNmRtgen"));

    for (const QueryDecl& decl : serverQueryCatalog()) {
        auto* query = new SClientDataSet(decl.name, this);
        query->SetProviderName(decl.providerName());
        query->SetRemoteServer(server);
        query->Company = 0;
        query->SAuditFields = false;
        // Parameters first: a text set on a query without declared parameters would declare its names
        // untyped, and the builders' texts rely on the types declared here.
        for (const ParamDecl& param : decl.params)
            query->Params().Add(param.name, param.type);
        if (decl.source == StatementSource::Fixed)
            query->SetSQL(statementLines(decl.providerName()));
        declareFields(*query, decl.fields);
        this->*decl.member = query;
        m_serverQueries.push_back(query);
        m_byName.insert(decl.name, query);
    }

    for (const ResultSetDecl& decl : resultSetCatalog()) {
        auto* resultSet = new TClientDataSet(decl.name, this);
        declareFields(*resultSet, decl.fields);
        resultSet->CreateDataSet();
        if (!decl.indexFieldNames.isEmpty())
            resultSet->SetIndexFieldNames(decl.indexFieldNames);
        this->*decl.member = resultSet;
        m_resultSets.push_back(resultSet);
        m_byName.insert(decl.name, resultSet);
    }

    DtsNmRtgen = new TDataSource(QStringLiteral("DtsNmRtgen"), QryNmRtgen, this);
    DtsNmTnomi = new TDataSource(QStringLiteral("DtsNmTnomi"), CdsNmTnomi, this);
    DtsNmTprot = new TDataSource(QStringLiteral("DtsNmTprot"), CdsNmTprot, this);
    DtsCueNoved = new TDataSource(QStringLiteral("DtsCueNoved"), QryNmPrtgeCn, this);
}

TDtmNmRtgen::~TDtmNmRtgen() = default;

void TDtmNmRtgen::LlenarNoved(bool Novedades, int codEmpr) {
    CdsCueNoved->EmptyDataSet();
    CdsCmpTotNomi->EmptyDataSet();
    if (Novedades) {
        QryNmPrtgeCn->Close();
        QryNmPrtgeCn->ParamByName(QStringLiteral("COD_EMPR")).SetAsSmallInt(codEmpr);
        QryNmPrtgeCn->Open();
    }
}

TDataSet* TDtmNmRtgen::dataSetByName(const QString& name) const {
    return m_byName.value(name, nullptr);
}
