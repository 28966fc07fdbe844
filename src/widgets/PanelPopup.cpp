#include "PanelPopup.h"

#include <algorithm>

#include <QKeyEvent>
#include <QScreen>

#include "PanelButton.h"

namespace {
const QColor PanelColor(241, 241, 237);
const int PanelBorder = 11;
const int EntryOffset = 3;
} // namespace

TPanelPopup::TPanelPopup(TPanelButton* owner)
    : QFrame(owner, Qt::Popup | Qt::FramelessWindowHint), m_owner(owner)
{
    setObjectName(QStringLiteral("PanelPopup"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, PanelColor);
    setPalette(colors);
}

void TPanelPopup::Open()
{
    ComputeGeometry();
    CreateEntries();
    RefreshEntries();
    show();
    const auto first = std::find_if(m_entries.begin(), m_entries.end(),
                                    [](const TPanelButton* entry) { return entry->Pressed(); });
    TPanelButton* focus = first != m_entries.end() ? *first : m_entries.value(0);
    if (focus) {
        focus->setDefault(true);
        focus->setFocus();
    }
}

void TPanelPopup::ComputeGeometry()
{
    const int count = m_owner->StateMax() - m_owner->StateMin() + 1;
    const int extra = m_owner->Selection() != fsNone ? 10 : 0;
    const int w = m_owner->PopupWidth() > 0 ? m_owner->PopupWidth() : m_owner->width() + extra;
    const int h = m_owner->PopupHeight() > 0 ? m_owner->PopupHeight() : m_owner->height();
    m_entrySize = QSize(w, std::max(1, h));
    const QRect screen = m_owner->screen()->geometry();
    const QPoint below = m_owner->mapToGlobal(QPoint(0, m_owner->height()));
    // The rows follow the side the panel opens on: below the button when every
    // entry fits there or there is no more room above, else above it. Rows
    // counted for the space below but laid out above could run off the screen.
    const int rowsBelow = (screen.bottom() + 1 - below.y() - PanelBorder) / m_entrySize.height();
    const int rowsAbove = (below.y() - h - screen.top() - PanelBorder) / m_entrySize.height();
    const bool above = rowsBelow < count && rowsAbove > rowsBelow;
    m_rows = std::clamp(above ? rowsAbove : rowsBelow, 1, std::max(count, 1));
    int width = w * ((count - 1) / m_rows + 1) + PanelBorder;
    int height = m_entrySize.height() * m_rows + PanelBorder;
    if (width > screen.width())
        height += 10;
    int left = above ? below.x() - 3 : below.x() - 6;
    int top = above ? below.y() - height - h : below.y();
    left = std::max(left, screen.left());
    top = std::max(top, screen.top());
    if (left + width >= screen.right() + 1) {
        left = std::max(screen.left(), left + w - width + 6);
        if (left == screen.left())
            width = screen.width() - 10;
    }
    setGeometry(left, top, width, height);
}

void TPanelPopup::CreateEntries()
{
    const int first = m_owner->StateMin();
    for (int k = 0; first + k <= m_owner->StateMax(); ++k) {
        const int state = first + k;
        auto* entry = new TPanelButton(this);
        entry->setObjectName(QStringLiteral("Entry%1").arg(state));
        entry->SetCaptionItems(m_owner->CaptionItems());
        entry->SetStateMin(state);
        entry->SetStateMax(state);
        entry->SetImageList(m_owner->ImageList());
        entry->SetSelection(m_owner->Selection());
        entry->SetLayout(m_owner->Layout());
        entry->setFont(m_owner->font());
        entry->SetWordWrap(m_owner->WordWrap());
        entry->SetUseBackGroundColor(m_owner->UseBackGroundColor());
        entry->SetBackGroundColor(m_owner->BackGroundColor());
        entry->setGeometry(m_entrySize.width() * (k / m_rows) + EntryOffset,
                           EntryOffset + (k % m_rows) * m_entrySize.height(), m_entrySize.width(),
                           m_entrySize.height());
        connect(entry, &TPanelButton::OnClick, this, [this, state] { m_owner->Choose(state); });
        m_entries.append(entry);
    }
}

bool TPanelPopup::EntryPushed(int state) const
{
    // The filter kinds show their selection flags; the plain kind its state.
    if (m_owner->Selection() == fsNone)
        return state == m_owner->State();
    return m_owner->Selected(state);
}

void TPanelPopup::RefreshEntries()
{
    for (TPanelButton* entry : std::as_const(m_entries))
        entry->SetPressed(EntryPushed(entry->State()));
}

void TPanelPopup::mousePressEvent(QMouseEvent* event)
{
    // A press on the owner closes the panel; it must not reopen it too.
    if (!rect().contains(event->position().toPoint())) {
        const QPoint onOwner = m_owner->mapFromGlobal(event->globalPosition().toPoint());
        if (m_owner->rect().contains(onOwner))
            setAttribute(Qt::WA_NoMouseReplay);
    }
    QFrame::mousePressEvent(event);
}

void TPanelPopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void TPanelPopup::closeEvent(QCloseEvent* event)
{
    m_owner->SetPressed(false);
    QFrame::closeEvent(event);
}
