#pragma once

#include <QColor>
#include <QIcon>
#include <QList>
#include <QPointer>
#include <QPushButton>
#include <QStringList>

class TPanelPopup;

// How a choice in the popup panel acts: no selection (the choice sets the
// state), several selected entries, or one selected entry at a time.
enum TSGSelection { fsNone, fsMulti, fsSingle };

// Position of the state image relative to the caption.
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A push button with numbered states, each with a caption and an optional
// image. Without Popup a click steps to the next state; with Popup a click
// opens a panel with one entry per state, from which the user picks a state
// or, for the filter kinds, toggles the selection flags of the entries.
class TPanelButton : public QPushButton {
    Q_OBJECT

public:
    explicit TPanelButton(QWidget* parent = nullptr);
    ~TPanelButton() override;

    // One line per state: a caption in double quotes, a comma and an image index.
    const QStringList& CaptionItems() const { return m_captionItems; }
    void SetCaptionItems(const QStringList& lines);
    // The parts of one line of CaptionItems.
    static QString LineCaption(const QString& line);
    static int LineImageIndex(const QString& line);
    QString ItemCaption(int state) const;

    int State() const { return m_state; }
    void SetState(int state);
    int StateMin() const { return m_stateMin; }
    int StateMax() const { return m_stateMax; }
    void SetStateMin(int value);
    void SetStateMax(int value);

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption);

    bool Popup() const { return m_popup; }
    void SetPopup(bool popup) { m_popup = popup; }
    bool PopupImages() const { return m_popupImages; }
    void SetPopupImages(bool on) { m_popupImages = on; }
    bool PopupButton() const { return m_popupButton; }
    void SetPopupButton(bool on) { m_popupButton = on; }
    int PopupWidth() const { return m_popupWidth; }
    void SetPopupWidth(int width) { m_popupWidth = width; }
    int PopupHeight() const { return m_popupHeight; }
    void SetPopupHeight(int height) { m_popupHeight = height; }
    int PopupElements() const { return m_popupElements; }
    void SetPopupElements(int count) { m_popupElements = count; }
    bool PopupAutoClose() const { return m_popupAutoClose; }
    void SetPopupAutoClose(bool on) { m_popupAutoClose = on; }
    TSGSelection Selection() const { return m_selection; }
    void SetSelection(TSGSelection selection) { m_selection = selection; }

    // Selection flags, one per line of CaptionItems.
    bool Selected(int state) const;
    void SetSelected(int state, bool selected);
    int SelectedCount() const;

    bool Pressed() const { return m_pressed; }
    void SetPressed(bool pressed);
    bool ShowPressed() const { return m_showPressed; }
    void SetShowPressed(bool on);
    bool UseBackGroundColor() const { return m_useBackGroundColor; }
    void SetUseBackGroundColor(bool on);
    QColor BackGroundColor() const { return m_backGroundColor; }
    void SetBackGroundColor(const QColor& color);
    const QList<QIcon>& ImageList() const { return m_imageList; }
    void SetImageList(const QList<QIcon>& images);
    TButtonLayout Layout() const { return m_layout; }
    void SetLayout(TButtonLayout layout);
    bool WordWrap() const { return m_wordWrap; }
    void SetWordWrap(bool on) { m_wordWrap = on; }

    // The open entry panel, or nothing.
    TPanelPopup* PopupPanel() const;
    bool IsPopupOpen() const { return !m_panel.isNull(); }
    void OpenPopup();
    void ClosePopup();
    // The user's choice of the entry of a state, as if picked in the panel.
    void Choose(int state);
    // The caption built from the selection flags ("[..]" when none is set).
    QString SelectionCaption() const;

signals:
    // Raised after a click stepped the state or after a choice in the panel.
    void OnClick(TPanelButton* sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void ButtonClicked();
    void StepState();
    void ApplyChoice(int state);
    void RaiseClickLater();
    void RefreshPanel();
    int ImageIndexForFace() const;
    void DrawContents(QPainter& painter, const QRect& rect) const;

    QStringList m_captionItems;
    QList<bool> m_selected;
    int m_state = 0;
    int m_stateMin = 0;
    int m_stateMax = 0;
    bool m_popup = false;
    bool m_popupImages = true;
    bool m_popupButton = false;
    int m_popupWidth = 0;
    int m_popupHeight = 0;
    int m_popupElements = 0;
    bool m_popupAutoClose = false;
    TSGSelection m_selection = fsNone;
    bool m_pressed = false;
    bool m_showPressed = false;
    bool m_useBackGroundColor = false;
    QColor m_backGroundColor = Qt::blue;
    QList<QIcon> m_imageList;
    TButtonLayout m_layout = blGlyphLeft;
    bool m_wordWrap = false;
    QPointer<TPanelPopup> m_panel;
};
