#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The small window long operations show while they run: a title, a text, a
// bar and a cancel button. The operation drives every element itself and polls
// Cancelled() between its steps; the window only records the button press.
// It is shown without blocking its owner and placed centred over it.
class TProgressForm : public QWidget {
    Q_OBJECT

public:
    explicit TProgressForm(QWidget* owner = nullptr);

    const QString& Title() const { return m_title; }
    const QString& Text() const { return m_text; }
    void SetTitle(const QString& title);
    void SetText(const QString& text);
    QProgressBar* ProgressBar1() const { return m_progressBar; }
    bool Cancelled() const { return m_cancelled; }

    // Shows the window (again) centred over its owner and clears the cancel
    // request, also when it is already visible.
    void Show();
    void Close() { hide(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void CreateControls();
    void PaintOwnColours();
    void CentreOverOwner();
    void BitBtn1Click();

    QFrame* m_panel = nullptr;
    QLabel* m_titlePanel = nullptr;
    QLabel* m_textLabel = nullptr;
    QProgressBar* m_progressBar = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QString m_title;
    QString m_text;
    bool m_cancelled = false;
};
