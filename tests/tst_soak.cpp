// SPDX-FileCopyrightText: 2026 simulated_error developers
// SPDX-License-Identifier: MIT

// Long runs, kept out of the everyday suite: thousands of starts back to back
// and side by side, and a line far larger than any buffer. Every output must
// be exact every time. Each reports how far it is once ten seconds have
// passed since its last report, so that none is silent for long.

#include "program_run.h"

#include <QElapsedTimer>

#include <memory>
#include <vector>

class Soak : public QObject
{
    Q_OBJECT

private slots:
    void backToBack();
    void sideBySide();
    void quarterGibibyteLine();
};

namespace {

QByteArray expectedOut(int index)
{
    return programEcho() + ";run;" + QByteArray::number(index) + ";line "
           + QByteArray::number(index) + '\n';
}

// Reports how many of the runs are done at the first run that ends ten
// seconds or more after the last report (or the start).
class Progress
{
public:
    Progress(const char *what, int total) : m_what(what), m_total(total) { m_clock.start(); }
    void done(int count)
    {
        if (m_clock.elapsed() - m_lastReportMs < 10000)
            return;
        m_lastReportMs = m_clock.elapsed();
        qInfo("%s: %d of %d runs, all exact so far", m_what, count, m_total);
    }
    qint64 elapsedMs() const { return m_clock.elapsed(); }

private:
    const char *m_what;
    int m_total;
    QElapsedTimer m_clock;
    qint64 m_lastReportMs = 0;
};

void startRun(GroupProcess &process, int index)
{
    startProgram(process, {"run", QString::number(index)});
    process.write("line " + QByteArray::number(index) + "\nnot read\n");
    process.closeWriteChannel();
}

} // namespace

void Soak::backToBack()
{
    constexpr int total = 5000;
    Progress progress("back to back", total);
    for (int index = 0; index < total; ++index) {
        GroupProcess process;
        startRun(process, index);
        const Outcome outcome = finish(process);
        VERIFY_RUN(outcome, expectedOut(index), errorLine);
        progress.done(index + 1);
    }
    qInfo("%d runs back to back, all exact, in %lld ms", total, progress.elapsedMs());
}

// Runs at most 16 at a time, 2,000 in all.
void Soak::sideBySide()
{
    constexpr int total = 2000;
    constexpr int atOnce = 16;
    Progress progress("side by side", total);
    for (int first = 0; first < total; first += atOnce) {
        std::vector<std::unique_ptr<GroupProcess>> batch;
        for (int index = first; index < first + atOnce; ++index) {
            batch.push_back(std::make_unique<GroupProcess>());
            startRun(*batch.back(), index);
        }
        for (int i = 0; i < atOnce; ++i) {
            const Outcome outcome = finish(*batch[i]);
            VERIFY_RUN(outcome, expectedOut(first + i), errorLine);
        }
        progress.done(first + atOnce);
    }
    qInfo("%d runs, %d at a time, all exact, in %lld ms", total, atOnce, progress.elapsedMs());
}

void Soak::quarterGibibyteLine()
{
    const QByteArray unit = "0123456789abcd\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";
    const QByteArray line = unit.repeated(256 * 1024 * 1024 / unit.size());
    GroupProcess process;
    startProgram(process, {"x"});
    QVERIFY(process.waitForStarted(finishTimeoutMs()));
    process.write(line + "\nnot read\n");
    process.closeWriteChannel();
    // One run that takes half a minute under the sanitizers on a busy
    // machine: it says that it is still going, and has a bound of its own.
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 10 * finishTimeoutMs()
           && !process.waitForFinished(10000))
        qInfo("a quarter gibibyte line: %lld s and running", clock.elapsed() / 1000);
    const Outcome outcome = finish(process);

    VERIFY_SIMULATED_FAILURE(outcome);
    QCOMPARE(outcome.out.size(), programEcho().size() + 3 + line.size() + 1);
    QVERIFY(outcome.out.endsWith(line + '\n'));
    QCOMPARE(outcome.err, errorLine);
}

QTEST_GUILESS_MAIN(Soak)
#include "tst_soak.moc"
