// TReportRequest: everything the user chooses on the report form, kept apart from the widgets: the period
// texts, the report type, the payroll kinds, the account, and (in the data module) the class and prototype
// lists. The form shows and edits it; the batch command fills it from its options; both then run the
// same reshaping (AplicarTipoReporte) and validation (ValidarParametros), describe the run (Run) and
// dispatch it (Despachar).
//
// The current company is the application object's Tag, as everywhere in the module.
//
// The request installs the code checks of the two lists on the data module (field validation of
// COD_TNOM / COD_PROT and the lists' BeforePost); one request per data module.
#pragma once

#include "TDateTime.h"
#include "TRequestError.h"

#include <QString>
#include <array>

class TDataSet;
class TDtmNmRtgen;
class TField;
class TDtmNmRtrep;
struct TReportRun;

class TReportRequest {
public:
    explicit TReportRequest(TDtmNmRtgen& dtm);
    ~TReportRequest();
    TReportRequest(const TReportRequest&) = delete;
    TReportRequest& operator=(const TReportRequest&) = delete;

    TDtmNmRtgen& DataModule() const { return m_dtm; }

    // --- the inputs ---
    // Texts of the two date edits, in the locale's short date format.
    QString FecInic;
    QString FecFina;
    // Item index of the report-type group; -1 while no type is chosen.
    int TipRepo = -1;
    // The payroll kinds N, A, D, C, X, P, V, in this order (see kLetrasNomina).
    std::array<bool, 7> TiposNomina{};
    // The account to reconcile (report type 0).
    QString CodCuen;

    static constexpr char kLetrasNomina[] = "NADCXPV";
    // The checked kinds as letters in the fixed order ("NAV").
    QString LetrasNomina() const;
    // Checks exactly the kinds named by letters (any order, any case); throws GeneralError naming the
    // first character that is no kind.
    void MarcarTiposNomina(const QString& letters);

    // --- set by ValidarParametros ---
    TDateTime gDtFecInic;
    TDateTime gDtFecFina;

    // The form's starting period: the first and the last day of today's month.
    void PeriodoPorDefecto(TDateTime today);

    // Re-opens the company's catalogues (prototypes, payroll classes, contribution and general
    // parameters) for the current company.
    void AbrirCatalogos();
    // The company change without a window: AbrirCatalogos, then the report type applied again.
    void CambiarEmpresa();

    // Reshapes the request for report type T (see TReportTypeRules): empties the prototype list, unchecks
    // the kinds, empties the class list for the types that do not use it, moves the start date for type
    // 10 (throws the date conversion error when the final date is no date), clears the account and runs
    // the data module's novelty-account filling. TipRepo := T.
    void AplicarTipoReporte(int T);

    // The accept handler's validation: empties the shared result sets, stores the period in gDtFecInic /
    // gDtFecFina and the account in the data module's gStCodCuen (type 0), and throws TRequestError with
    // the message and the input to focus at the first rule that fails.
    void ValidarParametros();

    // The run the validated request describes: the current company, the period, the kinds, the codes of
    // the two lists and the account. Who signs, the host and the presenter are the caller's to add.
    TReportRun Run() const;
    // Runs the builder of TipRepo for run (nothing without a type).
    void Despachar(TDtmNmRtrep& rep, const TReportRun& run) const;

    // --- the lists, as the batch command fills them: append, set the code (the code check runs), post.
    // A refused code leaves the list as it was and throws the check's message.
    void AgregarClase(int codTnom);
    void AgregarPrototipo(int codProt);

    // --- code checks, installed on the data module's lists ---
    void CdsNmTnomiCOD_TNOMValidate(TField& Sender);
    void CdsNmTnomiBeforePost(TDataSet& DataSet);
    void CdsNmTprotCOD_PROTValidate(TField& Sender);
    void CdsNmTprotBeforePost(TDataSet& DataSet);

    static QString MsgClaseNoEncontrada() { return QStringLiteral("Clase de nómina no encontrada..."); }
    static QString MsgPrototipoNoEncontrado() { return QStringLiteral("Prototipo no encontrado..."); }

private:
    void agregar(TDataSet& list, const QString& codeField, int code);
    TDtmNmRtgen& m_dtm;
};
