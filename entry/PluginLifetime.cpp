#include "PluginLifetime.h"

#include "GeneralError.h"
#include "ParameterLine.h"
#include "ReportPresenter.h"
#include "TApplicationObject.h"
#include "TCaptura.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TFrmNmRtgen.h"
#include "Ugnproce.h"

#include <QApplication>
#include <memory>

namespace VNmRtgenLib {

TDtmNmRtgen* DtmNmRtgen = nullptr;
TDtmNmRtrep* DtmNmRtrep = nullptr;
TFrmNmRtgen* FrmNmRtgen = nullptr;
TFrmFormaProcesos* FormaActiva = nullptr;

const char16_t kServerGUID[] = u"{07F759C0-5C4C-4A60-8A76-781F4D938D85}";
const char16_t kServerName[] = u"VNmRtgen.VNmRtgenDmr";
const char16_t kServerGUIDNet[] = u"{1AEE5EAD-02D1-44F2-8F88-2C1305E45A2C}";
const char16_t kServerNameNet[] = u"VNmRtgenBD.VNmRtgen";
const char16_t kPublicKeyToken[] = u"0f3a7c51d2e4b968";

namespace {

// The desktop way of showing a report: the preview window. A host that set its own assigner before the
// load (tests, an embedding application) keeps it.
std::unique_ptr<ReportPresenter> g_presenter;

void asegurarAplicacion() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    if (QCoreApplication::instance())
        throw GeneralError(QStringLiteral("La aplicación anfitriona no admite ventanas."));
    // QApplication keeps references to argc and argv for its whole life.
    static int argc = 1;
    static char arg0[] = "VNmRtgen";
    static char* argv[] = {arg0, nullptr};
    new QApplication(argc, argv);
}

void asignarVistaPrevia() {
    auto& assigner = TFrmFormaProcesos::previewAssigner();
    if (assigner)
        return;
    assigner = [](QObject* module) {
        if (auto* rep = qobject_cast<TDtmNmRtrep*>(module)) {
            if (!g_presenter)
                g_presenter = std::make_unique<PreviewPresenter>();
            rep->SetPresenter(g_presenter.get());
        }
    };
}

} // namespace

bool Cargado() {
    return FrmNmRtgen != nullptr;
}

uint32_t Cargar(const TLoadArguments& args) {
    using namespace Ugnproce;
    if (FrmNmRtgen)
        return static_cast<uint32_t>(FrmNmRtgen->winId());

    gStParSrv = args.servidor;
    gStParUsu = args.usuario;
    gStParPas = args.clave;
    gStParEmp = args.empresa;
    gStParHpv = args.parametros;
    gStAliasCnx = args.alias;

    if (!TrimControls(gStParHpv).isEmpty()) {
        // The list belongs to the host package; a later load replaces it.
        gSlParams = std::make_unique<QStringList>();
        ParsearLineaParametros(gStParHpv, *gSlParams);
    }

    gStProtocolo = args.protocolo;

    asegurarAplicacion();
    asignarVistaPrevia();

    try {
        DtmNmRtgen = new TDtmNmRtgen(nullptr, &Application());
        DtmNmRtrep = new TDtmNmRtrep(DtmNmRtgen, &Application());
        // A widget cannot be a child of a plain object: the form is a top-level window that the
        // application object's references keep, as the library's main window.
        FrmNmRtgen = new TFrmNmRtgen(*DtmNmRtgen, *DtmNmRtrep);
        // The form falls back to the first company when the one asked for is not there; a host that
        // names a company must get that company or no window, never another company's figures.
        const QString empresa = args.empresa.trimmed();
        if (!empresa.isEmpty()) {
            bool numero = false;
            const int codigo = empresa.toInt(&numero);
            if (!numero)
                throw GeneralError(QStringLiteral("El código de empresa '%1' no es un número entero.").arg(empresa));
            if (Application().Tag != codigo)
                throw GeneralError(QStringLiteral("La empresa %1 no existe en la base de datos.").arg(codigo));
        }
        Captura();
        FormaActiva = FrmNmRtgen;
        return static_cast<uint32_t>(FrmNmRtgen->winId());
    } catch (...) {
        Descargar();
        throw;
    }
}

void Descargar() {
    FormaActiva = nullptr;
    if (FrmNmRtgen) {
        TFrmNmRtgen* form = FrmNmRtgen;
        FrmNmRtgen = nullptr;
        form->close();
        delete form;
    }
    LiberarCaptura();
    if (DtmNmRtrep) {
        DtmNmRtrep->SetPresenter(nullptr);
        delete DtmNmRtrep;
        DtmNmRtrep = nullptr;
    }
    if (DtmNmRtgen) {
        delete DtmNmRtgen;
        DtmNmRtgen = nullptr;
    }
    g_presenter.reset();
}

} // namespace VNmRtgenLib
