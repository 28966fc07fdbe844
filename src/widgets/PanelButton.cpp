#include "PanelButton.h"

#include <QKeyEvent>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "PanelPopup.h"

namespace {
const QColor SelectedEntryFill(192, 192, 192);
const int GlyphSpacing = 4;
const int GlyphMargin = 4;
} // namespace

TPanelButton::TPanelButton(QWidget* parent) : QPushButton(parent)
{
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, &TPanelButton::ButtonClicked);
}

TPanelButton::~TPanelButton() = default;

QString TPanelButton::LineCaption(const QString& line)
{
    const QString text = line.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return QString();
    const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
    return close < 0 ? text.mid(1) : text.mid(1, close - 1);
}

int TPanelButton::LineImageIndex(const QString& line)
{
    const QString text = line.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return -1;
    const qsizetype close = text.indexOf(QLatin1Char('"'), 1);
    const qsizetype comma = close < 0 ? -1 : text.indexOf(QLatin1Char(','), close + 1);
    if (comma < 0)
        return -1;
    const QString number = text.mid(comma + 1).section(QLatin1Char(','), 0, 0).trimmed();
    bool ok = false;
    const int index = number.toInt(&ok);
    return ok ? index : -1;
}

QString TPanelButton::ItemCaption(int state) const
{
    return state >= 0 && state < m_captionItems.size() ? LineCaption(m_captionItems[state])
                                                       : QString();
}

void TPanelButton::SetCaptionItems(const QStringList& lines)
{
    const bool countChanged = lines.size() != m_captionItems.size();
    m_captionItems = lines;
    if (countChanged && !IsPopupOpen())
        m_selected = QList<bool>(lines.size(), false);
    m_selected.resize(lines.size());
    m_stateMin = 0;
    m_stateMax = int(lines.size()) - 1;
    SetState(m_state);
}

void TPanelButton::SetState(int state)
{
    const bool changed = state != m_state;
    m_state = state;
    if (state < 0 || state >= m_captionItems.size())
        return;
    SetCaption(ItemCaption(state));
    if (changed)
        update();
}

void TPanelButton::SetStateMin(int value)
{
    if (value < 0 || value >= m_captionItems.size())
        return;
    m_stateMin = value;
    SetState(m_state < m_stateMin || m_state > m_stateMax ? m_stateMin : m_state);
}

void TPanelButton::SetStateMax(int value)
{
    if (value < 0 || value >= m_captionItems.size())
        return;
    m_stateMax = value;
    SetState(m_state < m_stateMin || m_state > m_stateMax ? m_stateMin : m_state);
}

void TPanelButton::SetCaption(const QString& caption)
{
    setText(caption);
    update();
}

bool TPanelButton::Selected(int state) const
{
    return state >= 0 && state < m_selected.size() && m_selected[state];
}

void TPanelButton::SetSelected(int state, bool selected)
{
    if (state < 0 || state >= m_selected.size())
        return;
    m_selected[state] = selected;
    RefreshPanel();
}

int TPanelButton::SelectedCount() const
{
    return int(m_selected.count(true));
}

void TPanelButton::SetPressed(bool pressed)
{
    if (pressed == m_pressed)
        return;
    m_pressed = pressed;
    update();
}

void TPanelButton::SetShowPressed(bool on)
{
    m_showPressed = on;
    update();
}

void TPanelButton::SetUseBackGroundColor(bool on)
{
    m_useBackGroundColor = on;
    update();
}

void TPanelButton::SetBackGroundColor(const QColor& color)
{
    m_backGroundColor = color;
    update();
}

void TPanelButton::SetImageList(const QList<QIcon>& images)
{
    m_imageList = images;
    update();
}

void TPanelButton::SetLayout(TButtonLayout layout)
{
    m_layout = layout;
    update();
}

void TPanelButton::ButtonClicked()
{
    if (!isEnabled())
        return;
    if (!m_popup) {
        StepState();
        return;
    }
    if (IsPopupOpen())
        ClosePopup();
    else
        OpenPopup();
}

void TPanelButton::StepState()
{
    if (m_captionItems.isEmpty())
        SetState(-1);
    else
        SetState(m_state < m_stateMax ? m_state + 1 : m_stateMin);
    SetPressed(false);
    if (isVisible() && isEnabled())
        emit OnClick(this);
}

TPanelPopup* TPanelButton::PopupPanel() const
{
    return m_panel;
}

void TPanelButton::OpenPopup()
{
    if (IsPopupOpen() || m_captionItems.isEmpty() || m_stateMin > m_stateMax)
        return;
    m_panel = new TPanelPopup(this);
    m_panel->Open();
}

void TPanelButton::ClosePopup()
{
    if (m_panel)
        m_panel->close();
    SetPressed(false);
}

void TPanelButton::Choose(int state)
{
    if (state < 0 || state >= m_captionItems.size())
        return;
    ApplyChoice(state);
    RaiseClickLater();
}

void TPanelButton::ApplyChoice(int state)
{
    if (m_selection == fsNone) {
        SetState(state);
        ClosePopup();
        return;
    }
    if (m_selection == fsMulti) {
        m_selected[state] = !m_selected[state];
        if (state > 0)
            m_selected[0] = false;
    } else {
        const bool selected = !m_selected[state];
        m_selected.fill(false);
        m_selected[state] = selected;
    }
    SetCaption(SelectionCaption());
    RefreshPanel();
    if (m_popupAutoClose)
        ClosePopup();
}

void TPanelButton::RaiseClickLater()
{
    // The handler runs after the choice's own event has been handled, so it
    // may rebuild or free this button's panel safely.
    QMetaObject::invokeMethod(
        this, [this] { emit OnClick(this); }, Qt::QueuedConnection);
}

void TPanelButton::RefreshPanel()
{
    if (m_panel)
        m_panel->RefreshEntries();
}

QString TPanelButton::SelectionCaption() const
{
    if (Selected(0))
        return ItemCaption(0);
    QStringList captions;
    for (int state = 1; state < m_selected.size(); ++state) {
        if (m_selected[state])
            captions.append(ItemCaption(state));
    }
    return captions.isEmpty() ? QStringLiteral("[..]") : captions.join(QStringLiteral(", "));
}

void TPanelButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    update();
}

void TPanelButton::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QPushButton::keyPressEvent(event);
}

int TPanelButton::ImageIndexForFace() const
{
    int index = LineImageIndex(m_captionItems.value(m_state));
    if (m_popup && index < 0)
        index = LineImageIndex(m_captionItems.value(0));
    return index >= 0 && index < m_imageList.size() ? index : -1;
}

void TPanelButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool sunken =
        m_pressed || m_showPressed || (isDown() && m_selection == fsNone && !IsPopupOpen());
    option.state &= ~(QStyle::State_Sunken | QStyle::State_On | QStyle::State_Raised);
    option.state |= sunken ? QStyle::State_Sunken | QStyle::State_On : QStyle::State_Raised;
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    if (m_useBackGroundColor)
        painter.fillRect(inner, m_backGroundColor);
    else if (m_pressed)
        painter.fillRect(inner, SelectedEntryFill);
    QFont face = font();
    face.setBold(m_pressed);
    painter.setFont(face);
    DrawContents(painter, style()->subElementRect(QStyle::SE_PushButtonContents, &option, this));
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inner.adjusted(1, 1, -1, -1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

void TPanelButton::DrawContents(QPainter& painter, const QRect& rect) const
{
    QRect textRect = rect;
    const int image = ImageIndexForFace();
    if (image >= 0) {
        const QSize size = iconSize();
        QRect iconRect(QPoint(), size);
        switch (m_layout) {
        case blGlyphLeft:
            iconRect.moveTopLeft(
                {rect.left() + GlyphMargin, rect.center().y() - size.height() / 2});
            textRect.setLeft(iconRect.right() + GlyphSpacing);
            break;
        case blGlyphRight:
            iconRect.moveTopRight(
                {rect.right() - GlyphMargin, rect.center().y() - size.height() / 2});
            textRect.setRight(iconRect.left() - GlyphSpacing);
            break;
        case blGlyphTop:
            iconRect.moveTopLeft({rect.center().x() - size.width() / 2, rect.top() + GlyphMargin});
            textRect.setTop(iconRect.bottom() + GlyphSpacing);
            break;
        case blGlyphBottom:
            iconRect.moveBottomLeft(
                {rect.center().x() - size.width() / 2, rect.bottom() - GlyphMargin});
            textRect.setBottom(iconRect.top() - GlyphSpacing);
            break;
        }
        const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
        m_imageList[image].paint(&painter, iconRect, Qt::AlignCenter, mode);
    }
    int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (m_wordWrap)
        flags |= Qt::TextWordWrap;
    style()->drawItemText(&painter, textRect, flags, palette(), isEnabled(), text(),
                          QPalette::ButtonText);
}
