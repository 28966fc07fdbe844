#include "ZipDlgFixture.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QTest>

#include "QorApplication.h"
#include "TestRegistry.h"
#include "ZipFile.h"
#include "ZipTreeView.h"

// The windows' tests run under the program's own application object, which
// shows the errors that escape a handler.
static const bool QorApplicationRegistered =
    TestRegistry::SetApplicationFactory([](int& argc, char** argv) {
        return std::unique_ptr<QCoreApplication>(new TQorApplication(argc, argv));
    });

TZipDlgFixture::TZipDlgFixture() : m_previousDir(QDir::currentPath())
{
    // "QorZip.qrz" without a folder lands in the current directory.
    QDir::setCurrent(Dir.path());
    QDir().mkpath(Dir.filePath(QStringLiteral("work")));
    TQorApplication::SetErrorHandler([this](const QString& message) { Errors.append(message); });
}

TZipDlgFixture::~TZipDlgFixture()
{
    m_dlg.reset();
    TQorApplication::SetErrorHandler({});
    QDir::setCurrent(m_previousDir);
}

QString TZipDlgFixture::Work(const QString& name) const
{
    return Dir.Path(QStringLiteral("work/") + name);
}

QString TZipDlgFixture::WriteProject(const QString& name, const QString& zip,
                                     const QString& folder) const
{
    const QString path = Dir.Path(folder + name + QStringLiteral(".qrz"));
    const QString text = QStringLiteral("[Files]\nRelDir=%1\nLastZipFile=%2\n"
                                        "[ZipCommands]\nRow[0]=Directory,Filter\n"
                                        "Row[1]=docs,*.txt\n")
                             .arg(Work(), zip);
    TestUtil::WriteFile(path, text.toUtf8());
    return path;
}

void TZipDlgFixture::WriteSettings(const QString& current, const QStringList& recent) const
{
    QString text = QStringLiteral("[QorZip]\nConfigFile=%1\n").arg(current);
    for (int k = 1; k <= 3; ++k)
        text += QStringLiteral("ConfigFile%1=%2\n").arg(k).arg(recent.value(k - 1));
    TestUtil::WriteFile(Dir.Path(QStringLiteral("QorZip.ini")), text.toUtf8());
}

QString TZipDlgFixture::WriteZip(const QString& name, const QList<QByteArray>& entries) const
{
    TZipFile zip;
    for (const QByteArray& entry : entries) {
        zip.AddEntry(entry, 0);
        zip.SetDateTime(zip.Count() - 1, QDateTime(QDate(2026, 3, 1), QTime(10, 12)));
        zip.SetData(zip.Count() - 1, QByteArray("content of ") + entry);
    }
    const QString path = Dir.Path(name);
    zip.SaveToFile(path);
    return path;
}

QList<QByteArray> TZipDlgFixture::EntriesOf(const QString& zip) const
{
    TZipFile file;
    file.LoadFromFile(zip);
    QList<QByteArray> names;
    for (int i = 0; i < file.Count(); ++i)
        names.append(file.GetName(i));
    return names;
}

TZipDlg& TZipDlgFixture::Start(const QStringList& arguments)
{
    TZipDlgOptions options;
    options.SettingsFile = Dir.Path(QStringLiteral("QorZip.ini"));
    options.Arguments = arguments;
    options.Scripted = &Ui;
    options.RegisterFileType = false;
    m_dlg = std::make_unique<TZipDlg>(m_global, options);
    return *m_dlg;
}

void TZipDlgFixture::ShowWindow()
{
    m_dlg->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
}

QAction* TZipDlgFixture::Action(const QString& name) const
{
    QAction* action = m_dlg->findChild<QAction*>(name);
    if (!action)
        qFatal("no action %s", qPrintable(name));
    return action;
}

void TZipDlgFixture::Click(const QString& buttonName) const
{
    auto* button = m_dlg->findChild<QAbstractButton*>(buttonName);
    if (!button)
        qFatal("no button %s", qPrintable(buttonName));
    QTest::mouseClick(button, Qt::LeftButton);
}

TZipTreeView* TZipDlgFixture::Tree() const
{
    return Find<TZipTreeView>(QStringLiteral("tvZip"));
}

QStringList TZipDlgFixture::TreeTexts(const QModelIndex& parent) const
{
    const QAbstractItemModel* model = Tree()->model();
    QStringList texts;
    for (int row = 0; row < model->rowCount(parent); ++row)
        texts.append(model->index(row, 0, parent).data().toString());
    return texts;
}
