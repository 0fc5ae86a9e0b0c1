#include "TFrmFormaProcesos.h"

#include "GeneralError.h"
#include "HostMessageBox.h"
#include "SClientDataSet.h"
#include "TApplicationObject.h"
#include "TVNotas.h"
#include "TVSDBQbe.h"
#include "TVsCmbCodigo.h"
#include "Ugnproce.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

const QString kGnEmpreStatement =
    QStringLiteral("SELECT COD_EMPR, NOM_EMPR, NIT_EMPR, BMP_REPO FROM GN_EMPRE ORDER BY COD_EMPR");

QWidget* panel(QWidget* parent, const QString& name) {
    auto* p = new QFrame(parent);
    p->setObjectName(name);
    p->setFrameShape(QFrame::StyledPanel);
    p->setFrameShadow(QFrame::Raised);
    return p;
}

} // namespace

TFrmFormaProcesos::TFrmFormaProcesos(QWidget* parent) : QWidget(parent) {
    DCOMCnction = new SDCOMConnection(QStringLiteral("DCOMCnction"), this);
    DtsFrm = new TDataSource(QStringLiteral("DtsFrm"), nullptr, this);
    CdsGnEmpre = new TClientDataSet(QStringLiteral("CdsGnEmpre"), this);
    CdsGnEmpre->AddField(QStringLiteral("COD_EMPR"), TFieldType::ftSmallint);
    CdsGnEmpre->AddField(QStringLiteral("NOM_EMPR"), TFieldType::ftString, 80);
    CdsGnEmpre->AddField(QStringLiteral("NIT_EMPR"), TFieldType::ftFloat);
    CdsGnEmpre->AddField(QStringLiteral("BMP_REPO"), TFieldType::ftBlob);
    CdsGnEmpre->CreateDataSet();

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    NotasVestra = new TVNotas(this);
    outer->addWidget(NotasVestra);

    // Logo and company selector.
    PnlVestra = panel(this, QStringLiteral("PnlVestra"));
    auto* top = new QHBoxLayout(PnlVestra);
    top->setContentsMargins(8, 4, 8, 4);
    ImgVestra = new QLabel(PnlVestra);
    ImgVestra->setObjectName(QStringLiteral("ImgVestra"));
    ImgVestra->setFixedSize(96, 48);
    ImgVestra->setAlignment(Qt::AlignCenter);
    top->addWidget(ImgVestra);
    top->addSpacing(12);
    auto* lblEmpresa = new QLabel(QStringLiteral("Empresa"), PnlVestra);
    top->addWidget(lblEmpresa);
    cmbEmpresa = new TVsCmbCodigo(PnlVestra);
    cmbEmpresa->setObjectName(QStringLiteral("cmbEmpresa"));
    cmbEmpresa->setMinimumWidth(360);
    lblEmpresa->setBuddy(cmbEmpresa);
    top->addWidget(cmbEmpresa, 1);
    top->addStretch(0);
    outer->addWidget(PnlVestra);

    ScBFrm = new QScrollArea(this);
    ScBFrm->setObjectName(QStringLiteral("ScBFrm"));
    ScBFrm->setFrameShape(QFrame::NoFrame);
    ScBFrm->setWidgetResizable(true);
    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("clientArea"));
    ScBFrm->setWidget(m_client);
    outer->addWidget(ScBFrm, 1);

    PnlOkCancel = panel(this, QStringLiteral("PnlOkCancel"));
    auto* okRow = new QHBoxLayout(PnlOkCancel);
    okRow->setContentsMargins(8, 4, 8, 4);
    VSDBQbe1 = new TVSDBQbe(PnlOkCancel);
    VSDBQbe1->setObjectName(QStringLiteral("VSDBQbe1"));
    okRow->addWidget(VSDBQbe1);
    okRow->addStretch(1);
    BitBtnAcepta = new QPushButton(QStringLiteral("&Aceptar"), PnlOkCancel);
    BitBtnAcepta->setObjectName(QStringLiteral("BitBtnAcepta"));
    BitBtnCancela = new QPushButton(QStringLiteral("&Cancelar"), PnlOkCancel);
    BitBtnCancela->setObjectName(QStringLiteral("BitBtnCancela"));
    BitBtnAcepta->setMinimumWidth(90);
    BitBtnCancela->setMinimumWidth(90);
    okRow->addWidget(BitBtnAcepta);
    okRow->addWidget(BitBtnCancela);
    outer->addWidget(PnlOkCancel);

    Panel3 = panel(this, QStringLiteral("Panel3"));
    auto* progressRow = new QHBoxLayout(Panel3);
    progressRow->setContentsMargins(8, 2, 8, 2);
    ProgressBar1 = new QProgressBar(Panel3);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(12);
    progressRow->addWidget(ProgressBar1);
    outer->addWidget(Panel3);

    PnlStatus = new QLabel(this);
    PnlStatus->setObjectName(QStringLiteral("PnlStatus"));
    PnlStatus->setFrameShape(QFrame::StyledPanel);
    PnlStatus->setFrameShadow(QFrame::Sunken);
    PnlStatus->setContentsMargins(6, 2, 6, 2);
    outer->addWidget(PnlStatus);

    connect(cmbEmpresa, &QComboBox::activated, this, [this] { guarded([this] { cmbEmpresaChange(); }); });
    connect(BitBtnAcepta, &QPushButton::clicked, this,
            [this] { guarded([this] { Q_EMIT acceptRequested(); }); });
    connect(BitBtnCancela, &QPushButton::clicked, this,
            [this] { guarded([this] { Q_EMIT cancelRequested(); }); });
}

TFrmFormaProcesos::~TFrmFormaProcesos() = default;

void TFrmFormaProcesos::guarded(const std::function<void()>& action) {
    try {
        action();
    } catch (const GeneralError& e) {
        HostMessageBox::show(this, QMessageBox::Critical, windowTitle(), e.message());
    }
}

std::function<void(QObject*)>& TFrmFormaProcesos::previewAssigner() {
    static std::function<void(QObject*)> assigner;
    return assigner;
}

void TFrmFormaProcesos::FormCreate() {
    using namespace Ugnproce;
    // A host (or a test) may hand over a connection it opened itself.
    if (!DCOMCnction->Connected())
        DCOMCnction->Open(ConnectionParams{gStProtocolo, gStParSrv, gStAliasCnx, gStParUsu, gStParPas});
    DCOMCnction->Providers().add(QStringLiteral("DtsPGnEmpre"), kGnEmpreStatement);
    DCOMCnction->Providers().add(QStringLiteral("DtsPTemporal"));

    SClientDataSet qry(QStringLiteral("QryGnEmpre"));
    qry.SetProviderName(QStringLiteral("DtsPGnEmpre"));
    qry.SetRemoteServer(DCOMCnction);
    qry.AddField(QStringLiteral("COD_EMPR"), TFieldType::ftSmallint);
    qry.AddField(QStringLiteral("NOM_EMPR"), TFieldType::ftString, 80);
    qry.AddField(QStringLiteral("NIT_EMPR"), TFieldType::ftFloat);
    qry.AddField(QStringLiteral("BMP_REPO"), TFieldType::ftBlob);
    qry.Open();
    m_empresas.clear();
    cmbEmpresa->clear();
    for (qry.First(); !qry.Eof(); qry.Next()) {
        Empresa e{qry.FieldByName(QStringLiteral("COD_EMPR")).AsInteger(),
                  qry.FieldByName(QStringLiteral("NOM_EMPR")).AsString().trimmed(),
                  qry.FieldByName(QStringLiteral("NIT_EMPR")).AsFloat(),
                  qry.FieldByName(QStringLiteral("BMP_REPO")).AsBytes()};
        cmbEmpresa->addItem(QString::number(e.codigo), QStringLiteral("%1 - %2").arg(e.codigo).arg(e.nombre));
        m_empresas.push_back(std::move(e));
    }
    qry.Close();

    bool ok = false;
    const int wanted = gStParEmp.trimmed().toInt(&ok);
    if (!(ok && cmbEmpresa->setCurrentCode(QString::number(wanted))) && cmbEmpresa->count() > 0)
        cmbEmpresa->setCurrentIndex(0);
    cmbEmpresaChange();
}

void TFrmFormaProcesos::cmbEmpresaChange() {
    const QString code = cmbEmpresa->currentCode();
    const Empresa* chosen = nullptr;
    for (const Empresa& e : m_empresas)
        if (QString::number(e.codigo) == code)
            chosen = &e;
    Application().Tag = chosen ? chosen->codigo : 0;

    CdsGnEmpre->EmptyDataSet();
    if (chosen) {
        CdsGnEmpre->Append();
        CdsGnEmpre->FieldByName(QStringLiteral("COD_EMPR")).SetAsInteger(chosen->codigo);
        CdsGnEmpre->FieldByName(QStringLiteral("NOM_EMPR")).SetAsString(chosen->nombre);
        CdsGnEmpre->FieldByName(QStringLiteral("NIT_EMPR")).SetAsFloat(chosen->nit);
        if (!chosen->logo.isEmpty())
            CdsGnEmpre->FieldByName(QStringLiteral("BMP_REPO")).SetAsBytes(chosen->logo);
        CdsGnEmpre->Post();
        CdsGnEmpre->First();
    }
    showLogo(chosen ? chosen->logo : QByteArray());
    PnlStatus->setText(chosen ? QStringLiteral("Empresa: %1 - %2").arg(chosen->codigo).arg(chosen->nombre)
                              : QStringLiteral("Sin empresa"));
}

void TFrmFormaProcesos::showLogo(const QByteArray& logo) {
    QPixmap pix;
    if (!logo.isEmpty() && pix.loadFromData(logo)) {
        ImgVestra->setPixmap(pix.scaled(ImgVestra->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    } else {
        ImgVestra->setPixmap(QPixmap());
        ImgVestra->clear();
    }
}

void TFrmFormaProcesos::DwAsignarRptPreview(const QList<QObject*>& modules, int lastIndex) {
    const auto& assign = previewAssigner();
    if (!assign)
        return;
    for (int i = 0; i <= lastIndex && i < modules.size(); ++i)
        if (modules[i])
            assign(modules[i]);
}

void TFrmFormaProcesos::CambiarAltura(int height) {
    resize(width(), height);
}

void TFrmFormaProcesos::CambiarTamano(int width, int height) {
    resize(width, height);
}
