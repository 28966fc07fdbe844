// bench_ftp store|retrieve|checked|download HOST PORT USER PASSWORD LOCAL REMOTE
// One transfer through TFtpClient, as the upload runs it (store), a bare
// retrieval (retrieve), or the window's checked download through TFtpTransfer:
// retrieval and archive check up to the save dialog, which is declined
// (checked), or also saved to LOCAL (download). The script beside it times it
// against curl.
#include <cstdio>

#include <QCoreApplication>

#include "Exception.h"
#include "FtpClient.h"
#include "FtpTransfer.h"
#include "../BenchUserInterface.h"

namespace {

int CheckedDownload(const QStringList& args)
{
    // Saves where the command line says and asks nothing else.
    TBenchUserInterface ui(TMsgButton::Cancel,
                           args.at(1) == QLatin1String("download") ? args.at(6) : QString());
    TFtpTransfer transfer(ui);
    transfer.Settings().Hostname = args.at(2) + QLatin1Char(':') + args.at(3);
    transfer.Settings().Username = args.at(4);
    transfer.Settings().Password = args.at(5);
    transfer.Browser().SetPickedFile(args.at(7).toLocal8Bit());
    return transfer.Download() != TTransferResult::Cancelled ? 0 : 1;
}

int ClientTransfer(const QStringList& args)
{
    TFtpClient client;
    client.SetHost(args.at(2).toLocal8Bit());
    client.SetPort(args.at(3).toInt());
    client.SetUsername(args.at(4).toLocal8Bit());
    client.SetPassword(args.at(5).toLocal8Bit());
    client.SetPassive(true);
    client.Connect();
    if (args.at(1) == QLatin1String("store"))
        client.Store(args.at(6), args.at(7).toLocal8Bit());
    else
        client.Retrieve(args.at(7).toLocal8Bit(), args.at(6));
    client.Disconnect();
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QStringList modes{"store", "retrieve", "checked", "download"};
    if (args.size() != 8 || !modes.contains(args.at(1))) {
        std::fprintf(stderr, "usage: bench_ftp store|retrieve|checked|download HOST PORT USER "
                             "PASSWORD LOCAL REMOTE\n");
        return 2;
    }
    try {
        return args.at(1) == QLatin1String("store") || args.at(1) == QLatin1String("retrieve")
                   ? ClientTransfer(args)
                   : CheckedDownload(args);
    } catch (const Exception& error) {
        std::fprintf(stderr, "%s\n", qPrintable(error.Message()));
        return 1;
    }
}
