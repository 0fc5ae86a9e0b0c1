#include "TFrmInfoP50.h"

#include "TGauge.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <cmath>

namespace {

constexpr int kAltoSuperior = 89;
constexpr int kAltoTiempos = 60;
constexpr int kAltoSuperior1 = 26;
constexpr int kAltoInferior1 = 17;
constexpr int kAltoInferior = 31;
constexpr int kAncho = 507;
// Top of the group box's client area, under its caption.
constexpr int kTituloTiempos = 15;

QLabel* label(QWidget* parent, const QString& name, const QString& text, int x, int y, int w = -1,
              int h = -1) {
    auto* l = new QLabel(text, parent);
    if (!name.isEmpty())
        l->setObjectName(name);
    l->move(x, y);
    if (w > 0)
        l->resize(w, h > 0 ? h : l->sizeHint().height());
    else
        l->adjustSize();
    return l;
}

// The x of a value label: where the design puts it, or just after its caption when the font in use
// writes the caption wider than the design's font did.
int after(const QLabel* caption, int designX) {
    return std::max(designX, caption->x() + caption->width() + 4);
}

QToolButton* speedButton(QWidget* parent, const QString& name, const QString& text,
                         QStyle::StandardPixmap glyph, int x, int w) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setIcon(parent->style()->standardIcon(glyph));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setGeometry(x, 3, w, 25);
    return b;
}

// Milliseconds in a span of days, rounded to the nearest one.
qint64 milisegundos(double days) {
    return std::llround(days * 86400000.0);
}

QString tiempoTranscurrido(double days) {
    // Formatted as a time of day: hours wrap at 24, as the suite's clock format does.
    const qint64 ms = std::max<qint64>(0, milisegundos(days));
    const qint64 h = (ms / 3600000) % 24;
    const qint64 m = (ms / 60000) % 60;
    const qint64 s = (ms / 1000) % 60;
    return QStringLiteral("%1h:%2m:%3s")
        .arg(h)
        .arg(m, 2, 10, QLatin1Char('0'))
        .arg(s, 2, 10, QLatin1Char('0'));
}

} // namespace

TFrmInfoP50::TFrmInfoP50(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("FrmInfoP50"));
    setWindowTitle(QStringLiteral("Información del Proceso"));
    setModal(false);
    QFont f;
    f.setFamilies(
        {QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    f.setPointSize(8);
    setFont(f);

    PSuperior = new QWidget(this);
    PSuperior->setObjectName(QStringLiteral("PSuperior"));
    LNombreItemActual = label(PSuperior, QStringLiteral("LNombreItemActual"), QString(), 8, 8, 331);
    LItemActual = label(PSuperior, QStringLiteral("LItemActual"), QString(), 352, 8, 137);
    LItemActual->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = f;
    bold.setBold(true);
    LItemActual->setFont(bold);
    QPalette navy = LItemActual->palette();
    navy.setColor(QPalette::WindowText, QColor(0, 0, 128));
    LItemActual->setPalette(navy);
    const QLabel* mensaje = label(PSuperior, QString(), QStringLiteral("Mensaje del Proceso:"), 8, 24);
    LMensajeDelProceso =
        label(PSuperior, QStringLiteral("LMensajeDelProceso"), QString(), after(mensaje, 120), 24, 377);
    const QLabel* error = label(PSuperior, QString(), QStringLiteral("Ultimo Error:"), 8, 40);
    LUltimoError = label(PSuperior, QStringLiteral("LUltimoError"), QString(), after(error, 72), 40, 417, 25);
    LUltimoError->setWordWrap(true);
    LUltimoError->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QLabel* errores =
        label(PSuperior, QString(), QStringLiteral("Número de errores producidos:"), 8, 72);
    LNumeroDeErroresProducidos = label(PSuperior, QStringLiteral("LNumeroDeErroresProducidos"), QString(),
                                       after(errores, 160), 72, 100);

    GBTiempos = new QGroupBox(QStringLiteral(" Estadísticas "), this);
    GBTiempos->setObjectName(QStringLiteral("GBTiempos"));
    PSuperior1 = new QWidget(GBTiempos);
    PSuperior1->setObjectName(QStringLiteral("PSuperior1"));
    const QLabel* ultimo = label(PSuperior1, QString(), QStringLiteral("Ultimo tiempo Registrado:"), 8, 0);
    const QLabel* transcurrido = label(PSuperior1, QString(), QStringLiteral("Tiempo Transcurrido:"), 8, 13);
    const int tiempos = std::max(after(ultimo, 144), after(transcurrido, 144));
    LUltimoTiempo = label(PSuperior1, QStringLiteral("LUltimoTiempo"), QString(), tiempos, 0, 150);
    LTiempoTranscurrido =
        label(PSuperior1, QStringLiteral("LTiempoTranscurrido"), QString(), tiempos, 13, 150);
    PInferior1 = new QWidget(GBTiempos);
    PInferior1->setObjectName(QStringLiteral("PInferior1"));
    GBarraDeAvance = new TGauge(PInferior1);
    GBarraDeAvance->setObjectName(QStringLiteral("GBarraDeAvance"));
    GBarraDeAvance->setGeometry(4, 2, 493, 11);
    GBarraDeAvance->SetBorderStyle(TGaugeBorderStyle::bsNone);
    GBarraDeAvance->SetForeColor(QColor(0, 255, 0));
    QFont gaugeFont;
    gaugeFont.setFamilies(
        {QStringLiteral("MS Serif"), QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")});
    gaugeFont.setPixelSize(8);
    GBarraDeAvance->setFont(gaugeFont);
    GBarraDeAvance->SetMinValue(0);
    GBarraDeAvance->SetMaxValue(0);
    GBarraDeAvance->SetProgress(0);

    PInferior = new QWidget(this);
    PInferior->setObjectName(QStringLiteral("PInferior"));
    SBVerDetalles = speedButton(PInferior, QStringLiteral("SBVerDetalles"), QStringLiteral("&Ver Detalles"),
                                QStyle::SP_FileDialogDetailedView, 194, 95);
    BDetenerProceso = speedButton(PInferior, QStringLiteral("BDetenerProceso"),
                                  QStringLiteral("Detener Proceso"), QStyle::SP_BrowserStop, 294, 131);
    BSalir = speedButton(PInferior, QStringLiteral("BSalir"), QStringLiteral("&Salir"),
                         QStyle::SP_DialogCloseButton, 430, 75);
    connect(SBVerDetalles, &QToolButton::clicked, this, &TFrmInfoP50::SBVerDetallesClick);
    connect(BDetenerProceso, &QToolButton::clicked, this, &TFrmInfoP50::BDetenerProcesoClick);
    connect(BSalir, &QToolButton::clicked, this, &TFrmInfoP50::BSalirClick);

    GBTiempos->resize(kAncho, kAltoTiempos);
    setFixedSize(kAncho, kAltoSuperior + kAltoTiempos + kAltoInferior + 1);
    relayout();
    FormCreate();
}

void TFrmInfoP50::FormCreate() {
    FVerDetalles = true;
}

// Stacks the visible panels from the top, as top-aligned panels do.
void TFrmInfoP50::relayout() {
    int y = 0;
    PSuperior->setGeometry(0, 0, kAncho, kAltoSuperior);
    if (!PSuperior->isHidden())
        y += kAltoSuperior;
    GBTiempos->move(0, y);
    int inner = kTituloTiempos;
    PSuperior1->setGeometry(2, inner, kAncho - 4, kAltoSuperior1);
    if (!PSuperior1->isHidden())
        inner += kAltoSuperior1;
    PInferior1->setGeometry(2, inner, kAncho - 4, kAltoInferior1);
    y += GBTiempos->height();
    PInferior->setGeometry(0, y, kAncho, kAltoInferior);
}

void TFrmInfoP50::setItemActual(int n) {
    FItemActual = n;
    LItemActual->setText(QStringLiteral("%1 de %2").arg(n).arg(FItemsAProcesar));
    LItemActual->repaint();
}

void TFrmInfoP50::setNumeroDeErrores(int n) {
    FNumeroDeErroresProducidos = n;
    LNumeroDeErroresProducidos->setText(QString::number(n));
    LNumeroDeErroresProducidos->repaint();
}

void TFrmInfoP50::Inicializar(int pCantidadDeRegistros, bool pResetAll) {
    NombreItemActual(QString());
    FItemsAProcesar = pCantidadDeRegistros;
    setItemActual(0);
    if (pResetAll) {
        setNumeroDeErrores(0);
        UltimoError(QString());
        LUltimoTiempo->setText(QStringLiteral("00m:00s:00ms"));
        LTiempoTranscurrido->setText(QStringLiteral("0h:00m:00s"));
        BSalir->setEnabled(false);
        BDetenerProceso->setEnabled(true);
        FHoraDeInicioTransAsignada = false;
        FContinuarProceso = true;
    }
    MensajeDelProceso(QString());
    GBarraDeAvance->SetMaxValue(pCantidadDeRegistros);
    GBarraDeAvance->SetProgress(0);
    FColorRojo = 0;
    FColorVerde = 255;
    GBarraDeAvance->SetForeColor(QColor(0, 255, 0));
    // A pass of no items has no colour steps (the step would divide by zero).
    FPasosDeColor = pCantidadDeRegistros > 0 ? 255.0 / (pCantidadDeRegistros / 2.0) : 0.0;
    if (!isVisible()) {
        show();
        if (const QScreen* screen = this->screen())
            move(screen->availableGeometry().center() - rect().center());
    }
    QCoreApplication::processEvents();
}

void TFrmInfoP50::MensajeDelProceso(const QString& Value) {
    if (!FContinuarProceso)
        return;
    LMensajeDelProceso->setText(Value);
    LMensajeDelProceso->repaint();
}

void TFrmInfoP50::NombreItemActual(const QString& Value) {
    NombreItemActual(Value, FItemActual + 1);
}

void TFrmInfoP50::NombreItemActual(const QString& Value, int pInRegActu) {
    LNombreItemActual->setText(Value);
    LNombreItemActual->repaint();
    setItemActual(pInRegActu);
    if (!FHoraDeInicioTransAsignada) {
        FHoraDeInicioTrans = Ahora();
        FHoraDeInicioTransAsignada = true;
    }
    FHoraDeInicioItem = Ahora();
    QCoreApplication::processEvents();
}

void TFrmInfoP50::EmpleadoActual(double pIdentificacion, const QString& pNombre) {
    NombreItemActual(QString::number(std::round(pIdentificacion), 'f', 0) + QStringLiteral("   ") + pNombre);
}

void TFrmInfoP50::EmpleadoActual(double pIdentificacion, const QString& pNombre, int pInRegActu) {
    NombreItemActual(QString::number(std::round(pIdentificacion), 'f', 0) + QStringLiteral("   ") + pNombre,
                     pInRegActu);
}

void TFrmInfoP50::actualizarTiempos() {
    const TDateTime now = Ahora();
    const qint64 ms = std::max<qint64>(0, milisegundos(now.value() - FHoraDeInicioItem.value()));
    LUltimoTiempo->setText(
        QStringLiteral("%1m:%2s:%3ms").arg((ms / 60000) % 60).arg((ms / 1000) % 60).arg(ms % 1000));
    LUltimoTiempo->repaint();
    LTiempoTranscurrido->setText(tiempoTranscurrido(now.value() - FHoraDeInicioTrans.value()));
    LTiempoTranscurrido->repaint();
}

void TFrmInfoP50::pasoDeColor() {
    const int max = GBarraDeAvance->MaxValue();
    if (max != 0) {
        const double ratio = static_cast<double>(GBarraDeAvance->Progress()) / max;
        if (ratio <= 0.5)
            FColorRojo = std::min(255.0, FColorRojo + FPasosDeColor);
        else
            FColorVerde = std::max(0.0, FColorVerde - FPasosDeColor);
    }
    const int r = static_cast<int>(std::trunc(FColorRojo)) % 256;
    const int g = static_cast<int>(std::trunc(FColorVerde)) % 256;
    GBarraDeAvance->SetForeColor(QColor(r, g, 0));
}

void TFrmInfoP50::ItemActualTerminado() {
    actualizarTiempos();
    GBarraDeAvance->SetProgress(GBarraDeAvance->Progress() + 1);
    pasoDeColor();
}

void TFrmInfoP50::EmpleadoActualTerminado() {
    ItemActualTerminado();
}

void TFrmInfoP50::EmpleadoActualTerminado(int pInRegActu) {
    actualizarTiempos();
    GBarraDeAvance->SetProgress(pInRegActu);
    pasoDeColor();
}

void TFrmInfoP50::UltimoError(const QString& Value) {
    if (Value.isEmpty()) {
        LUltimoError->clear();
        LUltimoError->repaint();
        return;
    }
    LUltimoError->setText(LNombreItemActual->text() + QStringLiteral(": ") + Value);
    LUltimoError->repaint();
    setNumeroDeErrores(FNumeroDeErroresProducidos + 1);
}

void TFrmInfoP50::Finalizar() {
    LTiempoTranscurrido->setText(tiempoTranscurrido(Ahora().value() - FHoraDeInicioTrans.value()));
    LTiempoTranscurrido->repaint();
    MensajeDelProceso(QStringLiteral("PROCESO TERMINADO"));
    BSalir->setEnabled(true);
    BDetenerProceso->setEnabled(false);
    GBarraDeAvance->SetForeColor(QColor(0, 0, 255));
}

void TFrmInfoP50::BDetenerProcesoClick() {
    MensajeDelProceso(QStringLiteral("DETENIENDO EL PROCESO..."));
    FContinuarProceso = false;
}

void TFrmInfoP50::BSalirClick() {
    close();
}

void TFrmInfoP50::SBVerDetallesClick() {
    FVerDetalles = !FVerDetalles;
    PSuperior->setVisible(FVerDetalles);
    PSuperior1->setVisible(FVerDetalles);
    const int delta = kAltoSuperior + kAltoSuperior1;
    if (FVerDetalles) {
        GBTiempos->resize(GBTiempos->width(), GBTiempos->height() + kAltoSuperior1);
        setFixedHeight(height() + delta);
    } else {
        GBTiempos->resize(GBTiempos->width(), GBTiempos->height() - kAltoSuperior1);
        setFixedHeight(height() - delta);
    }
    relayout();
}
