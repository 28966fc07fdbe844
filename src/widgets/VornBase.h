#pragma once

#include <memory>

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class TUserInterface;
class TWideFStringGrid;

// The shared grid command set: actions with captions, shortcuts and hints
// that act on the wide grid holding the input focus, the popup menu that
// lists them, and the OK/Cancel images of the column chooser.
class TVornBase : public QObject {
    Q_OBJECT

public:
    explicit TVornBase(QObject* parent = nullptr);
    ~TVornBase() override;

    static TVornBase& Instance();

    // Confirmations of acSGtDelete go through this interface.
    void SetUserInterface(TUserInterface* ui) { m_ui = ui; }
    // The wide grid with the input focus (or containing it), else nothing.
    static TWideFStringGrid* FocusedGrid();

    QMenu* pmStrGrid() const { return m_menu.get(); }
    const QList<QIcon>& OkCancel64x32() const { return m_okCancel; }
    QList<QAction*> Actions() const;

    QAction* acSGCut;
    QAction* acSGCopy;
    QAction* acSGPaste;
    QAction* acSGSelectAll;
    QAction* acSGtDelete;
    QAction* acSGAdjustWidth;
    QAction* agSGDefineColumns;
    QAction* acSGLoad;
    QAction* acSGSave;
    QAction* acSGInsert;
    QAction* acSGEditable;

private:
    QAction* MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut,
                        const QString& hint, void (TVornBase::*handler)(TWideFStringGrid&));
    void BuildMenu();
    void BuildImages();
    void Cut(TWideFStringGrid& grid);
    void Copy(TWideFStringGrid& grid);
    void Paste(TWideFStringGrid& grid);
    void SelectAll(TWideFStringGrid& grid);
    void Delete(TWideFStringGrid& grid);
    void AdjustWidth(TWideFStringGrid& grid);
    void DefineColumns(TWideFStringGrid& grid);
    void Load(TWideFStringGrid& grid);
    void Save(TWideFStringGrid& grid);
    void Insert(TWideFStringGrid& grid);
    void Editable(TWideFStringGrid& grid);

    TUserInterface* m_ui = nullptr;
    std::unique_ptr<QMenu> m_menu;
    QList<QIcon> m_okCancel;
};
