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
#include "UserInterface.h"

namespace {
// Saves where the command line says and asks nothing else.
class TBenchInterface : public TUserInterface {
public:
    explicit TBenchInterface(const QString& target) : m_target(target) {}
    TMsgButton Confirm(const QString&, TMsgButtons) override { return TMsgButton::Cancel; }
    void ShowMessage(const QString& text) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
    }
    QString SaveFileName(const TFileRequest&) override { return m_target; }
    QString OpenFileName(const TFileRequest&) override { return {}; }
    QString DirectoryName(const TFileRequest&) override { return {}; }
    bool InputText(const QString&, const QString&, QString&) override { return false; }
    void ReportLine(const QString&) override {}
    void ClearReport() override {}
    void SetProgressTitle(const QString&) override {}
    void SetProgressText(const QString&) override {}
    void SetProgressMaximum(int) override {}
    void SetProgressPosition(int) override {}
    int ProgressMaximum() const override { return 0; }
    int ProgressPosition() const override { return 0; }
    void ShowProgress() override {}
    void CloseProgress() override {}
    bool Cancelled() const override { return false; }
    void ProcessEvents() override {}

private:
    QString m_target;
};

int CheckedDownload(const QStringList& args)
{
    TBenchInterface ui(args.at(1) == QLatin1String("download") ? args.at(6) : QString());
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
