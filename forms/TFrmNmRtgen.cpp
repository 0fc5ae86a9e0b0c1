#include "TFrmNmRtgen.h"

#include "FormatSettings.h"
#include "GeneralError.h"
#include "HostMessageBox.h"
#include "Providers.h"
#include "ReportTypes.h"
#include "SClientDataSet.h"
#include "TApplicationObject.h"
#include "TCaptura.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TFrmObserva.h"
#include "TInfoP50Progress.h"
#include "TRadioGroup.h"
#include "TReportRequest.h"
#include "TReportTypeRules.h"
#include "TVNavegador.h"
#include "TVNotas.h"
#include "TVPField.h"
#include "TVSDBQbe.h"
#include "TVestraDBgrid.h"
#include "TVsFecha.h"
#include "Ugnproce.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("GESTIÓN Y ADMÓN. DE REC. HUMANOS - Nómina - Reportes Gerenciales");
const QString kLblClases = QStringLiteral("Clases de Nómina Cuenta Nómina Administración");
const QString kLblNovedades = QStringLiteral("Cuentas para Conciliaciones por Novedades");
const QColor kGris(0xE9, 0xE9, 0xE9);

QLabel* etiqueta(const QString& text, const QString& name, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

template <typename W> W* nombrado(W* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

TFrmNmRtgen::TFrmNmRtgen(TDtmNmRtgen& dtm, TDtmNmRtrep& rep, QWidget* parent)
    : TFrmFormaProcesos(parent), m_dtm(dtm), m_rep(rep), m_request(std::make_unique<TReportRequest>(dtm)) {
    setObjectName(QStringLiteral("FrmNmRtgen"));
    setWindowTitle(kCaption);
    resize(662, 674);
    NotasVestra->SetTituloForma(QStringLiteral("Reportes Gerenciales"));
    NotasVestra->SetForma(QStringLiteral("FrmNmRtgen"));

    crearControles();
    conectar();

    FormCreate();
}

TFrmNmRtgen::~TFrmNmRtgen() {
    // The data module outlives the form (unload destroys it first): its queries must not keep the form's
    // connection.
    for (SClientDataSet* query : m_dtm.serverQueries())
        if (query->RemoteServer() == DCOMCnction)
            query->SetRemoteServer(nullptr);
}

QString TFrmNmRtgen::PedirObservaciones() {
    return ::PedirObservaciones(this);
}

std::unique_ptr<TProcessProgress> TFrmNmRtgen::CrearProgreso() {
    return std::make_unique<TInfoP50Progress>(this);
}

std::array<QCheckBox*, 7> TFrmNmRtgen::ChkTipNom() const {
    return {ChkTipNomN, ChkTipNomA, ChkTipNomD, ChkTipNomC, ChkTipNomX, ChkTipNomP, ChkTipNomV};
}

void TFrmNmRtgen::crearControles() {
    QWidget* area = clientArea();
    // The suite's forms are drawn in MS Sans Serif 8; Liberation Sans measures like it.
    QFont font;
    font.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(8);
    area->setFont(font);
    auto* col = new QVBoxLayout(area);
    col->setContentsMargins(10, 8, 10, 8);
    col->setSpacing(4);

    // --- period ---
    auto* fechas = new QHBoxLayout;
    Label1 = etiqueta(QStringLiteral("Fecha Inicial"), QStringLiteral("Label1"), area);
    EdtFecInic = nombrado(new QLineEdit(area), QStringLiteral("EdtFecInic"));
    VsFecInic = nombrado(new TVsFecha(area), QStringLiteral("VsFecInic"));
    Label3 = etiqueta(QStringLiteral("Fecha Final"), QStringLiteral("Label3"), area);
    EdtFecFina = nombrado(new QLineEdit(area), QStringLiteral("EdtFecFina"));
    VsFecFina = nombrado(new TVsFecha(area), QStringLiteral("VsFecFina"));
    for (QLineEdit* e : {EdtFecInic, EdtFecFina}) {
        e->setFixedWidth(65);
        e->installEventFilter(this);
    }
    Label1->setBuddy(EdtFecInic);
    Label3->setBuddy(EdtFecFina);
    fechas->addWidget(Label1);
    fechas->addWidget(EdtFecInic);
    fechas->addWidget(VsFecInic);
    fechas->addSpacing(24);
    fechas->addWidget(Label3);
    fechas->addWidget(EdtFecFina);
    fechas->addWidget(VsFecFina);
    fechas->addStretch(1);
    col->addLayout(fechas);

    // --- report type ---
    QStringList tipos;
    for (const TReportType& t : ReportTypes())
        tipos << t.Caption();
    RdgTipRepo = nombrado(new TRadioGroup(QStringLiteral(" Tipo de Reporte "), tipos, 3, area),
                          QStringLiteral("RdgTipRepo"));
    col->addWidget(RdgTipRepo);

    // --- payroll kinds ---
    GrbTipNomi =
        nombrado(new QGroupBox(QStringLiteral(" Tipos de Nómina "), area), QStringLiteral("GrbTipNomi"));
    auto* kinds = new QHBoxLayout(GrbTipNomi);
    kinds->setContentsMargins(8, 4, 8, 4);
    const char* const nombres[] = {"ChkTipNomN", "ChkTipNomA", "ChkTipNomD", "ChkTipNomC",
                                   "ChkTipNomX", "ChkTipNomP", "ChkTipNomV"};
    const QString textos[] = {QStringLiteral("&Normal"),       QStringLiteral("&Adicional"),
                              QStringLiteral("&Definitiva"),   QStringLiteral("&Cesantías"),
                              QStringLiteral("E&xtra Nómina"), QStringLiteral("&Prima"),
                              QStringLiteral("&Vacaciones")};
    QCheckBox** boxes[] = {&ChkTipNomN, &ChkTipNomA, &ChkTipNomD, &ChkTipNomC,
                           &ChkTipNomX, &ChkTipNomP, &ChkTipNomV};
    for (int i = 0; i < 7; ++i) {
        *boxes[i] = nombrado(new QCheckBox(textos[i], GrbTipNomi), QString::fromLatin1(nombres[i]));
        kinds->addWidget(*boxes[i]);
    }
    kinds->addStretch(1);
    col->addWidget(GrbTipNomi);

    // --- account ---
    auto* cuenta = new QHBoxLayout;
    LblCodCuen = etiqueta(QStringLiteral("Cuenta"), QStringLiteral("LblCodCuen"), area);
    EdtCodCuen = nombrado(new QLineEdit(area), QStringLiteral("EdtCodCuen"));
    EdtCodCuen->setFixedWidth(204);
    LblCodCuen->setBuddy(EdtCodCuen);
    cuenta->addWidget(LblCodCuen);
    cuenta->addWidget(EdtCodCuen);
    cuenta->addStretch(1);
    col->addLayout(cuenta);

    // --- prototypes ---
    Label2 = etiqueta(QStringLiteral("Prototipos"), QStringLiteral("Label2"), area);
    col->addWidget(Label2);
    DBGrdPrototipo = nombrado(new TVestraDBgrid(area), QStringLiteral("DBGrdPrototipo"));
    DBGrdPrototipo->SetDataSource(m_dtm.DtsNmTprot);
    {
        TVestraColumn codigo{QStringLiteral("COD_PROT"), {}, 111, false, true, {}};
        TVestraColumn nombre{QStringLiteral("NOM_PROT"), {}, 466, false, false, kGris};
        DBGrdPrototipo->SetColumns({codigo, nombre});
    }
    DBGrdPrototipo->setFixedHeight(78);
    col->addWidget(DBGrdPrototipo);
    VNavPrototipo = nombrado(new TVNavegador(area), QStringLiteral("VNavPrototipo"));
    VNavPrototipo->SetDataSource(m_dtm.DtsNmTprot);
    VNavPrototipo->SetVisibleButtons({TNavigateBtn::nbInsert, TNavigateBtn::nbDelete, TNavigateBtn::nbEdit,
                                      TNavigateBtn::nbPost, TNavigateBtn::nbCancel});
    VPFldPrototipo = nombrado(new TVPField(area), QStringLiteral("VPFldPrototipo"));
    VPFldPrototipo->Variables = {QStringLiteral("COD_PROT "), QStringLiteral("NOM_PROT")};
    VPFldPrototipo->Titulo = QStringLiteral(" Lista de Prototipos");
    VPFldPrototipo->Titulos = {QStringLiteral("Codigo Prototipo"), QStringLiteral("Nombre Pototipo")};
    VPFldPrototipo->Connection = DCOMCnction;
    VPFldPrototipo->hide();
    auto* navProt = new QHBoxLayout;
    navProt->addWidget(VNavPrototipo);
    navProt->addStretch(1);
    col->addLayout(navProt);

    // --- payroll classes, or the novelty accounts in their place ---
    LblTnomi = etiqueta(kLblClases, QStringLiteral("LblTnomi"), area);
    col->addWidget(LblTnomi);
    DBGrdClase = nombrado(new TVestraDBgrid(area), QStringLiteral("DBGrdClase"));
    DBGrdClase->SetDataSource(m_dtm.DtsNmTnomi);
    {
        TVestraColumn codigo{QStringLiteral("COD_TNOM"), {}, 124, false, true, {}};
        TVestraColumn nombre{QStringLiteral("NOM_TNOM"), {}, 295, true, false, kGris};
        DBGrdClase->SetColumns({codigo, nombre});
    }
    DBGrdClase->SetAlwaysShowEditor(true);
    DBGrdClase->setFixedHeight(96);
    col->addWidget(DBGrdClase);
    DBGrdCueNove = nombrado(new TVestraDBgrid(area), QStringLiteral("DBGrdCueNove"));
    DBGrdCueNove->SetDataSource(m_dtm.DtsCueNoved);
    DBGrdCueNove->SetColumns({
        {QStringLiteral("TIP_NOVE"), QStringLiteral("Tipo Novedad"), 90, true, false, QColor()},
        {QStringLiteral("NOM_NOVE"), QStringLiteral("Nombre Novedad"), 250, true, false, QColor()},
        {QStringLiteral("COD_CUEN"), QStringLiteral("Cuenta"), 120, true, false, QColor()},
        {QStringLiteral("COD_PROT"), QStringLiteral("Prototipo"), 80, true, false, QColor()},
    });
    DBGrdCueNove->SetReadOnly(true);
    DBGrdCueNove->setFixedHeight(96);
    DBGrdCueNove->hide();
    col->addWidget(DBGrdCueNove);
    VNavTnomi = nombrado(new TVNavegador(area), QStringLiteral("VNavTnomi"));
    VNavTnomi->SetDataSource(m_dtm.DtsNmTnomi);
    VPFieldCodTnom = nombrado(new TVPField(area), QStringLiteral("VPFieldCodTnom"));
    VPFieldCodTnom->Variables = {QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM")};
    VPFieldCodTnom->Titulo = QStringLiteral(" Lista de Clases de Nómina");
    VPFieldCodTnom->Titulos = {QStringLiteral("Código"), QStringLiteral("Nombre")};
    VPFieldCodTnom->DataBaseName = QStringLiteral("DBVestra");
    VPFieldCodTnom->Connection = DCOMCnction;
    VPFieldCodTnom->hide();
    auto* navClase = new QHBoxLayout;
    navClase->addWidget(VNavTnomi);
    navClase->addStretch(1);
    col->addLayout(navClase);

    // Never shown and never changed: the accounting source is always its first item.
    RdgOriDato =
        nombrado(new TRadioGroup(QStringLiteral(" Origen de Datos "),
                                 {QStringLiteral("Contabilidad Orvex"), QStringLiteral("Contabilidad Vestra"),
                                  QStringLiteral("Archivo Plano")},
                                 3, area),
                 QStringLiteral("RdgOriDato"));
    RdgOriDato->SetItemIndex(0);
    RdgOriDato->setEnabled(false);
    RdgOriDato->hide();

    col->addStretch(1);

    // Initial states: no type chosen, kinds enabled, account off, prototypes off, classes on.
    LblCodCuen->setEnabled(false);
    EdtCodCuen->setEnabled(false);
    pintarCuenta(false);
    for (QWidget* w : {static_cast<QWidget*>(DBGrdPrototipo), static_cast<QWidget*>(VNavPrototipo),
                       static_cast<QWidget*>(Label2)})
        w->setEnabled(false);
}

void TFrmNmRtgen::conectar() {
    connect(EdtFecInic, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!m_mostrando)
            m_request->FecInic = t;
    });
    connect(EdtFecFina, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!m_mostrando)
            m_request->FecFina = t;
    });
    connect(EdtCodCuen, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (!m_mostrando)
            m_request->CodCuen = t;
    });
    const auto chk = ChkTipNom();
    for (size_t i = 0; i < chk.size(); ++i)
        connect(chk[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!m_mostrando)
                m_request->TiposNomina[i] = on;
        });

    connect(RdgTipRepo, &TRadioGroup::clicked, this, [this] { Protegido([this] { RdgTipRepoClick(); }); });
    connect(this, &TFrmFormaProcesos::acceptRequested, this, &TFrmNmRtgen::BitBtnAceptaClick);
    connect(this, &TFrmFormaProcesos::cancelRequested, this, [this] { window()->close(); });

    connect(VsFecInic, &TVsFecha::mouseDown, this, [this] { VsFecInicMouseDown(); });
    connect(VsFecFina, &TVsFecha::mouseDown, this, [this] { VsFecFinaMouseDown(); });
    connect(VsFecInic, &TVsFecha::datePicked, this, [this] { VsFecInicClick(); });
    connect(VsFecFina, &TVsFecha::datePicked, this, [this] { VsFecFinaClick(); });

    connect(DBGrdClase, &TVestraDBgrid::editButtonClick, this,
            [this](const QString& field) { Protegido([this, field] { DBGrdClaseEditButtonClick(field); }); });
    connect(DBGrdPrototipo, &TVestraDBgrid::editButtonClick, this,
            [this] { Protegido([this] { DBGrdPrototipoEditButtonClick(); }); });
    connect(VPFieldCodTnom, &QPushButton::clicked, this,
            [this] { Protegido([this] { VPFieldCodTnomClick(); }); });
    connect(VPFldPrototipo, &QPushButton::clicked, this,
            [this] { Protegido([this] { VPFldPrototipoClick(); }); });
}

void TFrmNmRtgen::Protegido(const std::function<void()>& action) {
    try {
        action();
    } catch (const GeneralError& e) {
        HostMessageBox::show(this, QMessageBox::Critical, windowTitle(), e.message());
    }
}

// FormCreate, in the order the frame needs: the placeholder query is handed to the query-by-example
// before the base form builds the frame; the data module (created before the form, without a server)
// is pointed at the form's connection before the base form opens it and selects the load's company,
// since that selection already re-opens the company's catalogues.
void TFrmNmRtgen::FormCreate() {
    Ugnproce::gStNombProg = QStringLiteral("VNmRtgen");
    DtsFrm->SetDataSet(m_dtm.QryNmRtgen);
    VSDBQbe1->SetDataset(m_dtm.QryNmRtgen);

    registerProviders(DCOMCnction->Providers());
    for (SClientDataSet* query : m_dtm.serverQueries())
        query->SetRemoteServer(DCOMCnction);

    TFrmFormaProcesos::FormCreate();

    m_request->PeriodoPorDefecto(TDateTime::today());
    MostrarSolicitud();
    DwAsignarRptPreview({&m_rep}, 0);
}

void TFrmNmRtgen::cmbEmpresaChange() {
    TFrmFormaProcesos::cmbEmpresaChange();
    m_request->AbrirCatalogos();
    RdgTipRepoClick();
}

void TFrmNmRtgen::RdgTipRepoClick() {
    const int T = RdgTipRepo->ItemIndex();
    const TReportTypeRules rules = TReportTypeRules::of(T);

    // The request does the data part; a final date that is no date stops it at the type-10 start date,
    // after the lists and kinds were reset, and the controls then show exactly that.
    std::exception_ptr error;
    try {
        m_request->AplicarTipoReporte(T);
    } catch (...) {
        error = std::current_exception();
    }

    VNavTnomi->setVisible(true);
    for (QCheckBox* c : ChkTipNom())
        c->setEnabled(rules.kindsEnabled);
    for (QWidget* w : {static_cast<QWidget*>(DBGrdPrototipo), static_cast<QWidget*>(VNavPrototipo),
                       static_cast<QWidget*>(Label2)})
        w->setEnabled(rules.prototypesEnabled);
    if (rules.classes != TClassListRule::Unchanged) {
        const bool on = rules.classes == TClassListRule::Enabled;
        DBGrdClase->setEnabled(on);
        VNavTnomi->setEnabled(on);
    }
    MostrarSolicitud();
    if (error)
        std::rethrow_exception(error);

    LblCodCuen->setEnabled(rules.accountEnabled);
    EdtCodCuen->setEnabled(rules.accountEnabled);
    pintarCuenta(rules.accountEnabled);
    LlenarNoved(rules.noveltyGrid);
}

void TFrmNmRtgen::LlenarNoved(bool Novedades) {
    DBGrdCueNove->setVisible(Novedades);
    DBGrdClase->setVisible(!Novedades);
    if (Novedades) {
        LblTnomi->setText(kLblNovedades);
        VNavTnomi->setEnabled(false);
    } else {
        LblTnomi->setText(kLblClases);
        VNavTnomi->SetDataSource(m_dtm.DtsNmTnomi);
    }
}

void TFrmNmRtgen::pintarCuenta(bool enabled) {
    // Both palette groups: a disabled edit must show the grey too.
    QPalette pal = EdtCodCuen->palette();
    const QColor color = enabled ? QColor(0xFF, 0xFF, 0xFF) : kGris;
    pal.setColor(QPalette::Active, QPalette::Base, color);
    pal.setColor(QPalette::Inactive, QPalette::Base, color);
    pal.setColor(QPalette::Disabled, QPalette::Base, color);
    EdtCodCuen->setPalette(pal);
}

void TFrmNmRtgen::MostrarSolicitud() {
    m_mostrando = true;
    EdtFecInic->setText(m_request->FecInic);
    EdtFecFina->setText(m_request->FecFina);
    EdtCodCuen->setText(m_request->CodCuen);
    const auto chk = ChkTipNom();
    for (size_t i = 0; i < chk.size(); ++i)
        chk[i]->setChecked(m_request->TiposNomina[i]);
    m_mostrando = false;
}

bool TFrmNmRtgen::EdtFecInicKeyPress(const QString& text) {
    if (text.isEmpty())
        return true;
    if (text.size() != 1)
        return false;
    const QChar c = text.at(0);
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return true;
    switch (c.unicode()) {
    case 7:
    case 8:
    case 9:
    case 13:
        return true;
    case 0x7F: // Delete: an editing key, not a character
        return true;
    default:
        return c == FormatSettings::global().dateSeparator;
    }
}

bool TFrmNmRtgen::eventFilter(QObject* watched, QEvent* event) {
    if (watched != EdtFecInic && watched != EdtFecFina)
        return TFrmFormaProcesos::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        if (!EdtFecInicKeyPress(static_cast<QKeyEvent*>(event)->text()))
            return true;
    } else if (event->type() == QEvent::FocusOut) {
        // Only a move to another control of the form counts as leaving the edit; the window losing the
        // focus (another window, a popup such as the picker's calendar) does not.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && isVisible()) {
            const bool inicial = watched == EdtFecInic;
            // After the focus change has completed, so that putting the focus back sticks.
            QTimer::singleShot(0, this, [this, inicial] {
                Protegido([this, inicial] { inicial ? EdtFecInicExit() : EdtFecFinaExit(); });
            });
        }
    }
    return TFrmFormaProcesos::eventFilter(watched, event);
}

void TFrmNmRtgen::validarFecha(QLineEdit* edit, const QString& message) {
    if (FormatSettings::global().parseDate(edit->text()))
        return;
    edit->setFocus();
    throw GeneralError(message);
}

void TFrmNmRtgen::EdtFecInicExit() {
    validarFecha(EdtFecInic, QStringLiteral("Fecha inicial inválida, revise por favor..."));
}

void TFrmNmRtgen::EdtFecFinaExit() {
    validarFecha(EdtFecFina, QStringLiteral("Fecha final inválida, revise por favor..."));
}

void TFrmNmRtgen::abrirSelector(TVsFecha* picker, QLineEdit* edit) {
    const FormatSettings& fs = FormatSettings::global();
    const std::optional<TDateTime> date = fs.parseDate(edit->text());
    picker->SetDate(fs.formatDate(date ? *date : TDateTime::today()));
}

void TFrmNmRtgen::tomarSelector(TVsFecha* picker, QLineEdit* edit) {
    const FormatSettings& fs = FormatSettings::global();
    const std::optional<TDateTime> date = fs.parseDate(picker->Date());
    edit->setText(fs.formatDate(date ? *date : TDateTime::today()));
}

void TFrmNmRtgen::VsFecInicMouseDown() {
    abrirSelector(VsFecInic, EdtFecInic);
}
void TFrmNmRtgen::VsFecFinaMouseDown() {
    abrirSelector(VsFecFina, EdtFecFina);
}
void TFrmNmRtgen::VsFecInicClick() {
    tomarSelector(VsFecInic, EdtFecInic);
}
void TFrmNmRtgen::VsFecFinaClick() {
    tomarSelector(VsFecFina, EdtFecFina);
}

// The hosts of this port reach the module only through the load entry and cannot set gStCodiUsua; when no
// host set it, the user of the load stands for the user code.
QString TFrmNmRtgen::CodiUsua() const {
    return TReportRun::Firmante(Ugnproce::gStCodiUsua, Ugnproce::gStParUsu);
}

void TFrmNmRtgen::BitBtnAceptaClick() {
    try {
        m_request->ValidarParametros();
    } catch (const TRequestError& e) {
        switch (e.input()) {
        case TRequestInput::FecInic:
            EdtFecInic->setFocus();
            break;
        case TRequestInput::FecFina:
            EdtFecFina->setFocus();
            break;
        case TRequestInput::CodCuen:
            EdtCodCuen->setFocus();
            break;
        case TRequestInput::None:
            break;
        }
        throw;
    }
    TReportRun run = m_request->Run();
    run.CodiUsua = CodiUsua();
    run.CdsGnEmpre = CdsGnEmpre;
    run.Host = this;
    run.Presenter = m_rep.Presenter();
    m_request->Despachar(m_rep, run);
}

void TFrmNmRtgen::DBGrdClaseEditButtonClick(const QString& fieldName) {
    if (fieldName == QLatin1String("COD_TNOM"))
        VPFieldCodTnom->click();
}

void TFrmNmRtgen::DBGrdPrototipoEditButtonClick() {
    VPFldPrototipo->click();
}

namespace {

bool editando(const TDataSet& dataSet) {
    return dataSet.State() == TDataSetState::dsEdit || dataSet.State() == TDataSetState::dsInsert;
}

int entero(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw GeneralError(QStringLiteral("'%1' no es un valor entero válido.").arg(text));
    return value;
}

} // namespace

void TFrmNmRtgen::VPFieldCodTnomClick() {
    TDataSet& cds = *m_dtm.CdsNmTnomi;
    if (!editando(cds))
        return;
    VPFieldCodTnom->SQL = {QStringLiteral(" SELECT COD_TNOM, NOM_TNOM  FROM NM_TNOMI  WHERE (COD_EMPR = ") +
                           QString::number(Application().Tag) + QStringLiteral(") ")};
    if (!CapturaReducida(*VPFieldCodTnom))
        return;
    cds.FieldByName(QStringLiteral("NOM_TNOM")).SetAsString(VPFieldCodTnom->Valores.value(1));
    cds.FieldByName(QStringLiteral("COD_TNOM")).SetAsInteger(entero(VPFieldCodTnom->Valores.value(0)));
}

void TFrmNmRtgen::VPFldPrototipoClick() {
    TDataSet& cds = *m_dtm.CdsNmTprot;
    if (!editando(cds))
        return;
    VPFldPrototipo->SQL.clear();
    VPFldPrototipo->SQL << QStringLiteral("SELECT COD_PROT ,NOM_PROT FROM NM_TPROT")
                        << QStringLiteral("WHERE COD_EMPR = ") + QString::number(Application().Tag);
    if (!CapturaCompleta(*VPFldPrototipo))
        return;
    cds.FieldByName(QStringLiteral("COD_PROT")).SetAsInteger(entero(VPFldPrototipo->Valores.value(0)));
    cds.FieldByName(QStringLiteral("NOM_PROT")).SetAsString(VPFldPrototipo->Valores.value(1));
}
