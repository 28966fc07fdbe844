#include "ProgressForm.h"

#include <QCloseEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

namespace {
constexpr int FormWidth = 365;
constexpr int FormHeight = 111;
constexpr int BevelWidth = 3;

// The background of the window: the window colour with a tint of the
// selection colour, as an inactive caption gradient looks.
QColor PanelColour(const QPalette& palette)
{
    const QColor window = palette.color(QPalette::Window);
    const QColor tint = palette.color(QPalette::Inactive, QPalette::Highlight);
    const auto mix = [](int a, int b) {
        return (a * 4 + b) / 5;
    };
    return QColor(mix(window.red(), tint.red()), mix(window.green(), tint.green()),
                  mix(window.blue(), tint.blue()));
}
} // namespace

TProgressForm::TProgressForm(QWidget* owner) : QWidget(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ProgressForm"));
    setFixedSize(FormWidth, FormHeight);
    CreateControls();
}

void TProgressForm::CreateControls()
{
    m_panel = new QFrame(this);
    m_panel->setObjectName(QStringLiteral("Panel1"));
    m_panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_panel->setLineWidth(BevelWidth);
    m_panel->setGeometry(0, 0, FormWidth, FormHeight);

    m_titlePanel = new QLabel(m_panel);
    m_titlePanel->setObjectName(QStringLiteral("pnTitle"));
    m_titlePanel->setAlignment(Qt::AlignCenter);
    m_titlePanel->setGeometry(BevelWidth, BevelWidth, FormWidth - 2 * BevelWidth, 26);
    QFont bold = m_titlePanel->font();
    bold.setBold(true);
    m_titlePanel->setFont(bold);

    m_textLabel = new QLabel(m_panel);
    m_textLabel->setObjectName(QStringLiteral("lbText"));
    m_textLabel->setGeometry(8, 35, FormWidth - 16, 16);

    m_progressBar = new QProgressBar(m_panel);
    m_progressBar->setObjectName(QStringLiteral("ProgressBar1"));
    m_progressBar->setGeometry(8, 54, 350, 18);
    m_progressBar->setTextVisible(false);
    m_progressBar->setValue(0);

    m_cancelButton = new QPushButton(QStringLiteral("Abbrechen"), m_panel);
    m_cancelButton->setObjectName(QStringLiteral("BitBtn1"));
    m_cancelButton->setGeometry(284, 81, 75, 25);
    connect(m_cancelButton, &QPushButton::clicked, this, &TProgressForm::BitBtn1Click);
    PaintOwnColours();
}

void TProgressForm::SetTitle(const QString& title)
{
    m_title = title;
    m_titlePanel->setText(title);
}

void TProgressForm::SetText(const QString& text)
{
    m_text = text;
    m_textLabel->setText(text);
}

void TProgressForm::Show()
{
    m_cancelled = false;
    PaintOwnColours();
    CentreOverOwner();
    show();
}

// The panels fill their background with their own colours instead of showing
// the parent's.
void TProgressForm::PaintOwnColours()
{
    QPalette panelPalette = palette();
    panelPalette.setColor(QPalette::Window, PanelColour(palette()));
    m_panel->setPalette(panelPalette);
    m_panel->setAutoFillBackground(true);

    QPalette titlePalette = palette();
    titlePalette.setColor(QPalette::Window, palette().color(QPalette::Active, QPalette::Highlight));
    titlePalette.setColor(QPalette::WindowText,
                          palette().color(QPalette::Active, QPalette::HighlightedText));
    m_titlePanel->setPalette(titlePalette);
    m_titlePanel->setAutoFillBackground(true);
}

void TProgressForm::CentreOverOwner()
{
    QRect area;
    if (parentWidget() != nullptr)
        area = parentWidget()->window()->frameGeometry();
    else if (const QScreen* screen = this->screen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void TProgressForm::BitBtn1Click()
{
    m_cancelled = true;
    hide();
}

// Closing the window from outside (the window manager's close command) is a
// cancel request too; otherwise the operation would go on without a window
// that can stop it.
void TProgressForm::closeEvent(QCloseEvent* event)
{
    m_cancelled = true;
    QWidget::closeEvent(event);
}

// Escape presses the cancel button, as the cancel button of a dialog does.
void TProgressForm::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtn1Click();
        return;
    }
    QWidget::keyPressEvent(event);
}
