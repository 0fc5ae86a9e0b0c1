#include "TReportRequest.h"

#include "DateRoutines.h"
#include "FormatSettings.h"
#include "GeneralError.h"
#include "ReportTypes.h"
#include "TApplicationObject.h"
#include "TDtmNmRtgen.h"
#include "TReportRun.h"
#include "TReportTypeRules.h"

namespace {

int empresaActual() {
    return Application().Tag;
}

// The catalogue's name of code, or nothing when the catalogue (not open before the first company is
// chosen) does not hold it.
std::optional<QString> nombreEnCatalogo(TDataSet& catalogue, const QString& codeField,
                                        const QString& nameField, const QVariant& code) {
    if (!catalogue.Active() || !catalogue.Locate(codeField, {code}))
        return std::nullopt;
    return catalogue.FieldByName(nameField).AsString();
}

void reabrir(SClientDataSet& query, const QString& param, int codEmpr) {
    query.Close();
    query.ParamByName(param).SetAsSmallInt(codEmpr);
    query.Open();
}

} // namespace

TReportRequest::TReportRequest(TDtmNmRtgen& dtm) : m_dtm(dtm) {
    m_dtm.CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).OnValidate = [this](TField& f) {
        CdsNmTnomiCOD_TNOMValidate(f);
    };
    m_dtm.CdsNmTnomi->BeforePost = [this](TDataSet& ds) { CdsNmTnomiBeforePost(ds); };
    m_dtm.CdsNmTprot->FieldByName(QStringLiteral("COD_PROT")).OnValidate = [this](TField& f) {
        CdsNmTprotCOD_PROTValidate(f);
    };
    m_dtm.CdsNmTprot->BeforePost = [this](TDataSet& ds) { CdsNmTprotBeforePost(ds); };
}

TReportRequest::~TReportRequest() {
    m_dtm.CdsNmTnomi->FieldByName(QStringLiteral("COD_TNOM")).OnValidate = nullptr;
    m_dtm.CdsNmTnomi->BeforePost = nullptr;
    m_dtm.CdsNmTprot->FieldByName(QStringLiteral("COD_PROT")).OnValidate = nullptr;
    m_dtm.CdsNmTprot->BeforePost = nullptr;
}

QString TReportRequest::LetrasNomina() const {
    QString letters;
    for (size_t i = 0; i < TiposNomina.size(); ++i)
        if (TiposNomina[i])
            letters.append(QLatin1Char(kLetrasNomina[i]));
    return letters;
}

void TReportRequest::MarcarTiposNomina(const QString& letters) {
    std::array<bool, 7> kinds{};
    const QString all = QString::fromLatin1(kLetrasNomina);
    for (const QChar c : letters) {
        const qsizetype at = all.indexOf(c.toUpper());
        if (at < 0)
            throw GeneralError(
                QStringLiteral("Tipo de nómina desconocido: '%1' (use las letras NADCXPV).").arg(c));
        kinds[static_cast<size_t>(at)] = true;
    }
    TiposNomina = kinds;
}

void TReportRequest::PeriodoPorDefecto(TDateTime today) {
    const FormatSettings& fs = FormatSettings::global();
    FecInic = fs.formatDate(PrimerDiaDelMes(today));
    FecFina = fs.formatDate(UltimoDiaDelMes(today));
}

void TReportRequest::AbrirCatalogos() {
    const int codEmpr = empresaActual();
    reabrir(*m_dtm.QryNmTprot, QStringLiteral("PSM_COD_EMPR"), codEmpr);
    reabrir(*m_dtm.QryNmTnomi, QStringLiteral("P_COD_EMPR"), codEmpr);
    reabrir(*m_dtm.QryNmParin, QStringLiteral("P_COD_EMPR"), codEmpr);
    reabrir(*m_dtm.QryNmParam, QStringLiteral("P_COD_EMPR"), codEmpr);
}

void TReportRequest::CambiarEmpresa() {
    AbrirCatalogos();
    AplicarTipoReporte(TipRepo);
}

void TReportRequest::AplicarTipoReporte(int T) {
    const TReportTypeRules rules = TReportTypeRules::of(T);
    TipRepo = T;

    m_dtm.CdsNmTprot->EmptyDataSet();
    TiposNomina = {};
    if (rules.classes == TClassListRule::DisabledEmptied)
        m_dtm.CdsNmTnomi->EmptyDataSet();

    if (rules.threeMonthPeriod) {
        const FormatSettings& fs = FormatSettings::global();
        const std::optional<TDateTime> fina = fs.parseDate(FecFina);
        if (!fina)
            throw GeneralError(QStringLiteral("'%1' no es una fecha válida.").arg(FecFina));
        // The day after the last day of the month three months back: the period covers three whole
        // calendar months ending with the final date's month.
        const TDateTime tresAtras = AjustarFecha(fina->year(), fina->month() - 3, 1);
        FecInic = fs.formatDate(UltimoDiaDelMes(tresAtras).addDays(1));
    }

    CodCuen.clear();
    m_dtm.LlenarNoved(rules.noveltyGrid, empresaActual());
}

void TReportRequest::ValidarParametros() {
    const TReportTypeRules rules = TReportTypeRules::of(TipRepo);
    const FormatSettings& fs = FormatSettings::global();

    m_dtm.CdsReporte->EmptyDataSet();
    m_dtm.CdsNomxPag->EmptyDataSet();
    m_dtm.CdsRqpReporte->EmptyDataSet();

    const std::optional<TDateTime> inic = fs.parseDate(FecInic);
    if (!inic)
        throw TRequestError(QStringLiteral("Fecha inicial inválida. Revise por favor."),
                            TRequestInput::FecInic);
    gDtFecInic = *inic;

    const std::optional<TDateTime> fina = fs.parseDate(FecFina);
    if (!fina)
        throw TRequestError(QStringLiteral("Fecha final inválida. Revise por favor."),
                            TRequestInput::FecFina);
    gDtFecFina = *fina;

    if (rules.requiresAccount) {
        const QString cuenta = CodCuen.trimmed();
        if (cuenta.isEmpty())
            throw TRequestError(QStringLiteral("Debe ingresar una cuenta válida."), TRequestInput::CodCuen);
        m_dtm.gStCodCuen = cuenta;
    }

    if (gDtFecInic > gDtFecFina)
        throw TRequestError(QStringLiteral("La fecha inicial no puede ser mayor a la fecha final."),
                            TRequestInput::None);

    if (rules.requiresKinds && LetrasNomina().isEmpty())
        throw TRequestError(QStringLiteral("Debe seleccionar un tipo de nómina..."), TRequestInput::None);

    if (rules.requiresPrototypes && m_dtm.CdsNmTprot->IsEmpty())
        throw TRequestError(QStringLiteral("Debe seleccionar un prototipo..."), TRequestInput::None);

    if (rules.requiresClasses && m_dtm.CdsNmTnomi->IsEmpty())
        throw TRequestError(QStringLiteral("No ha seleccionado ninguna Clase de Nómina para validar."),
                            TRequestInput::None);
}

TReportRun TReportRequest::Run() const {
    const auto codes = [](TDataSet& list, const QString& field) {
        QList<int> result;
        for (list.First(); !list.Eof(); list.Next())
            result << list.FieldByName(field).AsInteger();
        return result;
    };
    TReportRun run;
    run.CodEmpr = empresaActual();
    run.gDtFecInic = gDtFecInic;
    run.gDtFecFina = gDtFecFina;
    run.TiposNomina = LetrasNomina();
    run.Clases = codes(*m_dtm.CdsNmTnomi, QStringLiteral("COD_TNOM"));
    run.Prototipos = codes(*m_dtm.CdsNmTprot, QStringLiteral("COD_PROT"));
    run.CodCuen = m_dtm.gStCodCuen;
    return run;
}

void TReportRequest::Despachar(TDtmNmRtrep& rep, const TReportRun& run) const {
    ::Despachar(m_dtm, rep, run, TipRepo);
}

void TReportRequest::agregar(TDataSet& list, const QString& codeField, int code) {
    list.Append();
    try {
        list.FieldByName(codeField).SetAsInteger(code);
        list.Post();
    } catch (...) {
        list.Cancel();
        throw;
    }
}

void TReportRequest::AgregarClase(int codTnom) {
    agregar(*m_dtm.CdsNmTnomi, QStringLiteral("COD_TNOM"), codTnom);
}

void TReportRequest::AgregarPrototipo(int codProt) {
    agregar(*m_dtm.CdsNmTprot, QStringLiteral("COD_PROT"), codProt);
}

void TReportRequest::CdsNmTnomiCOD_TNOMValidate(TField& Sender) {
    if (Sender.IsNull())
        return;
    TField& nombre = m_dtm.CdsNmTnomi->FieldByName(QStringLiteral("NOM_TNOM"));
    const auto found = nombreEnCatalogo(*m_dtm.QryNmTnomi, QStringLiteral("COD_TNOM"),
                                        QStringLiteral("NOM_TNOM"), Sender.Value());
    if (!found) {
        nombre.Clear();
        throw GeneralError(MsgClaseNoEncontrada());
    }
    nombre.SetAsString(*found);
}

void TReportRequest::CdsNmTnomiBeforePost(TDataSet& DataSet) {
    TField& code = DataSet.FieldByName(QStringLiteral("COD_TNOM"));
    if (code.IsNull())
        return;
    if (!nombreEnCatalogo(*m_dtm.QryNmTnomi, QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM"),
                          code.Value())) {
        DataSet.FieldByName(QStringLiteral("NOM_TNOM")).Clear();
        throw GeneralError(MsgClaseNoEncontrada());
    }
}

void TReportRequest::CdsNmTprotCOD_PROTValidate(TField& Sender) {
    if (Sender.IsNull())
        return;
    TField& nombre = m_dtm.CdsNmTprot->FieldByName(QStringLiteral("NOM_PROT"));
    const auto found = nombreEnCatalogo(*m_dtm.QryNmTprot, QStringLiteral("COD_PROT"),
                                        QStringLiteral("NOM_PROT"), Sender.Value());
    if (!found) {
        nombre.Clear();
        throw GeneralError(MsgPrototipoNoEncontrado());
    }
    nombre.SetAsString(*found);
}

void TReportRequest::CdsNmTprotBeforePost(TDataSet& DataSet) {
    TField& code = DataSet.FieldByName(QStringLiteral("COD_PROT"));
    if (code.IsNull())
        return;
    if (!nombreEnCatalogo(*m_dtm.QryNmTprot, QStringLiteral("COD_PROT"), QStringLiteral("NOM_PROT"),
                          code.Value())) {
        DataSet.FieldByName(QStringLiteral("NOM_PROT")).Clear();
        throw GeneralError(MsgPrototipoNoEncontrado());
    }
}
