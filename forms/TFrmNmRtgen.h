// TFrmNmRtgen: the report form, the one window of the module. The user picks the company (base form), the
// period, one of the eleven report types and, as the type needs them, the payroll kinds, the account, the
// prototypes and the payroll classes; the accept button validates the choice and runs the type's builder.
//
// The choices live in a TReportRequest: the controls show it and write every edit into it, and the
// reshaping, validation and dispatch are the request's, so the batch command runs the same rules without
// a window. What is the form's own: the widgets' enabled and visible states, the date-edit key filter and
// exit checks, the pickers, the lookups of the two lists and the focus after a failed validation.
//
// Handlers throw GeneralError; when they run from a user action the error is shown in a message box
// (HostMessageBox) and the form stays usable.
#pragma once

#include "TDateTime.h"
#include "TFrmFormaProcesos.h"
#include "TReportRun.h"

#include <QString>
#include <array>
#include <functional>
#include <memory>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class TDtmNmRtgen;
class TDtmNmRtrep;
class TRadioGroup;
class TReportRequest;
class TVNavegador;
class TVPField;
class TVestraDBgrid;
class TVsFecha;

class TFrmNmRtgen : public TFrmFormaProcesos, public TRunHost {
    Q_OBJECT
public:
    // Builds the controls and runs FormCreate, which opens the connection from the host globals and
    // selects the load's company. Throws GeneralError when that fails.
    TFrmNmRtgen(TDtmNmRtgen& dtm, TDtmNmRtrep& rep, QWidget* parent = nullptr);
    ~TFrmNmRtgen() override;

    TReportRequest& Request() const { return *m_request; }
    TDtmNmRtgen& DataModule() const { return m_dtm; }
    TDtmNmRtrep& ReportModule() const { return m_rep; }

    // --- what a run asks of the form (TRunHost): the observations dialog and the progress window ---
    QString PedirObservaciones() override;
    std::unique_ptr<TProcessProgress> CrearProgreso() override;

    // --- handlers ---
    void FormCreate() override;
    void cmbEmpresaChange() override;
    void RdgTipRepoClick();
    // True when the key of text may enter a date edit (digits, BEL, BS, TAB, CR, the date separator);
    // keys without text (arrows, Delete) are not characters and always pass.
    static bool EdtFecInicKeyPress(const QString& text);
    void EdtFecInicExit();
    void EdtFecFinaExit();
    void VsFecInicMouseDown();
    void VsFecFinaMouseDown();
    void VsFecInicClick();
    void VsFecFinaClick();
    // Who signs the form's runs: the host's user code, else the load's user.
    QString CodiUsua() const;
    // Validates the request and runs the chosen report with this form as the run's host.
    void BitBtnAceptaClick();
    // The widget half of the data module's novelty-account filling: which grid the class area shows.
    void LlenarNoved(bool Novedades);
    void DBGrdClaseEditButtonClick(const QString& fieldName);
    void DBGrdPrototipoEditButtonClick();
    void VPFieldCodTnomClick();
    void VPFldPrototipoClick();

    // Runs a handler for a user action: a GeneralError is shown in a message box instead of crossing the
    // event loop.
    void Protegido(const std::function<void()>& action);

    // --- controls ---
    QLabel* Label1 = nullptr;
    QLineEdit* EdtFecInic = nullptr;
    TVsFecha* VsFecInic = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* EdtFecFina = nullptr;
    TVsFecha* VsFecFina = nullptr;
    TRadioGroup* RdgTipRepo = nullptr;
    QGroupBox* GrbTipNomi = nullptr;
    QCheckBox* ChkTipNomN = nullptr;
    QCheckBox* ChkTipNomA = nullptr;
    QCheckBox* ChkTipNomD = nullptr;
    QCheckBox* ChkTipNomC = nullptr;
    QCheckBox* ChkTipNomX = nullptr;
    QCheckBox* ChkTipNomP = nullptr;
    QCheckBox* ChkTipNomV = nullptr;
    QLabel* LblCodCuen = nullptr;
    QLineEdit* EdtCodCuen = nullptr;
    QLabel* Label2 = nullptr;
    TVestraDBgrid* DBGrdPrototipo = nullptr;
    TVNavegador* VNavPrototipo = nullptr;
    TVPField* VPFldPrototipo = nullptr;
    QLabel* LblTnomi = nullptr;
    TVestraDBgrid* DBGrdClase = nullptr;
    TVNavegador* VNavTnomi = nullptr;
    TVPField* VPFieldCodTnom = nullptr;
    TVestraDBgrid* DBGrdCueNove = nullptr;
    TRadioGroup* RdgOriDato = nullptr;

    // The seven kind boxes in the order N, A, D, C, X, P, V.
    std::array<QCheckBox*, 7> ChkTipNom() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void crearControles();
    void conectar();
    // Writes the request's texts and kinds into the controls.
    void MostrarSolicitud();
    void aplicarHabilitacion(int T);
    void pintarCuenta(bool enabled);
    void validarFecha(QLineEdit* edit, const QString& message);
    void abrirSelector(TVsFecha* picker, QLineEdit* edit);
    void tomarSelector(TVsFecha* picker, QLineEdit* edit);

    TDtmNmRtgen& m_dtm;
    TDtmNmRtrep& m_rep;
    std::unique_ptr<TReportRequest> m_request;
    // Set while the controls are written from the request, so their change signals do not echo back.
    bool m_mostrando = false;
};
