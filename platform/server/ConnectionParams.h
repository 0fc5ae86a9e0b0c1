// ConnectionParams: what opens the application-server connection, as the host's load hands it over:
// protocol ("sqlite", "postgresql", "odbc"), server (SQLite: the database file; PostgreSQL: host[:port],
// where the host may be a socket directory and an empty host means the local socket), alias (PostgreSQL:
// the database name; ODBC: the DSN), user and password. A PostgreSQL locator may name further libpq
// connection keywords, kept in options.
#pragma once

#include <QList>
#include <QString>
#include <utility>

struct ConnectionParams {
    QString protocol;
    QString server;
    QString alias;
    QString user;
    QString password;
    // libpq keywords other than host, port, dbname, user and password (sslmode, passfile, service...), in
    // the order the locator gives them.
    QList<std::pair<QString, QString>> options = {};
    // The locator itself carried a password (in its user part or as password=/sslpassword=): whoever
    // typed it on a command line left it in the process list.
    bool passwordInLocator = false;

    // "FILE" (a path) or a PostgreSQL connection URI as libpq takes it:
    //   postgresql://[user[:password]@][host][:port][/database][?keyword=value&...]
    // with every part percent-decoded, an IPv6 host in brackets, an empty host meaning the local socket and
    // a host (in the URI or as host=) that starts with '/' naming a socket directory. The database name may
    // be left out only when service= names it. Keywords libpq does not know are refused. Throws
    // GeneralError, with the locator's password masked, on a malformed text.
    static ConnectionParams fromLocator(const QString& locator);

    // The value of options' keyword, or an empty text.
    QString option(const QString& keyword) const;

    // options as QSqlDatabase::setConnectOptions takes them for QPSQL ("key='value';..."), values quoted
    // for libpq.
    QString libpqOptions() const;

    // server split for PostgreSQL into its host (brackets of an IPv6 address removed; empty: the default)
    // and port (0: the default). Throws GeneralError ("el servidor 'X' no es válido." or "el puerto 'X'
    // no es válido.") when server cannot be split so.
    std::pair<QString, int> postgresHostPort() const;
};
