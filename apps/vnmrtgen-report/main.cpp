// vnmrtgen-report: the batch front end of the management reports. It runs the report form's logic without
// a window: the same request, reshaping per report type, code checks of the class and prototype lists,
// validation and dispatch to the type's builder; the report is written to PDF and/or XLSX (when both,
// both land or neither does).
//
// Exit status: 0 done; 2 for wrong arguments and for every message the form would show about its inputs
// (validation, unknown class or prototype, unknown company), printed on stderr exactly as the form shows
// it; 1 for any other failure (database, builder), message on stderr.
#include "CommandLine.h"
#include "CommandLineErrors.h"
#include "DateRoutines.h"
#include "ConnectionParams.h"
#include "FormatSettings.h"
#include "GeneralError.h"
#include "LayoutFiles.h"
#include "OutputFile.h"
#include "PdfExporter.h"
#include "Providers.h"
#include "ReportPresenter.h"
#include "ReportTypes.h"
#include "SClientDataSet.h"
#include "SDCOMConnection.h"
#include "TApplicationObject.h"
#include "TClientDataSet.h"
#include "TDtmNmRtgen.h"
#include "TDtmNmRtrep.h"
#include "TReportRequest.h"
#include "TReportRun.h"
#include "TReportTypeRules.h"
#include "TerminalProgress.h"
#include "Ugnproce.h"
#include "XlsxDataExporter.h"
#include "XlsxExporter.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>
#include <csignal>
#include <cstdio>

namespace {

const QString kGnEmpreStatement =
    QStringLiteral("SELECT COD_EMPR, NOM_EMPR, NIT_EMPR, BMP_REPO FROM GN_EMPRE ORDER BY COD_EMPR");

// The report types whose form enables an input, as the help names them: "0, 3, 6 y 10".
QString typesWhere(bool (*uses)(const TReportTypeRules&)) {
    QStringList numbers;
    for (const TReportType& t : ReportTypes())
        if (uses(TReportTypeRules::of(t.index)))
            numbers << QString::number(t.index);
    const QString last = numbers.isEmpty() ? QString() : numbers.takeLast();
    return numbers.isEmpty() ? last : numbers.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
}

// The class list is the form's grid only while it is enabled and not replaced by the novelty accounts.
bool usesClasses(const TReportTypeRules& r) {
    return r.classes == TClassListRule::Enabled && !r.noveltyGrid;
}
bool usesPrototypes(const TReportTypeRules& r) {
    return r.prototypesEnabled;
}
bool usesKinds(const TReportTypeRules& r) {
    return r.kindsEnabled;
}

QString help() {
    QString types;
    for (const TReportType& t : ReportTypes())
        types += QStringLiteral("                          %1  %2\n").arg(t.index, 2).arg(t.Caption());
    return QStringLiteral(
               "Uso: vnmrtgen-report --db ARCHIVO|URL --company CÓDIGO --type 0..10 --from FECHA --to FECHA\n"
               "                     [--kinds NADCXPV] [--classes 1,2,...] [--prototypes 3,...]\n"
               "                     [--account CUENTA] [--observations TEXTO] [--pdf ARCHIVO] [--xlsx "
               "ARCHIVO]\n"
               "                     [--date-format PATRÓN] [--user CÓDIGO] [--layouts CARPETA]\n"
               "     vnmrtgen-report --db ARCHIVO|URL [--company CÓDIGO] --list "
               "companies|classes|prototypes\n"
               "     vnmrtgen-report --export-layouts CARPETA\n"
               "\n"
               "Genera un informe de Reportes Gerenciales sin ventana, con las mismas reglas del "
               "formulario.\n"
               "\n"
               "  --db ARCHIVO|URL        base de datos: un archivo SQLite, o\n"
               "                          postgresql://usuario@servidor:puerto/base[?clave=valor&...]\n"
               "                          (la contraseña, mejor en PGPASSWORD o ~/.pgpass)\n"
               "  --company CÓDIGO        empresa (código de GN_EMPRE)\n"
               "  --type N                tipo de reporte:\n"
               "%1"
               "  --from FECHA            fecha inicial del periodo, en el formato de --date-format\n"
               "  --to FECHA              fecha final del periodo (incluida)\n"
               "  --kinds LETRAS          tipos de nómina: N Normal, A Adicional, D Definitiva, C "
               "Cesantías,\n"
               "                          X Extra Nómina, P Prima, V Vacaciones (tipos %2)\n"
               "  --classes LISTA         clases de nómina separadas por comas; una repetida cuenta una vez\n"
               "                          (solo tipos %3)\n"
               "  --prototypes LISTA      prototipos separados por comas (solo tipos %4)\n"
               "  --account CUENTA        cuenta contable a conciliar (tipo 0)\n"
               "  --observations TEXTO    observaciones que pide el informe (tipos 0 y 3); sin esta opción\n"
               "                          es como cancelar el diálogo de observaciones\n"
               "  --pdf ARCHIVO           escribe el informe en PDF (- : la salida estándar)\n"
               "  --xlsx ARCHIVO          escribe el informe en una hoja de cálculo XLSX (- : la salida\n"
               "                          estándar; solo una de las salidas puede serlo)\n"
               "  --xlsx-data ARCHIVO     escribe los datos del informe en un libro XLSX: una hoja por\n"
               "                          conjunto de datos, con encabezado, filtro y celdas con tipo\n"
               "  --date-format PATRÓN    formato de fecha corta (por omisión dd/MM/yyyy); también el que\n"
               "                          imprime el informe\n"
               "  --user CÓDIGO           código del usuario que firma el informe\n"
               "  --layouts CARPETA       diseños que reemplazan a los del módulo del mismo nombre\n"
               "                          (también VNMRTGEN_LAYOUTS); se comprueban antes de empezar\n"
               "  --export-layouts CARPETA  escribe los diseños del módulo en CARPETA, como punto de\n"
               "                          partida para ajustarlos, y termina\n"
               "  --list QUÉ              lista las empresas (companies), o las clases de nómina (classes) "
               "o\n"
               "                          los prototipos (prototypes) de --company, una por línea:\n"
               "                          código, tabulador, nombre\n"
               "  -h, --help              muestra esta ayuda\n"
               "  --version               muestra la versión\n"
               "\n"
               "Con el tipo 10 el formulario propone un periodo de tres meses; aquí --from se toma tal "
               "cual.\n"
               "Los informes largos (tipos 6, 7 y 10) muestran una barra de avance cuando stderr es una\n"
               "terminal; Ctrl+C los detiene como el botón \"Detener Proceso\".\n"
               "\n"
               "Estado de salida:\n"
               "  0  informe escrito (o lista mostrada)\n"
               "  1  error de la base de datos, del informe o al escribir los archivos\n"
               "  2  opciones o datos inválidos: el mensaje del formulario va a stderr\n")
        .arg(types, typesWhere(usesKinds), typesWhere(usesClasses), typesWhere(usesPrototypes));
}

// The companies of GN_EMPRE, read through the application server as the base form reads them.
struct Companies {
    explicit Companies(SDCOMConnection& connection) : query(QStringLiteral("QryGnEmpre")) {
        query.SetProviderName(QStringLiteral("DtsPGnEmpre"));
        query.SetRemoteServer(&connection);
        query.AddField(QStringLiteral("COD_EMPR"), TFieldType::ftSmallint);
        query.AddField(QStringLiteral("NOM_EMPR"), TFieldType::ftString, 80);
        query.AddField(QStringLiteral("NIT_EMPR"), TFieldType::ftFloat);
        query.AddField(QStringLiteral("BMP_REPO"), TFieldType::ftBlob);
        query.Open();
    }
    SClientDataSet query;
};

void printList(TDataSet& dataSet, const QString& code, const QString& name) {
    QTextStream out(stdout);
    for (dataSet.First(); !dataSet.Eof(); dataSet.Next())
        out << dataSet.FieldByName(code).AsInteger() << '\t' << dataSet.FieldByName(name).AsString().trimmed()
            << '\n';
}

// An option for a list the chosen type's form does not show would be silently ignored: refused instead.
void refuseUnused(const QCommandLineParser& parser, const QCommandLineOption& option, int type,
                  bool (*uses)(const TReportTypeRules&), const QString& what) {
    if (parser.value(option).trimmed().isEmpty() || uses(TReportTypeRules::of(type)))
        return;
    throw InputError(
        QStringLiteral("El tipo de reporte %1 (%2) no usa %3: quite --%4 (sirve para los tipos %5).")
            .arg(QString::number(type), ReportTypeAt(type)->Caption(), what, option.names().constFirst(),
                 typesWhere(uses)));
}

// All files or none: a new PDF beside an old spreadsheet would pass for one run's results.
class GroupedExportPresenter : public ReportPresenter {
public:
    GroupedExportPresenter(QString pdf, QString xlsx, QString data)
        : m_pdf(std::move(pdf)), m_xlsx(std::move(xlsx)), m_data(std::move(data)) {}
    void present(const QString& layout, const report::PreparedReport& pages) override {
        presentWithData(layout, pages, {});
    }
    void presentWithData(const QString&, const report::PreparedReport& pages,
                         const std::vector<const report::DataTable*>& data) override {
        std::vector<report::GroupedOutput> outputs;
        if (!m_pdf.isEmpty())
            outputs.push_back(
                {m_pdf, [&](const QString& path) { report::PdfExporter::exportToFile(pages, path); }});
        if (!m_xlsx.isEmpty())
            outputs.push_back(
                {m_xlsx, [&](const QString& path) { report::XlsxExporter::exportToFile(pages, path); }});
        if (!m_data.isEmpty())
            outputs.push_back(
                {m_data, [&](const QString& path) { report::XlsxDataExporter::exportToFile(data, path); }});
        report::writeOutputFiles(outputs);
    }

private:
    QString m_pdf, m_xlsx, m_data;
};

// The output files must not destroy what the run reads, nor each other: refused before any work is done.
void checkOutputs(const QCommandLineParser& parser, const BatchOptions& o, const ConnectionParams& params) {
    const std::vector<const QCommandLineOption*> options{&o.pdf, &o.xlsx, &o.xlsxData};
    for (const auto* option : options)
        if (parser.isSet(*option) && parser.value(*option).isEmpty())
            throw InputError(
                QStringLiteral("Falta el nombre del archivo de --%1.").arg(option->names().constFirst()));
    for (size_t i = 0; i < options.size(); ++i)
        for (size_t j = i + 1; j < options.size(); ++j) {
            const QString a = parser.value(*options[i]), b = parser.value(*options[j]);
            if (!parser.isSet(*options[i]) || !parser.isSet(*options[j]) || !report::sameFile(a, b))
                continue;
            const QString first = options[i]->names().constFirst(), second = options[j]->names().constFirst();
            throw InputError(a == QLatin1String(report::kStandardOutput)
                                 ? QStringLiteral("Solo uno de --%1 y --%2 puede ir a la salida estándar (-).")
                                       .arg(first, second)
                                 : QStringLiteral("--%1 y --%2 nombran el mismo archivo: '%3'.").arg(first, second, b));
        }
    if (params.protocol != QLatin1String("sqlite"))
        return;
    for (const QString& output : {parser.value(o.pdf), parser.value(o.xlsx), parser.value(o.xlsxData)})
        if (!output.isEmpty() && report::sameFile(output, params.server))
            throw InputError(
                QStringLiteral("El archivo de salida '%1' es la base de datos que se lee; elija otro nombre.")
                    .arg(output));
}

// Runs one step of filling in the form: whatever it refuses is the user's input to mend.
template <typename F> void entrada(F&& step) {
    try {
        step();
    } catch (const InputError&) {
        throw;
    } catch (const GeneralError& e) {
        throw InputError(e.message());
    }
}

template <typename F> auto entradaValor(F&& step) {
    decltype(step()) value;
    entrada([&] { value = step(); });
    return value;
}

QString required(const QCommandLineParser& parser, const QCommandLineOption& option) {
    if (!parser.isSet(option))
        throw InputError(QStringLiteral("Falta la opción --%1.").arg(option.names().constLast()));
    return parser.value(option);
}

int run(const QCommandLineParser& parser, const BatchOptions& o) {
    if (parser.isSet(o.exportLayouts)) {
        const QStringList written = entradaValor([&] { return layoutfiles::exportTo(parser.value(o.exportLayouts)); });
        QTextStream(stdout) << QStringLiteral("%1 diseños escritos en %2\n")
                                   .arg(written.size())
                                   .arg(parser.value(o.exportLayouts));
        return 0;
    }
    if (parser.isSet(o.layouts)) {
        // Every replaced layout is loaded now: a mistake in one shows before the database is opened.
        layoutfiles::setDirectory(parser.value(o.layouts));
        for (const QString& warning : entradaValor([] { return layoutfiles::checkDirectory(); }))
            QTextStream(stderr) << warning << "\n";
    }
    if (parser.isSet(o.dateFormat))
        applyDateFormat(parser.value(o.dateFormat));
    Ugnproce::gStCodiUsua = parser.value(o.user);

    ConnectionParams params;
    try {
        params = ConnectionParams::fromLocator(required(parser, o.db));
    } catch (const InputError&) {
        throw;
    } catch (const GeneralError& e) {
        throw InputError(e.message());
    }
    if (params.passwordInLocator)
        QTextStream(stderr) << QStringLiteral("Aviso: la contraseña escrita en --db queda a la vista de otros "
                                              "usuarios en la lista de procesos; use PGPASSWORD o ~/.pgpass.\n");
    SDCOMConnection connection(QStringLiteral("DCOMCnction"));
    connection.Open(params);
    registerProviders(connection.Providers());
    connection.Providers().add(QStringLiteral("DtsPGnEmpre"), kGnEmpreStatement);
    Ugnproce::gStNombProg = QStringLiteral("VNmRtgen");

    Companies companies(connection);
    const QString what = parser.value(o.list);
    if (parser.isSet(o.list) && what == QLatin1String("companies")) {
        printList(companies.query, QStringLiteral("COD_EMPR"), QStringLiteral("NOM_EMPR"));
        return 0;
    }
    if (parser.isSet(o.list) && what != QLatin1String("classes") && what != QLatin1String("prototypes"))
        throw InputError(QStringLiteral("--list admite companies, classes o prototypes, no '%1'.").arg(what));

    const int company = parseNumber(required(parser, o.company), QStringLiteral("Código de empresa"));
    if (!companies.query.Locate(QStringLiteral("COD_EMPR"), {company}))
        throw InputError(QStringLiteral("Empresa %1 no encontrada.").arg(company));
    Application().Tag = company;

    TDtmNmRtgen dtm(&connection);
    TReportRequest request(dtm);
    request.AbrirCatalogos();
    if (what == QLatin1String("classes")) {
        printList(*dtm.QryNmTnomi, QStringLiteral("COD_TNOM"), QStringLiteral("NOM_TNOM"));
        return 0;
    }
    if (what == QLatin1String("prototypes")) {
        printList(*dtm.QryNmTprot, QStringLiteral("COD_PROT"), QStringLiteral("NOM_PROT"));
        return 0;
    }

    // --- a report run: the form's inputs in the order a user fills them in ---
    const int type = parseNumber(required(parser, o.type), QStringLiteral("Tipo de reporte"));
    if (!ReportTypeAt(type))
        throw InputError(QStringLiteral("Tipo de reporte inválido: %1 (use 0 a 10).").arg(type));
    refuseUnused(parser, o.classes, type, usesClasses, QStringLiteral("clases de nómina"));
    refuseUnused(parser, o.prototypes, type, usesPrototypes, QStringLiteral("prototipos"));
    const QString from = required(parser, o.from);
    const QString to = required(parser, o.to);
    if (!parser.isSet(o.pdf) && !parser.isSet(o.xlsx) && !parser.isSet(o.xlsxData))
        throw InputError(QStringLiteral("Indique --pdf, --xlsx o ambos (o --xlsx-data)."));
    checkOutputs(parser, o, params);

    request.FecFina = to;
    try {
        request.AplicarTipoReporte(type);
    } catch (const GeneralError&) {
        // Type 10 moves the start date from a final date that is no date; the validation below names it.
        if (FormatSettings::global().parseDate(to))
            throw;
    }
    request.FecInic = from;
    entrada([&] { request.MarcarTiposNomina(parser.value(o.kinds)); });
    request.CodCuen = parser.value(o.account);
    for (int code : parseList(parser.value(o.classes), QStringLiteral("Código de clase de nómina")))
        entrada([&] { request.AgregarClase(code); });
    for (int code : parseList(parser.value(o.prototypes), QStringLiteral("Código de prototipo")))
        entrada([&] { request.AgregarPrototipo(code); });

    entrada([&] { request.ValidarParametros(); });

    TClientDataSet cdsGnEmpre(QStringLiteral("CdsGnEmpre"));
    for (int i = 0; i < companies.query.FieldCount(); ++i) {
        const TField& f = companies.query.Field(i);
        cdsGnEmpre.AddField(f.FieldName(), f.DataType(), f.Size());
    }
    cdsGnEmpre.CreateDataSet();
    cdsGnEmpre.Append();
    for (int i = 0; i < companies.query.FieldCount(); ++i)
        cdsGnEmpre.Field(i).SetValue(companies.query.Field(i).Value());
    cdsGnEmpre.Post();

    // The terminal stands for the form: the observations come from the command line (none: as if the
    // dialog were cancelled) and progress is a bar on stderr.
    struct Terminal : TRunHost {
        QString observations;
        QString PedirObservaciones() override { return observations; }
        std::unique_ptr<TProcessProgress> CrearProgreso() override { return std::make_unique<TerminalProgress>(); }
    } terminal;
    terminal.observations = parser.value(o.observations);
    GroupedExportPresenter presenter(parser.value(o.pdf), parser.value(o.xlsx), parser.value(o.xlsxData));

    TReportRun run = request.Run();
    run.CodiUsua = TReportRun::Firmante(Ugnproce::gStCodiUsua, params.user);
    run.CdsGnEmpre = &cdsGnEmpre;
    run.Host = &terminal;
    run.Presenter = &presenter;
    TDtmNmRtrep rep(&dtm);
    request.Despachar(rep, run);
    return 0;
}

// stderr carries the command's own messages and progress only; Qt's diagnostics (a missing runtime
// directory, an offscreen platform note) are shown when VNMRTGEN_VERBOSE is set.
void qtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    static const bool verbose = qEnvironmentVariableIsSet("VNMRTGEN_VERBOSE");
    if (verbose || type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[]) {
    FijarZonaHorariaLocal();
    qInstallMessageHandler(qtMessages);
    // A reader that closes the pipe of "--pdf -" early is a write error to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    // Exports measure and draw text, and charts are drawn through graphics items: a widget application,
    // but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vnmrtgen-report"));
    QTextStream err(stderr);

    QCommandLineParser parser;
    BatchOptions options;
    options.addTo(parser);
    if (const QString error = parseArguments(parser, options, QApplication::arguments()); !error.isEmpty()) {
        err << error << "\n";
        return 2;
    }
    if (parser.isSet(options.help)) {
        QTextStream(stdout) << help();
        return 0;
    }
    if (parser.isSet(options.version)) {
        QTextStream(stdout) << versionLine(QStringLiteral("vnmrtgen-report")) << "\n";
        return 0;
    }

    try {
        return run(parser, options);
    } catch (const InputError& e) {
        err << e.message() << "\n";
        return 2;
    } catch (const GeneralError& e) {
        err << e.message() << "\n";
        return 1;
    } catch (const std::exception& e) {
        err << QString::fromStdString(e.what()) << "\n";
        return 1;
    }
}
