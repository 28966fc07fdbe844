// bench_ftp store|retrieve HOST PORT USER PASSWORD LOCAL REMOTE
// One transfer through TFtpClient, as the upload and download run it; the
// script beside it times it against curl.
#include <cstdio>

#include <QCoreApplication>

#include "Exception.h"
#include "FtpClient.h"

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 8 ||
        (args.at(1) != QLatin1String("store") && args.at(1) != QLatin1String("retrieve"))) {
        std::fprintf(stderr,
                     "usage: bench_ftp store|retrieve HOST PORT USER PASSWORD LOCAL REMOTE\n");
        return 2;
    }
    TFtpClient client;
    client.SetHost(args.at(2).toLocal8Bit());
    client.SetPort(args.at(3).toInt());
    client.SetUsername(args.at(4).toLocal8Bit());
    client.SetPassword(args.at(5).toLocal8Bit());
    client.SetPassive(true);
    try {
        client.Connect();
        if (args.at(1) == QLatin1String("store"))
            client.Store(args.at(6), args.at(7).toLocal8Bit());
        else
            client.Retrieve(args.at(7).toLocal8Bit(), args.at(6));
        client.Disconnect();
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        return 1;
    }
    return 0;
}
