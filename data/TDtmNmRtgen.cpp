#include "TDtmNmRtgen.h"

#include "DatasetCatalog.h"
#include "DateRoutines.h"

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

    QryRpTemporales->OnCalcFields = [this](TDataSet& d) { QryRpTemporalesCalcFields(d); };
    QryRpTemporales->AfterScroll = [this](TDataSet& d) { QryRpTemporalesAfterScroll(d); };
    QryGestionHumana->OnCalcFields = [this](TDataSet& d) { QryGestionHumanaCalcFields(d); };
    QrySeguridadSocial->OnCalcFields = [this](TDataSet& d) { QrySeguridadSocialCalcFields(d); };
    QryParafiscales->OnCalcFields = [this](TDataSet& d) { QryParafiscalesCalcFields(d); };
    QryCmpTotNomi->OnCalcFields = [this](TDataSet& d) { QryCmpTotNomiCalcFields(d); };
    CdsGH->OnCalcFields = [this](TDataSet& d) { CdsGHCalcFields(d); };
    CdsEmpTemp->FieldByName(QStringLiteral("TIP_DOCU")).OnGetText = [](TField& sender, QString& text, bool) {
        text = NombreTipoDocumento(sender.IsNull() ? QString() : sender.AsString());
    };
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

QString TDtmNmRtgen::NombreTipoDocumento(const QString& code) {
    const QString c = code.trimmed();
    if (c == QLatin1String("C"))
        return QStringLiteral("CC");
    if (c == QLatin1String("E"))
        return QStringLiteral("CE");
    if (c == QLatin1String("R"))
        return QStringLiteral("RC");
    if (c == QLatin1String("T"))
        return QStringLiteral("TI");
    return QString();
}

namespace {

// Name of a place of the territorial division (municipality 0 is the department itself); empty when the
// division has no such place.
QString NombreDivision(SClientDataSet& divip, int pais, int dpto, int mpio) {
    divip.Close();
    divip.ParamByName(QStringLiteral("P_COD_PAIS")).SetAsSmallInt(pais);
    divip.ParamByName(QStringLiteral("P_COD_DPTO")).SetAsSmallInt(dpto);
    divip.ParamByName(QStringLiteral("P_COD_MPIO")).SetAsSmallInt(mpio);
    divip.Open();
    return divip.IsEmpty() ? QString() : divip.FieldByName(QStringLiteral("NOM_MPIO")).AsString().trimmed();
}

QString Ceros(int length, int value) {
    return AjustarLongitud(length, QString::number(value), QStringLiteral("I"), QLatin1Char('0'),
                           QStringLiteral("D"));
}

} // namespace

void TDtmNmRtgen::QryRpTemporalesCalcFields(TDataSet& DataSet) {
    TField& dpto = DataSet.FieldByName(QStringLiteral("DtfNmbDpto"));
    TField& mpio = DataSet.FieldByName(QStringLiteral("DtfNmbMpio"));
    dpto.SetAsString(QString());
    mpio.SetAsString(QString());
    const TField& codPais = DataSet.FieldByName(QStringLiteral("COD_PAIS"));
    const TField& codDpto = DataSet.FieldByName(QStringLiteral("COD_DPTO"));
    const TField& codMpio = DataSet.FieldByName(QStringLiteral("COD_MPIO"));
    if (codPais.IsNull() || codDpto.IsNull())
        return;
    const int pais = codPais.AsInteger();
    const int d = codDpto.AsInteger();
    dpto.SetAsString(Ceros(2, d) + QLatin1Char('-') + NombreDivision(*QryGnDivip, pais, d, 0));
    if (codMpio.IsNull())
        return;
    const int m = codMpio.AsInteger();
    mpio.SetAsString(Ceros(2, d) + Ceros(3, m) + QLatin1Char('-') + NombreDivision(*QryGnDivip, pais, d, m));
}

void TDtmNmRtgen::QryRpTemporalesAfterScroll(TDataSet& DataSet) {
    QrySlRepf->Close();
    // The requisitions were read for the run's company: its requirements are that company's too.
    QrySlRepf->ParamByName(QStringLiteral("P_COD_EMPR"))
        .SetAsInteger(QryRpTemporales->ParamByName(QStringLiteral("P_COD_EMPR")).AsInteger());
    if (DataSet.IsEmpty())
        return;
    QrySlRepf->ParamByName(QStringLiteral("P_COD_GRSE"))
        .SetAsString(DataSet.FieldByName(QStringLiteral("COD_GRSE")).AsString());
    QrySlRepf->ParamByName(QStringLiteral("P_COD_REQS"))
        .SetAsString(DataSet.FieldByName(QStringLiteral("COD_REQS")).AsString());
    QrySlRepf->Open();
}

QString TDtmNmRtgen::NombreMes(int month, int year) {
    static const char* const prefixes[] = {"ENERO DE ",  "FEBRERO DE ",   "MARZO DE ",   "ABRIL DE ",
                                           "MAYO DE ",   "JUNIO DE ",     "JULIO DE ",   "AGOSTO DE ",
                                           "SEPTIEMBRE DE ", "OCTUBRE DE ", "NOVIEMBRE DE ", "DICIEMBRE DE "};
    if (month < 1 || month > 12)
        return QString();
    return QString::fromLatin1(prefixes[month - 1]) + QString::number(year);
}

QString TDtmNmRtgen::NombreTipoNominaLetra(const QString& kind) {
    switch (kind.isEmpty() ? '\0' : kind.at(0).toLatin1()) {
    case 'A': return QStringLiteral("ADICIONAL");
    case 'C': return QStringLiteral("CESANTIAS");
    case 'D': return QStringLiteral("DEFINITIVA");
    case 'N': return QStringLiteral("NORMAL");
    case 'P': return QStringLiteral("PRIMAS");
    case 'V': return QStringLiteral("VACACIONES");
    case 'X': return QStringLiteral("EXTRA NÓMINA");
    default: return QString();
    }
}

QString TDtmNmRtgen::NombreSexo(const QString& code, bool completo) {
    const QString c = code.trimmed().left(1);
    if (c == QLatin1String("F"))
        return completo ? QStringLiteral("FEMENINO") : c;
    if (c == QLatin1String("M"))
        return completo ? QStringLiteral("MASCULINO") : c;
    return QString();
}

QString TDtmNmRtgen::NombreEstadoCivil(const QString& code) {
    const QString c = code.trimmed();
    switch (c.isEmpty() ? 'O' : c.at(0).toLatin1()) {
    case 'C': return QStringLiteral("CASADO");
    case 'D': return QStringLiteral("DIVORCIO");
    case 'O': return QStringLiteral("OTRO");
    case 'S': return QStringLiteral("SOLTERO");
    case 'U': return QStringLiteral("UNION LIBRE");
    case 'V': return QStringLiteral("VIUDO");
    default: return QString();
    }
}

QString TDtmNmRtgen::NombreTipoNomina(int codEmpr, int codTnom) {
    const QPair<int, int> key(codEmpr, codTnom);
    if (const auto known = m_nombresTipoNomina.constFind(key); known != m_nombresTipoNomina.constEnd())
        return *known;
    QryNmTnomi1->Close();
    QryNmTnomi1->ParamByName(QStringLiteral("cod_empr")).SetAsSmallInt(codEmpr);
    QryNmTnomi1->ParamByName(QStringLiteral("cod_tnom")).SetAsSmallInt(codTnom);
    QryNmTnomi1->Open();
    const QString name =
        QryNmTnomi1->IsEmpty() ? QString() : QryNmTnomi1->FieldByName(QStringLiteral("nom_tnom")).AsString();
    QryNmTnomi1->Close();
    m_nombresTipoNomina.insert(key, name);
    return name;
}

namespace {

QString TextoDe(const TDataSet& row, const char* field) {
    const TField& f = row.FieldByName(QLatin1String(field));
    return f.IsNull() ? QString() : f.AsString();
}

// CONTEO as a percentage of TOT_EMPL; empty for an empty company (no division by zero) and, when
// countRequired, for a zero count.
void PorCentaje(TDataSet& row, bool countRequired) {
    TField& out = row.FieldByName(QStringLiteral("DtfPorCent"));
    const int conteo = row.FieldByName(QStringLiteral("CONTEO")).AsInteger();
    const int total = row.FieldByName(QStringLiteral("TOT_EMPL")).AsInteger();
    if (total > 0 && (conteo > 0 || !countRequired))
        out.SetAsFloat(conteo * 100.0 / total);
    else
        out.Clear();
}

} // namespace

// The class name comes from the row's own company: the report covers every company.
void TDtmNmRtgen::QryGestionHumanaCalcFields(TDataSet& DataSet) {
    DataSet.FieldByName(QStringLiteral("DtfNmbSexo")).SetAsString(NombreSexo(TextoDe(DataSet, "SEX_EMPL"), true));
    DataSet.FieldByName(QStringLiteral("DtfEstCivi")).SetAsString(NombreEstadoCivil(TextoDe(DataSet, "EST_CIVI")));
    PorCentaje(DataSet, false);
    DataSet.FieldByName(QStringLiteral("DtfNmbTipNom"))
        .SetAsString(NombreTipoNomina(DataSet.FieldByName(QStringLiteral("COD_EMPR")).AsInteger(),
                                      DataSet.FieldByName(QStringLiteral("COD_TNOM")).AsInteger()));
}

void TDtmNmRtgen::QrySeguridadSocialCalcFields(TDataSet& DataSet) {
    DataSet.FieldByName(QStringLiteral("DtfNmbMes"))
        .SetAsString(NombreMes(DataSet.FieldByName(QStringLiteral("MES_PROC")).AsInteger(),
                               DataSet.FieldByName(QStringLiteral("ANO_PROC")).AsInteger()));
    DataSet.FieldByName(QStringLiteral("DtfNmbTipNom"))
        .SetAsString(NombreTipoNomina(DataSet.FieldByName(QStringLiteral("COD_EMPR")).AsInteger(),
                                      DataSet.FieldByName(QStringLiteral("COD_TNOM")).AsInteger()));
}

void TDtmNmRtgen::QryParafiscalesCalcFields(TDataSet& DataSet) {
    QrySeguridadSocialCalcFields(DataSet);
}

void TDtmNmRtgen::QryCmpTotNomiCalcFields(TDataSet& DataSet) {
    QrySeguridadSocialCalcFields(DataSet);
    DataSet.FieldByName(QStringLiteral("DtfNmbTnom")).SetAsString(NombreTipoNominaLetra(TextoDe(DataSet, "TIP_NOMI")));
}

void TDtmNmRtgen::CdsGHCalcFields(TDataSet& DataSet) {
    DataSet.FieldByName(QStringLiteral("DtfNmbSexo")).SetAsString(NombreSexo(TextoDe(DataSet, "SEX_EMPL"), false));
    DataSet.FieldByName(QStringLiteral("DtfEstCivi")).SetAsString(NombreEstadoCivil(TextoDe(DataSet, "EST_CIVI")));
    PorCentaje(DataSet, true);
}

TDataSet* TDtmNmRtgen::dataSetByName(const QString& name) const {
    return m_byName.value(name, nullptr);
}
