// The collection and echo written the plainest way, as a baseline for the
// benchmark. It assumes the input holds a line feed.
#include <QFile>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QString line;
    {
        QFile input;
        input.open(stdin, QIODevice::ReadOnly, QFileDevice::DontCloseHandle);
        line = QString(input.readLine());
        while (line.indexOf(QLatin1String("\n")) < 0)
            line.append(QString::fromUtf8(input.readLine()));
    }
    for (int i = 0; i < argc; ++i) {
        QTextStream out(stdout);
        out << argv[i] << ";";
    }
    {
        QTextStream out(stdout);
        out << line;
    }
    QTextStream err(stderr);
    err << "this is a simulated error" << Qt::endl;
    return 10;
}
