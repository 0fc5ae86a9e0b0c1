// The vnmrtgen-demo command: arguments, refusal to overwrite, and all-or-nothing files.
#include "SchemaTestUtil.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <gtest/gtest.h>

namespace {

struct DemoRun {
    int status;
    QString out;
    QString err;
};

// The last line written to stderr: the outcome, after any progress lines.
QString lastLine(const QString& text) {
    return text.trimmed().section(u'\n', -1);
}

DemoRun demo(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VNMRTGEN_DEMO_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(120000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

TEST(DemoApp, RejectsWrongArguments) {
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{}, "Indique exactamente uno de --sqlite o --postgresql."},
        {{"--sqlite", "a.sqlite", "--postgresql", "postgresql://u@h/d"},
         "Indique exactamente uno de --sqlite o --postgresql."},
        {{"--sqlite", "a.sqlite", "--scale", "0"}, "La escala debe ser un número entero mayor que cero: 0"},
        {{"--sqlite", "a.sqlite", "--seed", "-3"}, "La semilla debe ser un número entero no negativo: -3"},
        {{"--sqlite", "a.sqlite", "sobrante"}, "Argumento no reconocido: sobrante"},
        {{"--sqlite", "a.sqlite", "--rapido"}, "Opción desconocida: --rapido. Use --help para ver las opciones."},
        {{"--sqlite"}, "Falta el valor de --sqlite."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const DemoRun run = demo(c.arguments);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("vnmrtgen-demo: ") + QString::fromUtf8(c.message)))
            << run.err.left(200).toStdString();
    }
    const DemoRun help = demo({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(
        help.out.startsWith(QLatin1String("Uso: vnmrtgen-demo (--sqlite ARCHIVO | --postgresql URL)")));
}

TEST(DemoApp, WritesTheFileOnceAndReplacesItOnlyWhenForced) {
    const QString path = schematest::freshPath(QStringLiteral("app"));
    const DemoRun first = demo({"--sqlite", path});
    ASSERT_EQ(first.status, 0) << first.err.toStdString();
    EXPECT_TRUE(QFileInfo(path).size() > 0);
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
    EXPECT_TRUE(first.out.contains(QLatin1String("NM_ACUMU")));
    EXPECT_TRUE(first.err.contains(QLatin1String("Generando 200 empleados")));

    QFile::resize(path, 4096); // any change the refusal must leave alone
    const DemoRun refused = demo({"--sqlite", path, "--scale", "1"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(
        lastLine(refused.err),
        QStringLiteral("vnmrtgen-demo: El archivo %1 ya existe; use --force para reemplazarlo.").arg(path));
    EXPECT_EQ(QFileInfo(path).size(), 4096);

    const DemoRun forced = demo({"--sqlite", path, "--force", "--seed", "5"});
    ASSERT_EQ(forced.status, 0) << forced.err.toStdString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("app-result"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        EXPECT_EQ(schematest::scalar(db, "SELECT COUNT(*) FROM BI_EMPLE").toInt(), 200);
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("app-result"));
}

TEST(DemoApp, AFailedRunLeavesNoFile) {
    const QString path = QStringLiteral("/nonexistent-dir/demo.sqlite");
    const DemoRun run = demo({"--sqlite", path});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(lastLine(run.err).startsWith(
        QStringLiteral("vnmrtgen-demo: No se pudo crear el archivo de base de datos %1.tmp: ").arg(path)))
        << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
}

} // namespace
