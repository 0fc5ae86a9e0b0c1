// Where exports land: regular files replaced whole or not at all, links kept, devices and FIFOs written
// into and never replaced, a SQLite database never overwritten, and every failure explained in Spanish.
#include "GeneralError.h"
#include "OutputFile.h"
#include "OutputFixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using report::sameFile;
using report::writeOutputFile;

class OutputFile : public testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    static QByteArray contents(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<no se pudo leer>");
    }
    static void put(const QString& file, const QByteArray& data) {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // The message of the failure writing data to target, or "" when it was written.
    static QString failure(const QString& target, const QByteArray& data = "informe") {
        try {
            writeOutputFile(target, data);
            return QString();
        } catch (const GeneralError& e) {
            return e.message();
        }
    }
    // Only the names the test made: no temporary file left behind.
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

    QTemporaryDir m_dir;
};

TEST_F(OutputFile, RegularFilesAndLinksAreReplacedWhole) {
    const QString file = path(QStringLiteral("informe.pdf"));
    EXPECT_EQ(failure(file, "primero"), QString());
    ASSERT_EQ(::chmod(QFile::encodeName(file).constData(), 0640), 0);
    EXPECT_EQ(failure(file, "segundo"), QString());
    EXPECT_EQ(contents(file), "segundo");
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(file).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";

    // A link stays a link; the file it ends at gets the new content, also when it does not exist yet.
    const QString link = path(QStringLiteral("enlace.pdf"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_EQ(failure(link, "tercero"), QString());
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(contents(file), "tercero");
    const QString dangling = path(QStringLiteral("pendiente.xlsx"));
    ASSERT_TRUE(QFile::link(path(QStringLiteral("destino.xlsx")), dangling));
    EXPECT_EQ(failure(dangling, "cuarto"), QString());
    EXPECT_TRUE(QFileInfo(dangling).isSymLink());
    EXPECT_EQ(contents(path(QStringLiteral("destino.xlsx"))), "cuarto");
    EXPECT_EQ(entries(), QStringList({"destino.xlsx", "enlace.pdf", "informe.pdf", "pendiente.xlsx"}));
}

TEST_F(OutputFile, DevicesAndFifosAreWrittenIntoNeverReplaced) {
    EXPECT_EQ(failure(QStringLiteral("/dev/null")), QString());
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    EXPECT_EQ(failure(QStringLiteral("/dev/full")),
              QStringLiteral("No se pudo escribir el archivo '/dev/full': no hay espacio en el disco"));
    ASSERT_EQ(::stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));

    const QString fifo = path(QStringLiteral("tuberia"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QByteArray data(200000, 'x'); // more than a pipe holds: the writer must wait for the reader
    QByteArray received;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            received = f.readAll();
    });
    EXPECT_EQ(failure(fifo, data), QString());
    reader.join();
    EXPECT_EQ(received.size(), data.size());
    ASSERT_EQ(::lstat(QFile::encodeName(fifo).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(OutputFile, RefusalsLeaveEverythingAsItWas) {
    const QString db = path(QStringLiteral("nomina.sqlite"));
    QByteArray database("SQLite format 3");
    database.append('\0').append(QByteArray(100, 'd'));
    put(db, database);
    EXPECT_EQ(failure(db), QStringLiteral("No se pudo escribir el archivo '%1': es una base de datos SQLite y no "
                                          "se reemplaza con un informe")
                               .arg(db));
    EXPECT_EQ(contents(db), database);

    EXPECT_EQ(failure(m_dir.path()), QStringLiteral("No se pudo escribir el archivo '%1': es una carpeta").arg(m_dir.path()));
    const QString nowhere = path(QStringLiteral("no-existe/informe.pdf"));
    EXPECT_EQ(failure(nowhere), QStringLiteral("No se pudo escribir el archivo '%1': la carpeta no existe").arg(nowhere));
    EXPECT_EQ(failure(QString()), QStringLiteral("No se indicó el nombre del archivo de salida."));

    // A folder the user may not write to (as root, the test drops to an unprivileged user for the call).
    const QString closed = path(QStringLiteral("cerrada"));
    ASSERT_TRUE(QDir().mkdir(closed));
    ASSERT_EQ(::chmod(QFile::encodeName(closed).constData(), 0555), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::seteuid(65534), 0);
    }
    const QString denied = failure(closed + QStringLiteral("/informe.pdf"));
    if (root) {
        ASSERT_EQ(::seteuid(0), 0);
    }
    EXPECT_EQ(denied, QStringLiteral("No se pudo escribir el archivo '%1/informe.pdf': permiso denegado").arg(closed));
    EXPECT_TRUE(QDir(closed).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

// A write cut short (here by a file-size limit, as a full disk would) keeps the old file and leaves no
// temporary file.
TEST_F(OutputFile, ShortWriteKeepsTheOldFile) {
    const QString file = path(QStringLiteral("informe.xlsx"));
    put(file, "anterior");
    const QString message =
        outtest::errorUnderFileSizeLimit(4096, [&] { writeOutputFile(file, QByteArray(100000, 'z')); });
    EXPECT_EQ(message,
              QStringLiteral("No se pudo escribir el archivo '%1': el archivo supera el tamaño máximo permitido").arg(file));
    EXPECT_EQ(contents(file), "anterior");
    EXPECT_EQ(entries(), QStringList({"informe.xlsx"}));
}

TEST_F(OutputFile, SameFileHoweverSpelt) {
    const QString sub = path(QStringLiteral("sub"));
    ASSERT_TRUE(QDir().mkdir(sub));
    const QString db = sub + QStringLiteral("/db.sqlite");
    put(db, "x");
    ASSERT_TRUE(QFile::link(db, path(QStringLiteral("enlace"))));
    EXPECT_TRUE(sameFile(db, sub + QStringLiteral("/../sub/./db.sqlite")));
    EXPECT_TRUE(sameFile(db, path(QStringLiteral("enlace"))));
    EXPECT_TRUE(sameFile(path(QStringLiteral("nuevo.pdf")), sub + QStringLiteral("/../nuevo.pdf")));
}

} // namespace
