#include "AboutBox.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

#include "LangComponent.h"

#ifndef QORZIP_VERSION
#define QORZIP_VERSION "0.0.0"
#endif

namespace {
QLabel* AddLabel(QVBoxLayout* layout, const QString& name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    return label;
}
} // namespace

TAboutBox::TAboutBox(const QString& settingsFile, QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QStringLiteral("About"));
    auto* layout = new QVBoxLayout(this);
    QLabel* name = AddLabel(layout, QStringLiteral("lbProduct"), QStringLiteral("Qor Zip"));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    AddLabel(layout, QStringLiteral("lbVersion"), VersionText());
    AddLabel(layout, QStringLiteral("lbPurpose"),
             QStringLiteral("Keeps working files in step with one zip archive."));
    m_settingsLabel = AddLabel(layout, QStringLiteral("lbSettings"), QString());
    SetSettingsFile(settingsFile);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setObjectName(QStringLiteral("bnOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    m_langComponent = new TLangComponent(this);
    m_langComponent->setObjectName(QStringLiteral("LangComponent1"));
    m_langComponent->SetUseCommonLanguageFile(true);
}

QString TAboutBox::VersionText()
{
    return QStringLiteral("Version %1").arg(QStringLiteral(QORZIP_VERSION));
}

void TAboutBox::SetSettingsFile(const QString& settingsFile)
{
    m_settingsLabel->setText(
        QStringLiteral("Settings file:\n%1").arg(QDir::toNativeSeparators(settingsFile)));
}
