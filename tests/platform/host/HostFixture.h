// Fixtures shared by the host and dialog tests: a small payroll database in a temporary SQLite file, a
// connection on it, a recorder of message boxes and a way to act on modal windows without blocking.
#pragma once

#include "HostMessageBox.h"
#include "SDCOMConnection.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace hostfixture {

// Path of the fixture database, created on first use: GN_EMPRE with three companies (1, 2, 5; company 1
// with a PNG logo), NM_TNOMI with the payroll classes of companies 1 and 2 (company 1 has a class whose
// name holds a quote and "; DROP", and one whose name begins with "100%").
QString databasePath();

// A connection opened on the fixture database through ConnectionParams::fromLocator, with the lookup
// provider "DtsPTemporal" registered.
std::unique_ptr<SDCOMConnection> openConnection();

// Row count of a table, read through a separate QtSql connection (proves the table is still there).
int tableRowCount(const QString& table);

struct Message {
    QMessageBox::Icon icon;
    QString title;
    QString text;
};

// Replaces the message boxes while alive: every message is recorded and answered with `answer`.
class MessageRecorder {
public:
    explicit MessageRecorder(QMessageBox::StandardButton answer = QMessageBox::Ok);
    ~MessageRecorder();
    const std::vector<Message>& messages() const { return m_messages; }
    QStringList texts() const;
    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }

private:
    std::vector<Message> m_messages;
    QMessageBox::StandardButton m_answer;
    HostMessageBox::Hook m_previous;
};

// Runs action on the first modal window whose object name is objectName, as soon as it is shown (polled
// from the event loop). If the window is still open after action, it is rejected; if none appears within
// a few seconds, the test fails and every modal window is closed, so a test never hangs.
void onModal(const QString& objectName, std::function<void(QWidget*)> action);

// Types text into widget key by key; unlike QTest::keyClicks it takes any letter (ñ, á...).
void typeText(QWidget* widget, const QString& text);

// Processes events until condition holds or ms milliseconds have passed; returns the condition.
bool waitFor(const std::function<bool()>& condition, int ms = 2000);

} // namespace hostfixture

#include <ostream>
// Readable string lists in test failure messages.
inline void PrintTo(const QStringList& list, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << '}';
}
