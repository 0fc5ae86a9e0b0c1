#include "TCaptura.h"

#include "FormatSettings.h"
#include "GeneralError.h"
#include "HostMessageBox.h"
#include "SClientDataSet.h"
#include "SDCOMConnection.h"
#include "TDataSource.h"
#include "TVNavegador.h"
#include "TVSDBQbe.h"
#include "TVestraDBgrid.h"
#include "TVsCmbCodigo.h"

#include <QDate>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The product mark of the about panel, drawn rather than shipped as a picture.
QPixmap productLogo() {
    QPixmap pix(40, 40);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, QColor(0x2F, 0x5F, 0x9F));
    g.setColorAt(1, QColor(0x1F, 0x3A, 0x5F));
    p.setBrush(g);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(1, 1, 38, 38), 7, 7);
    QFont f(QStringLiteral("DejaVu Serif"));
    f.setPixelSize(26);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 40, 40), Qt::AlignCenter, QStringLiteral("V"));
    return pix;
}

void mensaje(QWidget* parent, const QString& text) {
    HostMessageBox::show(parent, QMessageBox::NoIcon, parent->windowTitle(), text);
}

} // namespace

TCaptura::TCaptura(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Captura"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(721, 409);

    CdsTmp = new SClientDataSet(QStringLiteral("CdsTmp"), this);
    CdsTmp->SetProviderName(QStringLiteral("DtsPTemporal"));
    CdsTmp->AfterOpen = [this](TDataSet&) { CdsTmpAfterOpen(); };
    Datos1 = new TDataSource(QStringLiteral("Datos1"), CdsTmp, this);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);
    outer->setSpacing(6);

    // Search row.
    auto* search = new QHBoxLayout;
    search->setSpacing(4);
    auto* lblCampo = new QLabel(QStringLiteral("Campo"), this);
    CmbCampos = new TVsCmbCodigo(this);
    CmbCampos->setObjectName(QStringLiteral("CmbCampos"));
    CmbCampos->setMaxVisibleItems(15);
    CmbCampos->setFixedWidth(150);
    lblCampo->setBuddy(CmbCampos);
    auto* lblBusqueda = new QLabel(QStringLiteral("Busqueda Incremental"), this);
    edtBusqueda = new QLineEdit(this);
    edtBusqueda->setObjectName(QStringLiteral("edtBusqueda"));
    lblBusqueda->setBuddy(edtBusqueda);
    auto* lblValor = new QLabel(QStringLiteral("Busqueda por Valor"), this);
    edtValor = new QLineEdit(this);
    edtValor->setObjectName(QStringLiteral("edtValor"));
    lblValor->setBuddy(edtValor);
    SpeedButton1 = new QToolButton(this);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setAutoRaise(true);
    SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
    SpeedButton1->setToolTip(QStringLiteral("Buscar el valor"));
    search->addWidget(lblCampo);
    search->addWidget(CmbCampos);
    search->addSpacing(8);
    search->addWidget(lblBusqueda);
    search->addWidget(edtBusqueda, 1);
    search->addSpacing(8);
    search->addWidget(lblValor);
    search->addWidget(edtValor, 1);
    search->addWidget(SpeedButton1);
    outer->addLayout(search);

    auto* body = new QHBoxLayout;
    body->setSpacing(8);
    auto* left = new QVBoxLayout;
    left->setSpacing(2);
    DBGrid1 = new TVestraDBgrid(this);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setFixedSize(546, 327);
    DBGrid1->SetDataSource(Datos1);
    DBGrid1->SetReadOnly(true);
    DBGrid1->SetAlwaysShowEditor(true);
    DBGrid1->SetAlternateRows(true);
    DBGrid1->setTabKeyNavigation(true);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    left->addWidget(DBGrid1);
    VNavegador1 = new TVNavegador(this);
    VNavegador1->setObjectName(QStringLiteral("VNavegador1"));
    VNavegador1->SetDataSource(Datos1);
    VNavegador1->SetVisibleButtons(
        {TNavigateBtn::nbFirst, TNavigateBtn::nbPrior, TNavigateBtn::nbNext, TNavigateBtn::nbLast});
    left->addWidget(VNavegador1);
    left->addStretch(1);
    body->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(6);
    BitBtnAceptar =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("Aceptar"), this);
    BitBtnAceptar->setObjectName(QStringLiteral("BitBtnAceptar"));
    BitBtnAceptar->setDefault(true);
    BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                              QStringLiteral("Cancelar"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setAutoDefault(false);
    VSDBQbe1 = new TVSDBQbe(this);
    VSDBQbe1->setObjectName(QStringLiteral("VSDBQbe1"));
    VSDBQbe1->setText(QStringLiteral("Query     "));
    VSDBQbe1->setToolTip(QStringLiteral("Query By Example"));
    VSDBQbe1->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    VSDBQbe1->setAutoDefault(false);
    BitBtn3 =
        new QPushButton(style()->standardIcon(QStyle::SP_DialogHelpButton), QStringLiteral("Ayuda"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setAutoDefault(false);
    for (QPushButton* b : {BitBtnAceptar, BitBtn2, static_cast<QPushButton*>(VSDBQbe1), BitBtn3}) {
        b->setMinimumHeight(30);
        right->addWidget(b);
    }
    right->addStretch(1);

    sistemas = new QFrame(this);
    sistemas->setObjectName(QStringLiteral("sistemas"));
    static_cast<QFrame*>(sistemas)->setFrameShape(QFrame::StyledPanel);
    static_cast<QFrame*>(sistemas)->setFrameShadow(QFrame::Sunken);
    auto* about = new QVBoxLayout(sistemas);
    about->setContentsMargins(6, 6, 6, 6);
    ImgVestra = new QLabel(sistemas);
    ImgVestra->setObjectName(QStringLiteral("ImgVestra"));
    ImgVestra->setPixmap(productLogo());
    ImgVestra->setToolTip(QStringLiteral("Acerca de Vestra"));
    ImgVestra->setAlignment(Qt::AlignCenter);
    LblVersion = new QLabel(sistemas);
    LblVersion->setObjectName(QStringLiteral("LblVersion"));
    LblVersion->setAlignment(Qt::AlignCenter);
    about->addWidget(ImgVestra);
    about->addWidget(LblVersion);
    right->addWidget(sistemas);
    body->addLayout(right, 1);
    outer->addLayout(body, 1);

    connect(BitBtnAceptar, &QPushButton::clicked, this, [this] {
        BitBtnAceptarClick();
        accept();
    });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(CmbCampos, &QComboBox::activated, this, &TCaptura::CmbCamposClick);
    connect(edtBusqueda, &QLineEdit::textChanged, this, &TCaptura::edtBusquedaChange);
    edtBusqueda->installEventFilter(this);
    connect(SpeedButton1, &QToolButton::clicked, this, &TCaptura::SpeedButton1Click);
    connect(DBGrid1, &QAbstractItemView::doubleClicked, this, &TCaptura::DBGrid1DblClick);
    connect(CdsTmp, &TDataSet::dataReset, this, &TCaptura::Datos1DataChange);
    connect(CdsTmp, &TDataSet::recordChanged, this, &TCaptura::Datos1DataChange);
    connect(CdsTmp, &TDataSet::cursorMoved, this, &TCaptura::Datos1DataChange);
    Datos1DataChange();
}

TCaptura::~TCaptura() = default;

bool TCaptura::Ejecutar(TVPField& field, bool completa) {
    bool result = false;
    m_aceptadoDobleClick = false;
    FVariables.clear();
    FValores.clear();
    FDestino.clear();
    FBoAbrir = field.Tag == 0;
    m_campo = &field;
    FVariables = field.Variables;
    FDestino = completa ? field.Destino : QStringList();
    FDataSet = completa ? field.DataSet : nullptr;
    setWindowTitle(field.Titulo);

    CdsTmp->Close();
    CdsTmp->SetRemoteServer(field.Connection);
    CdsTmp->SetCommandText(QString());
    CdsTmp->SetCommandText(field.SQL.join(QLatin1Char('\n')));
    VSDBQbe1->SetDataset(CdsTmp);
    m_titulos = field.Titulos;

    VSDBQbe1->Tag = 0;
    for (const QString& line : field.SQL) {
        if (line.toUpper().contains(QStringLiteral("WHERE"))) {
            VSDBQbe1->Tag = 1;
            break;
        }
    }

    FormatSettings& fs = FormatSettings::global();
    if (fs.shortDateFormat.trimmed().isEmpty())
        fs.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    VSDBQbe1->DateFormat = fs.shortDateFormat;
    VSDBQbe1->SQLMayusculas = true;
    VSDBQbe1->Inicializar(false);

    try {
        VSDBQbe1->Vquery(VSDBQbe1->Tag == 0 ? QStringLiteral(" WHERE 1=0") : QStringLiteral(" AND 1=0"));
        DBGrid1->setEnabled(true);
        m_errorAlMostrar = nullptr;
        result = exec() == QDialog::Accepted || m_aceptadoDobleClick;
        if (m_errorAlMostrar) {
            std::exception_ptr error = m_errorAlMostrar;
            m_errorAlMostrar = nullptr;
            std::rethrow_exception(error);
        }
    } catch (...) {
        CdsTmp->Close();
        throw;
    }

    if (!FValores.isEmpty()) {
        field.Valores.clear();
        field.Valores << FValores;
    }
    CdsTmp->Close();
    return result;
}

void TCaptura::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TCaptura::FormShow() {
    VSDBQbe1->setFlat(false);
    const QDate today = QDate::currentDate();
    LblVersion->setText(QStringLiteral("Versión ") + today.toString(QStringLiteral("yy")) +
                        QStringLiteral(".0 ") + today.toString(QStringLiteral("yyyy")));

    if (FBoAbrir) {
        try {
            VSDBQbe1->Vquery(QString());
        } catch (...) {
            // Nothing may cross the event loop: the lookup ends and Ejecutar rethrows the error.
            m_errorAlMostrar = std::current_exception();
            QTimer::singleShot(0, this, &QDialog::reject);
        }
    } else {
        // The user enters a filter first; the dialog is up by then.
        QTimer::singleShot(0, this, [this] {
            if (isVisible())
                VSDBQbe1->Ejecutar();
        });
    }

    CmbCampos->clear();
    const bool conTitulos = !m_titulos.isEmpty() && m_titulos.size() == CdsTmp->FieldCount();
    for (int i = 0; i < CdsTmp->FieldCount(); ++i) {
        const QString name = CdsTmp->Field(i).FieldName();
        CmbCampos->addItem(name, conTitulos ? m_titulos[i] : name);
    }
    if (CmbCampos->count() > 0)
        CmbCampos->setCurrentIndex(0);
    edtBusqueda->clear();
    edtValor->clear();
    DBGrid1->setFocus();
}

void TCaptura::CdsTmpAfterOpen() {
    if (!m_titulos.isEmpty() && m_titulos.size() != CdsTmp->FieldCount()) {
        mensaje(this, QStringLiteral("[Error en TITULOS][Falta definicion de titulos]"));
    } else if (!m_titulos.isEmpty()) {
        for (int i = 0; i < CdsTmp->FieldCount(); ++i)
            CdsTmp->Field(i).SetDisplayLabel(m_titulos[i]);
    }
    // The grid sized its columns before the titles were in place: let it lay them out again.
    DBGrid1->SetColumns(DBGrid1->Columns());
}

void TCaptura::Datos1DataChange() {
    BitBtnAceptar->setEnabled(CdsTmp->Active() && CdsTmp->RecordCount() >= 1);
}

bool TCaptura::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtBusqueda && event->type() == QEvent::KeyPress)
        edtBusquedaKeyPress();
    return QDialog::eventFilter(watched, event);
}

void TCaptura::edtBusquedaKeyPress() {
    m_textoAnterior = edtBusqueda->text();
}

void TCaptura::edtBusquedaChange() {
    if (m_restaurando)
        return;
    const QString text = edtBusqueda->text();
    if (text.isEmpty() || !CdsTmp->Active())
        return;
    const TField* field = CdsTmp->FindField(CmbCampos->currentCode());
    if (!field)
        return;
    try {
        if (!field->convert(text).isValid())
            return;
    } catch (const GeneralError&) {
        // Not a value of the column's type: the keystroke is refused without a word.
        m_restaurando = true;
        edtBusqueda->setText(m_textoAnterior);
        m_restaurando = false;
        edtValor->clear();
        return;
    }
    try {
        CdsTmp->Locate(field->FieldName(), {text},
                       TLocateOption::loCaseInsensitive | TLocateOption::loPartialKey);
    } catch (const GeneralError&) {
        // A value outside the column's range finds nothing.
    }
}

void TCaptura::CmbCamposClick() {
    edtBusqueda->clear();
    edtValor->clear();
}

void TCaptura::SpeedButton1Click() {
    m_textoAnterior = edtBusqueda->text();
    edtBusqueda->setText(edtValor->text());
}

void TCaptura::DBGrid1DblClick() {
    if (!CdsTmp->Active() || CdsTmp->RecordCount() == 0)
        return;
    BitBtnAceptarClick();
    m_aceptadoDobleClick = true;
    close();
}

void TCaptura::BitBtnAceptarClick() {
    try {
        for (qsizetype i = 0; i < FVariables.size(); ++i) {
            const QString name = FVariables[i].toUpper().trimmed();
            if (name.isEmpty()) {
                mensaje(this, QStringLiteral("[Error en VARIABLES][Linea (%1) vacia ]").arg(i + 1));
                return;
            }
            FVariables[i] = name;
            if (FDataSet && !CdsTmp->FindField(name)) {
                mensaje(this,
                        QStringLiteral("[Error en VARIABLES][no existe variable <%1> en Query ]").arg(name));
                return;
            }
            const QString value = CdsTmp->FieldByName(name).AsString();
            FValores << value;
            if (!FDataSet)
                continue;

            const QString destino = FDestino.value(i).toUpper().trimmed();
            if (destino.isEmpty()) {
                mensaje(this, QStringLiteral("[Error en DESTINO][Linea (%1) vacia ]").arg(i + 1));
                return;
            }
            FDestino[i] = destino;
            const TDataSetState state = FDataSet->State();
            if (state != TDataSetState::dsEdit && state != TDataSetState::dsInsert)
                continue;
            if (m_campo && !m_campo->LookUpField.isEmpty()) {
                if (const TField* lookup = CdsTmp->FindField(m_campo->LookUpField.trimmed())) {
                    m_campo->LookUpFieldValue = lookup->AsString();
                } else {
                    HostMessageBox::show(
                        this, QMessageBox::Critical, QStringLiteral("Error"),
                        QStringLiteral("Error de parametrización de componente [%1] campo "
                                       "LookUpField [%2] no encontrado en query de consulta ")
                            .arg(m_campo->objectName(), m_campo->LookUpField));
                }
            } else if (m_campo) {
                m_campo->LookUpFieldValue.clear();
            }
            // While its Tag is raised the destination field knows the value comes from the lookup.
            TField& target = FDataSet->FieldByName(destino);
            const int tag = target.Tag();
            target.SetTag(tag + 1000);
            try {
                target.SetAsString(value);
            } catch (...) {
                target.SetTag(tag);
                throw;
            }
            target.SetTag(tag);
        }
    } catch (const GeneralError& e) {
        // What the destination refused (or a column the statement lacks) ends the collection.
        HostMessageBox::show(this, QMessageBox::Critical, windowTitle(), e.message());
    }
}

namespace {
TCaptura* g_captura = nullptr;
} // namespace

TCaptura& Captura() {
    if (!g_captura)
        g_captura = new TCaptura;
    return *g_captura;
}

void LiberarCaptura() {
    delete g_captura;
    g_captura = nullptr;
}

bool CapturaCompleta(TVPField& field) {
    return Captura().Ejecutar(field, true);
}

bool CapturaReducida(TVPField& field) {
    return Captura().Ejecutar(field, false);
}
